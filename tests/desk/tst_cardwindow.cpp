// The card window: what a card read shows per card type, and cancelling a
// card against the encoder simulator and a fresh hotel database.
#include "AppState.h"
#include "CardData.h"
#include "CardReading.h"
#include "CheckCardForm.h"
#include "Clock.h"
#include "DeskWindows.h"
#include "HotelFixture.h"
#include "LockTestSupport.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "WindowRegistry.h"

#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>

#include <memory>
#include <stdexcept>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(9, 7, 0));

// A hotel of four rooms with the encoder beside it.
struct Desk {
    Desk()
    {
        hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
        hotel.env().copyFromBin(QStringLiteral("Dll"));
        sim = std::make_unique<Simulator>(hotel.env().programFile(QStringLiteral("libHotelLock.so")));
        sim->Reset();
        hotel.addRoom(QStringLiteral("8'01"), 1, 8, 1);
        hotel.addRoom(QStringLiteral("802"), 1, 8, 2);
        hotel.addRoom(QStringLiteral("1203"), 12, 3, 3);
    }
    HotelFixture hotel;
    std::unique_ptr<Simulator> sim;
};

TCardData card(int type, int building, int floor, int roomNumber, int override = 1)
{
    TCardData data;
    data.CardType[0] = int16_t(type);
    data.Building = int16_t(building);
    data.Floor[0] = int16_t(floor);
    data.Room[0] = int16_t(roomNumber);
    data.Override = int16_t(override);
    const int16_t start[6] = { 2024, 3, 5, 10, 15, 0 };
    const int16_t end[6] = { 2024, 3, 7, 0, 0, 0 };
    std::copy(start, start + 6, data.StartTime);
    std::copy(end, end + 6, data.EndTime);
    return data;
}

QString shortDate(const QDate &date)
{
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

// Room, building, floor, district, type, start, end, "是"/"否"/"" checked.
QStringList shown(const TCheckCardForm &form)
{
    const QString checked = form.OverrideYes_Rb->isChecked() ? QString::fromUtf8("是")
        : form.OverrideNo_Rb->isChecked()                    ? QString::fromUtf8("否")
                                                             : QString();
    return { form.RoomNo_Edit->text(), form.Building_Edit->text(), form.Floor_Edit->text(), form.District_Edit->text(),
        form.CardType_Edit->text(), form.StartTime_Edit->text(), form.EndTime_Edit->text(), checked };
}

qint64 stayOf(const QSqlDatabase &db, const QString &roomStr)
{
    QSqlQuery query
        = Sql::exec(db, QStringLiteral("SELECT enOverride FROM GuestInRecord WHERE RoomStr = ?"), { roomStr });
    return query.next() ? query.value(0).toInt() : -1;
}

// Answers the cancel question after the main window's timer has redrawn the
// board and cleared the flag meanwhile.
class TimerDuringQuestion : public ScriptedPrompts {
public:
    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon, const QString &title,
        const QString &text, QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) override
    {
        RoomsChanged = false;
        return ScriptedPrompts::message(parent, icon, title, text, buttons, defaultButton);
    }
};

} // namespace

class TestCardWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Clock::set(Now);
        RoomsChanged = false;
    }
    void cleanup() { Clock::reset(); }

    // Reading and cancelling open one window; only the cancel entry offers the cancel button.
    void captionsAndCancelButton()
    {
        Desk desk;
        WindowRegistry registry;
        registerCheckOutWindows(registry);
        OpenOptions readOnly;
        readOnly.showCancel = false;
        std::unique_ptr<QDialog> reading(registry.factory(QStringLiteral("ReadCard_Menu"))(nullptr, readOnly));
        std::unique_ptr<QDialog> cancelling(
            registry.factory(QStringLiteral("ClearCard_Menu"))(nullptr, OpenOptions {}));
        auto *readForm = qobject_cast<TCheckCardForm *>(reading.get());
        auto *cancelForm = qobject_cast<TCheckCardForm *>(cancelling.get());
        QVERIFY(readForm && cancelForm);
        readForm->show();
        cancelForm->show();
        QCOMPARE(readForm->windowTitle(), QString::fromUtf8("读卡/注销卡"));
        QVERIFY(!readForm->Register_Bt->isVisible());
        QVERIFY(cancelForm->Register_Bt->isVisible());
        QCOMPARE(cancelForm->Register_Bt->text(), QString::fromUtf8("注  销(&G)"));
        QCOMPARE(cancelForm->ReadCard_Bt->text(), QString::fromUtf8("读  卡(&R)"));
        QCOMPARE(cancelForm->Close_Bt->text(), QString::fromUtf8("关  闭(&C)"));
    }

    void displayPerType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("building");
        QTest::addColumn<int>("floor");
        QTest::addColumn<int>("room");
        QTest::addColumn<int>("district");
        QTest::addColumn<int>("override");
        QTest::addColumn<QStringList>("expected"); // room, building, floor, district, type, override
        QTest::newRow("guest, loss report")
            << 4 << 1 << 8 << 1 << 3 << 0 << QStringList { "8'01", "", "", "", "客人卡", "是" };
        QTest::newRow("guest of a deleted room")
            << 4 << 1 << 9 << 1 << 0 << 1 << QStringList { "", "", "", "", "客人卡", "否" };
        QTest::newRow("floor card") << 5 << 12 << 3 << 0 << 99 << 1
                                    << QStringList { "", "12", "3", "99", "楼层卡", "否" };
        QTest::newRow("zero and 100 stay empty")
            << 8 << 100 << 0 << 0 << 100 << 1 << QStringList { "", "", "", "", "楼号卡", "否" };
        QTest::newRow("untitled type, odd override")
            << 7 << 1 << 1 << 0 << 1 << 5 << QStringList { "", "1", "1", "1", "", "" };
    }
    void displayPerType()
    {
        QFETCH(int, type);
        QFETCH(int, building);
        QFETCH(int, floor);
        QFETCH(int, room);
        QFETCH(int, district);
        QFETCH(int, override);
        QFETCH(QStringList, expected);
        Desk desk;
        TCardData data = card(type, building, floor, room, override);
        data.District[0] = int16_t(district);
        desk.sim->PutCard(data.words());
        TCheckCardForm form;
        form.show();
        // A radio left from an earlier card must not survive an odd override word.
        form.OverrideNo_Rb->setChecked(true);
        QTest::mouseClick(form.ReadCard_Bt, Qt::LeftButton);
        const QStringList fields = shown(form);
        QCOMPARE((QStringList { fields[0], fields[1], fields[2], fields[3], fields[4], fields[7] }), expected);
        QCOMPARE(fields[5], shortDate(QDate(2024, 3, 5)) + QStringLiteral(" 10:15:00"));
        QCOMPARE(fields[6], shortDate(QDate(2024, 3, 7))); // midnight: the date alone
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("操作成功！"));
        QVERIFY(form.ReadCard_Bt->isEnabled());
        QVERIFY(!RoomsChanged);
    }

    void blankAfterGuestKeepsRoom()
    {
        Desk desk;
        TCheckCardForm form;
        form.show();
        desk.sim->PutCard(card(4, 1, 8, 1, 0).words());
        QTest::mouseClick(form.ReadCard_Bt, Qt::LeftButton);
        desk.sim->PutCard(card(20, 0, 0, 0).words());
        QTest::mouseClick(form.ReadCard_Bt, Qt::LeftButton);
        QCOMPARE(shown(form), (QStringList { "8'01", "", "", "", "", "", "", "" }));
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("新卡！"));
    }

    // A failed read shows the result text and leaves every box as it was.
    void failedRead_data()
    {
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("text");
        QTest::newRow("no card") << true << QString::fromUtf8("无卡！");
        QTest::newRow("no encoder") << false << QString::fromUtf8("无发卡机！");
    }
    void failedRead()
    {
        QFETCH(bool, connected);
        QFETCH(QString, text);
        Desk desk;
        TCheckCardForm form;
        form.show();
        desk.sim->PutCard(card(5, 12, 3, 0).words());
        QTest::mouseClick(form.ReadCard_Bt, Qt::LeftButton);
        const QStringList before = shown(form);
        desk.sim->TakeCard();
        desk.sim->SetConnected(connected ? 1 : 0);
        desk.sim->ClearCallLog();
        // Enter reads: the read button is the window's default.
        QTest::keyClick(&form, Qt::Key_Return);
        QCOMPARE(form.Prompt_Label->text(), text);
        QCOMPARE(shown(form), before);
        QCOMPARE(desk.sim->calls().mid(1), (QStringList { "Detect_EncoderA", "ReadSystemPas" }));
    }

    // Guest card numbers count per room: the same number in another room is another guest.
    void cancelClosesOwnRoomOnly_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void cancelClosesOwnRoomOnly()
    {
        QFETCH(bool, confirm);
        Desk desk;
        ScriptedPrompts prompts;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.hotel.addStay(QStringLiteral("802"));
        desk.sim->PutCard(card(4, 1, 8, 1).words());
        confirm ? prompts.answerOk() : prompts.answerCancel();
        TCheckCardForm form;
        form.show();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);

        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY(prompts.last().text.contains(QStringLiteral("1801")));
        QVERIFY(!prompts.last().text.contains(QStringLiteral("1802")));
        QCOMPARE(stayOf(desk.hotel.db(), QStringLiteral("8'01")), confirm ? 1 : 0);
        QCOMPARE(stayOf(desk.hotel.db(), QStringLiteral("802")), 0);
        // The card is wiped whatever the answer.
        QCOMPARE(desk.sim->cardType(), int(BlankCardType));
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("操作成功！"));
        QVERIFY(RoomsChanged);
        QVERIFY(form.Register_Bt->isEnabled());
        QCOMPARE(desk.hotel.count(QStringLiteral("MakeCardRecord")), 0);
    }

    void cancelMasterCardAsksNothing()
    {
        Desk desk;
        ScriptedPrompts prompts;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(card(10, 1, 8, 1).words());
        TCheckCardForm form;
        form.show();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);
        QVERIFY(prompts.asked.isEmpty());
        QCOMPARE(stayOf(desk.hotel.db(), QStringLiteral("8'01")), 0);
        QCOMPARE(desk.sim->cardType(), int(BlankCardType));
    }

    void cancelWaitsForBoard()
    {
        Desk desk;
        ScriptedPrompts prompts;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(card(4, 1, 8, 1).words());
        desk.sim->ClearCallLog();
        RoomsChanged = true;
        TCheckCardForm form;
        form.show();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);
        QVERIFY(desk.sim->calls().isEmpty());
        QCOMPARE(desk.sim->cardType(), 4);
        QVERIFY(form.Prompt_Label->text().isEmpty());
    }

    // The board redrawn while the question was open must be redrawn again.
    void cancelFlagSurvivesQuestion()
    {
        Desk desk;
        TimerDuringQuestion prompts;
        prompts.answerOk();
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(card(4, 1, 8, 1).words());
        TCheckCardForm form;
        form.show();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);
        QCOMPARE(stayOf(desk.hotel.db(), QStringLiteral("8'01")), 1);
        QVERIFY(RoomsChanged);
    }

    void cancelFailures()
    {
        Desk desk;
        ScriptedPrompts prompts;
        TCheckCardForm form;
        form.show();
        desk.sim->ClearCallLog();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("无卡！"));
        QCOMPARE(desk.sim->calls(), (QStringList { "ReadCard", "Detect_EncoderA", "ReadSystemPas" }));

        // A refused stay update: the database's text, the card kept, the button usable.
        RoomsChanged = false;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(card(4, 1, 8, 1).words());
        Sql::execDirect(desk.hotel.db(),
            QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON GuestInRecord "
                           "BEGIN SELECT RAISE(ABORT, 'stay refused'); END"));
        prompts.answerOk();
        prompts.answerOk();
        QTest::mouseClick(form.Register_Bt, Qt::LeftButton);
        QVERIFY(prompts.last().text.contains(QStringLiteral("stay refused")));
        QCOMPARE(stayOf(desk.hotel.db(), QStringLiteral("8'01")), 0);
        QVERIFY(form.Register_Bt->isEnabled());
        QCOMPARE(desk.sim->cardType(), 4);
    }

    void escapeCloses()
    {
        Desk desk;
        TCheckCardForm form;
        form.show();
        QTest::keyClick(form.RoomNo_Edit, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestCardWindow)
#include "tst_cardwindow.moc"
