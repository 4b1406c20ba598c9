// Stay extension: the rule on both dialects and the window against the
// encoder simulator.
#include "AppState.h"
#include "CardData.h"
#include "Clock.h"
#include "Extension.h"
#include "HotelFixture.h"
#include "LockTestSupport.h"
#include "ModifyGuestCard_Form.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"

#include <QDateEdit>
#include <QFile>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimeEdit>

#include <memory>
#include <stdexcept>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(16, 40, 12));

struct Desk {
    explicit Desk(bool postgres = false)
        : hotel(postgres)
    {
        hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
        hotel.env().copyFromBin(QStringLiteral("Dll"));
        sim = std::make_unique<Simulator>(hotel.env().programFile(QStringLiteral("libHotelLock.so")));
        sim->Reset();
        if (!hotel.isOpen())
            return;
        hotel.addRoom(QStringLiteral("8'01"), 1, 8, 1);
        hotel.addRoom(QStringLiteral("802"), 1, 8, 2);
        Sql::exec(hotel.db(), QStringLiteral("UPDATE RoomInfo SET CardSn = 7"));
        SystemSettings.Staffer = QStringLiteral("op2");
        SystemSettings.StafferName = QStringLiteral("Op Two");
    }
    HotelFixture hotel;
    std::unique_ptr<Simulator> sim;
};

void addDialects()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    if (HotelFixture::postgresConfigured())
        QTest::newRow("postgresql") << true;
}

// GuestLeaveTime, InputUser, CardCounts, Rom of the room's stay.
QVariantList stay(const QSqlDatabase &db, const QString &roomStr)
{
    QSqlQuery query = Sql::exec(db,
        QStringLiteral("SELECT GuestLeaveTime, InputUser, CardCounts, Rom FROM GuestInRecord WHERE RoomStr = ?"),
        { roomStr });
    if (!query.next())
        return {};
    return { Sql::readDateTime(query.value(0)), query.value(1).toString(), query.value(2).toInt(),
        query.value(3).toString() };
}

QList<int> cardTime(const int16_t *words)
{
    return { words[0], words[1], words[2], words[3], words[4], words[5] };
}

// A guest card of 8'01 as check-in wrote it: from 10:15 for two days.
TCardData guestCard()
{
    TCardData card;
    card.CardNo[0] = 6;
    card.CardType[0] = GuestCardType;
    card.Building = 1;
    card.Floor[0] = 8;
    card.Room[0] = 1;
    card.Override = 0;
    const int16_t start[6] = { 2024, 3, 5, 10, 15, 0 };
    const int16_t end[6] = { 2024, 3, 7, 10, 15, 0 };
    std::copy(start, start + 6, card.StartTime);
    std::copy(end, end + 6, card.EndTime);
    return card;
}

ExtensionRequest request()
{
    return { QStringLiteral("8'01"), QDateTime(QDate(2024, 3, 5), QTime(10, 25)),
        QDateTime(QDate(2024, 3, 8), QTime(12, 10)), QStringLiteral("Li"), QString::fromUtf8("续房发卡，房号：8'01") };
}

void refuseStayUpdates(const QSqlDatabase &db)
{
    Sql::execDirect(db,
        QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON GuestInRecord "
                       "BEGIN SELECT RAISE(ABORT, 'stay refused'); END"));
}

} // namespace

class TestExtension : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Clock::set(Now);
        RoomsChanged = false;
    }
    void cleanup() { Clock::reset(); }

    void extendWritesCardAndStay_data() { addDialects(); }
    void extendWritesCardAndStay()
    {
        QFETCH(bool, postgres);
        Desk desk(postgres);
        QVERIFY(desk.hotel.isOpen());
        const QSqlDatabase db = desk.hotel.db();
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.hotel.addStay(QStringLiteral("802"));
        const QVariantList other = stay(db, QStringLiteral("802"));
        desk.sim->PutCard(guestCard().words());

        const std::optional<int16_t> result = extendStay(request(), db);
        QVERIFY(result);
        QCOMPARE(int(*result), 1);

        QCOMPARE(stay(db, QStringLiteral("8'01")),
            (QVariantList { request().end, QStringLiteral("op2"), 1, QStringLiteral("00000000") }));
        QCOMPARE(stay(db, QStringLiteral("802")), other);
        const TCardData written = desk.sim->card();
        QCOMPARE(cardTime(written.CardNo).mid(0, 4), (QList<int> { 0, 0, 0, 0 }));
        QCOMPARE(int(written.Override), 1);
        QCOMPARE(int(written.CardType[0]), 4);
        QCOMPARE((QList<int> { written.Room[0], written.Room[1], written.Room[2], written.Building, written.Floor[0] }),
            (QList<int> { 1, 1, 8, 1, 8 }));
        QCOMPARE(cardTime(written.StartTime), (QList<int> { 2024, 3, 5, 10, 25, 0 }));
        QCOMPARE(cardTime(written.EndTime), (QList<int> { 2024, 3, 8, 12, 10, 0 }));
        // The journal has the card; the room's counter is not touched.
        QSqlQuery journal
            = Sql::exec(db, QStringLiteral("SELECT CardType, RoomStr, Holder, Explain FROM MakeCardRecord"));
        QVERIFY(journal.next());
        QCOMPARE((QVariantList { journal.value(0).toInt(), journal.value(1).toString(), journal.value(2).toString(),
                     journal.value(3).toString() }),
            (QVariantList { 4, QStringLiteral("8'01"), QStringLiteral("Li"), request().explanation }));
        QVERIFY(!journal.next());
        QCOMPARE(scalar(db, QStringLiteral("SELECT SUM(CardSn) FROM RoomInfo")).toInt(), 14);
    }

    // The new end stays whatever the encoder answers; only a written card is journalled.
    void encoderFailure_data()
    {
        QTest::addColumn<bool>("postgres");
        QTest::addColumn<QString>("failing");
        QTest::addColumn<int>("code");
        QTest::newRow("sqlite: no card") << false << QString() << -1;
        QTest::newRow("sqlite: write fails") << false << "MakeGuestCard" << -15;
        if (HotelFixture::postgresConfigured()) {
            QTest::newRow("postgresql: no card") << true << QString() << -1;
            QTest::newRow("postgresql: write fails") << true << "MakeGuestCard" << -15;
        }
    }
    void encoderFailure()
    {
        QFETCH(bool, postgres);
        QFETCH(QString, failing);
        QFETCH(int, code);
        Desk desk(postgres);
        QVERIFY(desk.hotel.isOpen());
        desk.hotel.addStay(QStringLiteral("8'01"));
        if (!failing.isEmpty()) {
            desk.sim->PutBlankCard();
            desk.sim->FailNext(failing.toUtf8().constData(), code);
        }
        const std::optional<int16_t> result = extendStay(request(), desk.hotel.db());
        QVERIFY(result);
        QCOMPARE(int(*result), code);
        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")).value(0), QVariant(request().end));
        QCOMPARE(desk.hotel.count(QStringLiteral("MakeCardRecord")), 0);
    }

    void noLiveStayWritesNothing_data() { addDialects(); }
    void noLiveStayWritesNothing()
    {
        QFETCH(bool, postgres);
        Desk desk(postgres);
        QVERIFY(desk.hotel.isOpen());
        desk.hotel.addStay(QStringLiteral("8'01"), true);
        const QVariantList closed = stay(desk.hotel.db(), QStringLiteral("8'01"));
        desk.sim->PutBlankCard();
        desk.sim->ClearCallLog();
        QVERIFY(!extendStay(request(), desk.hotel.db()));
        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")), closed);
        QVERIFY(desk.sim->calls().isEmpty());
        QCOMPARE(desk.hotel.count(QStringLiteral("MakeCardRecord")), 0);
    }

    void windowSetUp()
    {
        Desk desk;
        SystemSettings.DayCount = 3;
        SystemSettings.LeaveTime = QTime(11, 30);
        TModifyGuestCard_Form form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8("续房"));
        QCOMPARE(form.Button1->text(), QString::fromUtf8("读  卡"));
        QCOMPARE(form.Close_Bt->text(), QString::fromUtf8("关闭&C)"));
        QVERIFY(form.se_Room1->isReadOnly());
        QCOMPARE(form.GuestCode_Edit->text(), QStringLiteral("1"));
        QCOMPARE(form.SD_GQI_Dtp->date(), Now.date());
        QCOMPARE(form.ST_GQI_Dtp->time(), Now.time());
        QCOMPARE(form.ED_GQI_Dtp->date(), Now.date().addDays(3));
        QCOMPARE(form.ET_GQI_Dtp->time(), QTime(11, 30));
        QCOMPARE(form.Days_Edit->text(), QStringLiteral("3"));
        QVERIFY(!form.SD_GQI_Dtp->isEnabled());
    }

    // Days and end date follow each other; text that is no whole number, or an
    // end the picker cannot hold, changes nothing.
    void windowDaysAndEnd()
    {
        Desk desk;
        TModifyGuestCard_Form form;
        form.show();
        const QDate start = form.SD_GQI_Dtp->date();
        for (const char *ignored : { "", "-", "x2", "12345678901", "99999999" }) {
            form.Days_Edit->setText(QStringLiteral("4"));
            form.Days_Edit->setText(QLatin1String(ignored));
            QCOMPARE(form.ED_GQI_Dtp->date(), start.addDays(4));
        }
        form.Days_Edit->setText(QStringLiteral("-2"));
        QCOMPARE(form.ED_GQI_Dtp->date(), start.addDays(-2));
        form.ED_GQI_Dtp->setFocus();
        form.ED_GQI_Dtp->setDate(start.addDays(9)); // as the operator's edit arrives
        QCOMPARE(form.Days_Edit->text(), QStringLiteral("9"));
    }

    void windowReadAndExtend()
    {
        Desk desk;
        ScriptedPrompts prompts;
        SystemSettings.TimeTolerance = 10;
        // The journal's explanation starts with the window's message 2.
        desk.hotel.env().copyFromBin(QStringLiteral("db/Language.db"));
        QVERIFY2(QFile::exists(desk.hotel.env().programFile(QStringLiteral("db/Language.db"))),
            "the translation database is built by the language_db target");
        SystemSettings.LanguageID = 2052;
        SystemSettings.TranslationActive = true;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(guestCard().words());
        TModifyGuestCard_Form form;
        form.show();
        form.Prompt_Label->setText(QStringLiteral("before"));

        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(form.se_Room1->text(), QStringLiteral("8'01"));
        QCOMPARE(form.SD_GQI_Dtp->date(), QDate(2024, 3, 5));
        QCOMPARE(form.ST_GQI_Dtp->time(), QTime(10, 15));
        QCOMPARE(form.ED_GQI_Dtp->date(), QDate(2024, 3, 7));
        QCOMPARE(form.ET_GQI_Dtp->time(), QTime(12, 0)); // the leave time, not the card's
        QCOMPARE(form.Days_Edit->text(), QStringLiteral("2"));
        QCOMPARE(form.Prompt_Label->text(), QStringLiteral("before"));
        QVERIFY(!RoomsChanged);

        form.Days_Edit->clear();
        QTest::keyClicks(form.Days_Edit, QStringLiteral("3"));
        QCOMPARE(form.ED_GQI_Dtp->date(), QDate(2024, 3, 8));
        QTest::keyClicks(form.E_H_GQI, QStringLiteral("Li"));
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);

        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")).value(0),
            QVariant(QDateTime(QDate(2024, 3, 8), QTime(12, 10))));
        const TCardData written = desk.sim->card();
        QCOMPARE(cardTime(written.StartTime), (QList<int> { 2024, 3, 5, 10, 25, 0 }));
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("操作成功！"));
        QCOMPARE(scalar(desk.hotel.db(), QStringLiteral("SELECT Explain FROM MakeCardRecord")).toString(),
            QString::fromUtf8("续房发卡，房号：8'01"));
        QVERIFY(RoomsChanged);
        QVERIFY(form.se_Room1->text().isEmpty());
        QVERIFY(form.Confirm_Bt->isEnabled());
        QVERIFY(prompts.asked.isEmpty());

        // Every extension needs a fresh read.
        RoomsChanged = false;
        desk.sim->ClearCallLog();
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QVERIFY(desk.sim->calls().isEmpty());
        QVERIFY(!RoomsChanged);
    }

    void windowReadOtherCards()
    {
        Desk desk;
        TModifyGuestCard_Form form;
        form.show();
        form.Prompt_Label->setText(QStringLiteral("before"));
        const QDate end = form.ED_GQI_Dtp->date();
        TCardData master = guestCard();
        master.CardType[0] = 10;
        desk.sim->PutCard(master.words());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(form.Prompt_Label->text().isEmpty());
        QVERIFY(form.se_Room1->text().isEmpty());
        QCOMPARE(form.ED_GQI_Dtp->date(), end);

        desk.sim->TakeCard();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("无卡！"));

        // A guest card of a room no longer known leaves the door-plate box empty.
        TCardData unknown = guestCard();
        unknown.Floor[0] = 9;
        desk.sim->PutCard(unknown.words());
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(form.se_Room1->text().isEmpty());
        QCOMPARE(form.SD_GQI_Dtp->date(), QDate(2024, 3, 5));
    }

    void windowRefusals()
    {
        Desk desk;
        ScriptedPrompts prompts;
        desk.sim->PutCard(guestCard().words());
        TModifyGuestCard_Form form;
        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton);

        // An end date before the start: the range message, the flag untouched.
        prompts.answerOk();
        form.Days_Edit->setText(QStringLiteral("-1"));
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QCOMPARE(prompts.texts(), QStringList { QString::fromUtf8("日期范围无效！") });
        QVERIFY(!RoomsChanged);

        // No live stay: nothing written, nothing shown, the button usable.
        form.Days_Edit->setText(QStringLiteral("1"));
        desk.sim->ClearCallLog();
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QVERIFY(RoomsChanged);
        QVERIFY(desk.sim->calls().isEmpty());
        QVERIFY(form.Confirm_Bt->isEnabled());
        QCOMPARE(prompts.asked.size(), 1);

        // The board not yet redrawn: nothing.
        desk.hotel.addStay(QStringLiteral("8'01"));
        const QVariantList before = stay(desk.hotel.db(), QStringLiteral("8'01"));
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")), before);
    }

    void windowEncoderFailureAtWrite()
    {
        Desk desk;
        ScriptedPrompts prompts;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(guestCard().words());
        TModifyGuestCard_Form form;
        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        desk.sim->TakeCard();
        desk.sim->ClearCallLog();
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")).value(0),
            QVariant(QDateTime(QDate(2024, 3, 7), QTime(12, 0))));
        QCOMPARE(desk.hotel.count(QStringLiteral("MakeCardRecord")), 0);
        QCOMPARE(form.Prompt_Label->text(), QString::fromUtf8("无卡！"));
        QCOMPARE(desk.sim->calls(), (QStringList { "ReadCard", "Detect_EncoderA", "ReadSystemPas" }));
        QVERIFY(form.se_Room1->text().isEmpty());
        QVERIFY(form.Confirm_Bt->isEnabled());
    }

    void windowDatabaseError()
    {
        Desk desk;
        ScriptedPrompts prompts;
        prompts.setAnswerAll(true);
        desk.hotel.addStay(QStringLiteral("8'01"));
        const QVariantList before = stay(desk.hotel.db(), QStringLiteral("8'01"));
        desk.sim->PutCard(guestCard().words());
        TModifyGuestCard_Form form;
        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        refuseStayUpdates(desk.hotel.db());
        desk.sim->ClearCallLog();
        QTest::mouseClick(form.Confirm_Bt, Qt::LeftButton);
        QCOMPARE(prompts.asked.size(), 1);
        QVERIFY(prompts.last().text.contains(QStringLiteral("stay refused")));
        QCOMPARE(stay(desk.hotel.db(), QStringLiteral("8'01")), before);
        QVERIFY(desk.sim->calls().isEmpty());
        QVERIFY(form.Confirm_Bt->isEnabled());
    }

    void windowKeys()
    {
        Desk desk;
        ScriptedPrompts prompts;
        desk.hotel.addStay(QStringLiteral("8'01"));
        desk.sim->PutCard(guestCard().words());
        TModifyGuestCard_Form form;
        form.show();
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        desk.sim->ClearCallLog();
        QTest::keyClick(form.se_Room1, Qt::Key_Return);
        QTest::keyClick(form.Days_Edit, Qt::Key_Return);
        QVERIFY(desk.sim->calls().isEmpty());
        QTest::keyClick(form.Days_Edit, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
    }
};

QTEST_MAIN(TestExtension)
#include "tst_extension.moc"
