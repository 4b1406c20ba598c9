// Special cards: numbering, encoder call, journal row and counter of each kind,
// failures that must leave counter and journal alone, and the window's rights,
// choices, times and guard against a second write.
#include "AppState.h"
#include "CardsWindows.h"
#include "Clock.h"
#include "Connection.h"
#include "DbError.h"
#include "HotelFixture.h"
#include "Identifiers.h"
#include "LockTestSupport.h"
#include "MakeCard_Form.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "SpecialCard.h"
#include "Sql.h"
#include "WindowRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTimeEdit>
#include <QtTest>

#include <memory>

namespace {

const QDateTime OpeningMoment(QDate(2024, 3, 5), QTime(10, 20, 30));

// A hotel with rooms in two buildings, three districts, an all-rights
// operator logged in as "admin", and a blank card on the simulated encoder.
struct Desk {
    explicit Desk(bool postgres = false)
        : fixture(postgres)
    {
        if (!fixture.isOpen())
            return;
        fixture.env().copyFromBin(QStringLiteral("libHotelLock.so"));
        sim = std::make_unique<Simulator>(fixture.env().programFile(QStringLiteral("libHotelLock.so")));
        sim->Reset();
        sim->PutBlankCard();
        sim->ClearCallLog();
        fixture.addRoom(QStringLiteral("1315"), 1, 3, 15);
        fixture.addRoom(QStringLiteral("2206"), 2, 2, 6);
        for (int district : { 1, 2, 4 })
            Sql::exec(db(), QStringLiteral("INSERT INTO District (DistrictNumber) VALUES (?)"), { district });
        fixture.addOperator(QStringLiteral("admin"), QStringLiteral("pw"), operatorRightColumns());
        SystemSettings.Staffer = QStringLiteral("admin");
        SystemSettings.StafferName = QStringLiteral("管理员");
        SystemSettings.TimeTolerance = 0;
        RoomsChanged = false;
        clearProgramEndRequest();
        Clock::set(OpeningMoment);
    }
    ~Desk()
    {
        Clock::reset();
        RoomsChanged = false;
        clearProgramEndRequest();
    }

    QSqlDatabase db() const { return fixture.db(); }
    int counter(int code) const
    {
        return scalar(db(), QStringLiteral("SELECT CardSn FROM AllCardSn WHERE CardType = ?"), { code }).toInt();
    }
    void setCounter(int code, int value) const
    {
        Sql::exec(db(), QStringLiteral("UPDATE AllCardSn SET CardSn = ? WHERE CardType = ?"), { value, code });
    }
    int journalRows() const { return fixture.count(QStringLiteral("MakeCardRecord")); }
    void refuseJournal() const
    {
        Sql::execDirect(db(),
            QStringLiteral("CREATE TRIGGER refuse_journal BEFORE INSERT ON MakeCardRecord "
                           "BEGIN SELECT RAISE(ABORT, 'journal refused'); END"));
    }

    ScriptedPrompts prompts;
    HotelFixture fixture;
    std::unique_ptr<Simulator> sim;
};

SpecialCardRequest request(int page)
{
    SpecialCardRequest r;
    r.page = page;
    r.start = QDateTime(QDate(2024, 3, 5), QTime(10, 20, 45));
    r.end = QDateTime(QDate(2024, 3, 6), QTime(12, 0));
    r.building = 2;
    r.floor = 3;
    r.district = 4;
    r.holder = QStringLiteral("张三");
    return r;
}

QString journalRom(int16_t count0, int16_t count1, int16_t type)
{
    return CardNoText(count0, count1, 0, type);
}

template <typename T> T *child(QWidget *window, const char *name)
{
    T *widget = window->findChild<T *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}

void choose(QComboBox *list, const QString &text)
{
    const int index = list->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    list->setCurrentIndex(index);
}

} // namespace

class TestSpecialCard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The rule, kind by kind.
    void eachKind_data();
    void eachKind();
    void failingWriteKeepsCounter_data();
    void failingWriteKeepsCounter();
    void refusedJournalRollsBack();
    void blankHolderHasNoValue();
    void twoDesksNeverShareANumber();
    void serverDialect();
    void missingChoices_data();
    void missingChoices();

    // The window.
    void opensOnTheMenusPage();
    void pageRights();
    void loginOfAnotherCaseKeepsTheProgram();
    void vanishedOperatorEndsTheProgram();
    void floorCardFromTheWindow();
    void choiceMessagesStopAfterPreparing();
    void secondClickDoesNothing();
    void preparationFailures_data();
    void preparationFailures();
    void toleranceMovesBothTimes();
    void timeCardStartsAtTheClick();
    void databaseErrorLeavesButtonEnabled();
    void enterNeverWritesEscCloses();
};

void TestSpecialCard::eachKind_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("counterCode");
    QTest::addColumn<QString>("call");
    QTest::addColumn<int>("journalType");
    QTest::addColumn<QString>("chosenColumn"); // journal column that keeps the choice
    QTest::addColumn<int>("chosen");
    QTest::newRow("time") << 0 << 2 << "MakeTimeCard" << 2 << "" << 0;
    QTest::newRow("collection start") << 1 << 13 << "MakeDataCard" << 14 << "" << 0;
    QTest::newRow("master") << 2 << 5 << "MakeChiefCard" << 10 << "" << 0;
    QTest::newRow("district") << 3 << 9 << "MakeCleanDistrictCard" << 6 << "District" << 4;
    QTest::newRow("building") << 4 << 6 << "MakeBuildingCard" << 8 << "Buiding" << 2;
    QTest::newRow("floor") << 5 << 7 << "MakeFloorCard" << 5 << "Floor" << 3;
    QTest::newRow("clear") << 6 << 1 << "MakeClientCard" << 1 << "" << 0;
    QTest::newRow("emergency") << 7 << 4 << "MakeEmergentCard" << 3 << "" << 0;
    QTest::newRow("stop") << 8 << 3 << "MakeLostCard" << 12 << "" << 0;
}

void TestSpecialCard::eachKind()
{
    QFETCH(int, page);
    QFETCH(int, counterCode);
    QFETCH(QString, call);
    QFETCH(int, journalType);
    QFETCH(QString, chosenColumn);
    QFETCH(int, chosen);
    Desk desk;
    desk.setCounter(counterCode, 300);
    const int otherCode = counterCode == 1 ? 2 : 1;
    const int otherBefore = desk.counter(otherCode);

    QCOMPARE(issueSpecialCard(request(page)), int16_t(1));

    QCOMPARE(desk.sim->calls(), QStringList { call });
    const TCardData written = desk.sim->card();
    QCOMPARE(written.CardNo[0], int16_t(44)); // 300 = 1 * 256 + 44
    QCOMPARE(written.CardNo[1], int16_t(1));
    QCOMPARE(written.Override, int16_t(1));
    QCOMPARE(written.StartTime[4], int16_t(20));
    QCOMPARE(written.StartTime[5], int16_t(0));
    QCOMPARE(desk.counter(counterCode), 301);
    QCOMPARE(desk.counter(otherCode), otherBefore);

    QSqlQuery row = Sql::exec(desk.db(),
        QStringLiteral("SELECT CardType, Rom, Holder, MakeName, Floor, District, Buiding, enOverride "
                       "FROM MakeCardRecord"));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), journalType);
    QCOMPARE(row.value(1).toString(), journalRom(44, 1, int16_t(journalType)));
    QCOMPARE(row.value(2).toString(), QStringLiteral("张三"));
    QCOMPARE(row.value(3).toString(), QStringLiteral("管理员"));
    const QStringList columns { "Floor", "District", "Buiding" };
    for (int i = 0; i < columns.size(); ++i) {
        const QVariant value = row.value(4 + i);
        if (columns[i] == chosenColumn)
            QCOMPARE(value.toInt(), chosen);
        else
            QVERIFY2(value.isNull(), qPrintable(columns[i]));
    }
    QCOMPARE(row.value(7).toInt(), 1);
    QVERIFY(!row.next());
    if (page == 2)
        QCOMPARE(journalRom(44, 1, 10), QStringLiteral("0A00012C"));
}

void TestSpecialCard::failingWriteKeepsCounter_data()
{
    QTest::addColumn<int>("page");
    for (const SpecialCardKind &kind : specialCardKinds())
        QTest::newRow(kind.suffix) << kind.page;
}

void TestSpecialCard::failingWriteKeepsCounter()
{
    QFETCH(int, page);
    Desk desk;
    const SpecialCardKind &kind = specialCardKind(page);
    desk.setCounter(kind.counterCode, 300);
    desk.sim->FailNext(Encoder::makeFunctionName(kind.function), -15);

    QCOMPARE(issueSpecialCard(request(page)), int16_t(-15));
    QCOMPARE(desk.counter(kind.counterCode), 300);
    QCOMPARE(desk.journalRows(), 0);
}

void TestSpecialCard::refusedJournalRollsBack()
{
    Desk desk;
    desk.setCounter(5, 300);
    desk.refuseJournal();
    QVERIFY_THROWS_EXCEPTION(DbError, (void)issueSpecialCard(request(2)));
    // The card is written, its number will be issued again.
    QCOMPARE(desk.sim->card().CardType[0], int16_t(10));
    QCOMPARE(desk.counter(5), 300);
    QCOMPARE(desk.journalRows(), 0);
}

void TestSpecialCard::blankHolderHasNoValue()
{
    Desk desk;
    SpecialCardRequest r = request(7);
    r.holder = QStringLiteral("   ");
    r.applyLossReport = true;
    QCOMPARE(issueSpecialCard(r), int16_t(1));
    QSqlQuery row = Sql::exec(desk.db(), QStringLiteral("SELECT Holder, enOverride FROM MakeCardRecord"));
    QVERIFY(row.next());
    QVERIFY(row.value(0).isNull());
    QCOMPARE(row.value(1).toInt(), 0);
    QCOMPARE(desk.sim->card().Override, int16_t(0));
}

void TestSpecialCard::twoDesksNeverShareANumber()
{
    Desk desk;
    const QString name = QStringLiteral("second-desk");
    {
        QSqlDatabase second = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        second.setDatabaseName(desk.fixture.databaseFile());
        QVERIFY(second.open());
        configureConnection(second);
        for (int i = 0; i < 10; ++i) {
            desk.sim->PutBlankCard();
            QCOMPARE(issueSpecialCard(request(2), desk.db()), int16_t(1));
            desk.sim->PutBlankCard();
            QCOMPARE(issueSpecialCard(request(2), second), int16_t(1));
        }
        second.close();
    }
    QSqlDatabase::removeDatabase(name);

    QSet<QString> numbers;
    QSqlQuery rows = Sql::exec(desk.db(), QStringLiteral("SELECT Rom FROM MakeCardRecord"));
    while (rows.next())
        numbers.insert(rows.value(0).toString());
    QCOMPARE(numbers.size(), 20);
    QCOMPARE(desk.counter(5), 20);
}

void TestSpecialCard::serverDialect()
{
    if (!HotelFixture::postgresConfigured())
        QSKIP("no PostgreSQL server configured");
    Desk desk(true);
    desk.setCounter(5, 300);
    QCOMPARE(issueSpecialCard(request(2)), int16_t(1));
    QCOMPARE(desk.counter(5), 301);
    QCOMPARE(scalar(desk.db(), QStringLiteral("SELECT Rom FROM MakeCardRecord WHERE CardType = 10")).toString(),
        QStringLiteral("0A00012C"));

    desk.sim->FailNext("MakeChiefCard", -15);
    QCOMPARE(issueSpecialCard(request(2)), int16_t(-15));
    QCOMPARE(desk.counter(5), 301);
    QCOMPARE(desk.journalRows(), 1);
}

void TestSpecialCard::missingChoices_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("building");
    QTest::addColumn<bool>("floor");
    QTest::addColumn<bool>("district");
    QTest::addColumn<QString>("message");
    QTest::newRow("floor card, no building") << 5 << false << true << true << "请选择楼号!";
    QTest::newRow("floor card, no floor") << 5 << true << false << true << "请选择楼层!";
    QTest::newRow("floor card, neither") << 5 << false << false << false << "请选择楼号!";
    QTest::newRow("floor card, both") << 5 << true << true << false << "";
    QTest::newRow("building card") << 4 << false << true << true << "请选择楼号!";
    QTest::newRow("building card, floor ignored") << 4 << true << false << false << "";
    QTest::newRow("district card") << 3 << true << true << false << "请选择区域!";
    QTest::newRow("master card chooses nothing") << 2 << false << false << false << "";
}

void TestSpecialCard::missingChoices()
{
    QFETCH(int, page);
    QFETCH(bool, building);
    QFETCH(bool, floor);
    QFETCH(bool, district);
    QFETCH(QString, message);
    QCOMPARE(missingChoiceMessage(page, building, floor, district), message);
}

void TestSpecialCard::opensOnTheMenusPage()
{
    Desk desk;
    WindowRegistry registry;
    registerSpecialCardWindows(registry);
    QVERIFY(registry.has(QStringLiteral("CheckMakeCardRecord_Menu")));
    OpenOptions options;
    options.page = 5;
    std::unique_ptr<QDialog> window(registry.factory(QStringLiteral("EncodeCard_Menu"))(nullptr, options));
    auto *form = qobject_cast<TMakeCard_Form *>(window.get());
    QVERIFY(form);
    QCOMPARE(form->objectName(), QStringLiteral("MakeCard_Form"));
    QCOMPARE(form->windowTitle(), QStringLiteral("发行卡"));
    QCOMPARE(form->PageControl1->currentIndex(), 5);
    QCOMPARE(form->PageControl1->tabText(5), QStringLiteral("楼层卡"));
    QVERIFY(form->Encode_Bt->isEnabled());
    QVERIFY(!form->Encode_Bt->autoDefault());

    // Pickers: start fixed at the opening, end tomorrow at the check-out time.
    QCOMPARE(child<QDateEdit>(form, "SD_Floor_Dtp")->date(), OpeningMoment.date());
    QVERIFY(!child<QDateEdit>(form, "SD_Floor_Dtp")->isEnabled());
    QCOMPARE(child<QTimeEdit>(form, "ST_Floor_Dtp")->time(), OpeningMoment.time());
    QCOMPARE(child<QDateEdit>(form, "ED_Floor_Dtp")->date(), OpeningMoment.date().addDays(1));
    QCOMPARE(child<QTimeEdit>(form, "ET_Lost_Dtp")->time(), QTime(12, 0));
    QCOMPARE(form->TimeCardDt_DTP->date(), OpeningMoment.date());
    QCOMPARE(child<QLineEdit>(form, "E_H_Floor")->maxLength(), 20);
    QVERIFY(child<QLineEdit>(form, "E_H_Lost")->maxLength() > 20);

    // Lists hold every building's floors and open unselected.
    QCOMPARE(form->Floor_CB->count(), 2);
    QCOMPARE(form->Buiding_Flc_CB->count(), 2);
    QCOMPARE(form->District_CB->count(), 3);
    for (QComboBox *list : { form->Buiding_CB, form->Buiding_Flc_CB, form->Floor_CB, form->District_CB })
        QCOMPARE(list->currentIndex(), -1);
}

void TestSpecialCard::pageRights()
{
    Desk desk;
    desk.fixture.addOperator(QStringLiteral("clerk"), QStringLiteral("pw"), { QStringLiteral("ClearCard") });
    SystemSettings.Staffer = QStringLiteral("clerk");
    TMakeCard_Form form(nullptr, FloorCardPage);
    QVERIFY(!form.PageControl1->widget(5)->isEnabled());
    QVERIFY(form.PageControl1->isTabEnabled(5));
    QVERIFY(!form.Encode_Bt->isEnabled());

    form.PageControl1->setCurrentIndex(6);
    QVERIFY(form.PageControl1->widget(6)->isEnabled());
    QVERIFY(form.Encode_Bt->isEnabled());

    // The right is read at each change: taken away meanwhile, it is gone.
    Sql::exec(desk.db(), QStringLiteral("UPDATE Operator SET ClearCard = ? WHERE Staffer = 'clerk'"), { false });
    form.PageControl1->setCurrentIndex(7);
    form.PageControl1->setCurrentIndex(6);
    QVERIFY(!form.Encode_Bt->isEnabled());
    QVERIFY(!programEndRequested());
}

void TestSpecialCard::loginOfAnotherCaseKeepsTheProgram()
{
    Desk desk;
    SystemSettings.Staffer = QStringLiteral("ADMIN");
    TMakeCard_Form form(nullptr, FloorCardPage);
    QVERIFY(form.Encode_Bt->isEnabled());
    QVERIFY(!programEndRequested());
}

void TestSpecialCard::vanishedOperatorEndsTheProgram()
{
    Desk desk;
    SystemSettings.Staffer = QStringLiteral("ghost");
    TMakeCard_Form form(nullptr, FloorCardPage);
    QVERIFY(programEndRequested());
    QVERIFY(!form.Encode_Bt->isEnabled());
    QVERIFY(desk.prompts.asked.isEmpty());
}

void TestSpecialCard::floorCardFromTheWindow()
{
    Desk desk;
    TMakeCard_Form form(nullptr, FloorCardPage);
    choose(form.Buiding_Flc_CB, QStringLiteral("2"));
    choose(form.Floor_CB, QStringLiteral("3"));
    child<QLineEdit>(&form, "E_H_Floor")->setText(QStringLiteral("O'Neil"));
    child<QCheckBox>(&form, "CB_eO_Floor")->setChecked(true);
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);

    QCOMPARE(form.Prompt_Label->text(), QStringLiteral("操作成功！"));
    QVERIFY(RoomsChanged);
    QVERIFY(form.Encode_Bt->isEnabled());
    const TCardData written = desk.sim->card();
    QCOMPARE(written.Building, int16_t(2));
    QCOMPARE(written.Floor[0], int16_t(3));
    QCOMPARE(written.Override, int16_t(0));
    QSqlQuery row = Sql::exec(desk.db(), QStringLiteral("SELECT CardType, Floor, Holder FROM MakeCardRecord"));
    QVERIFY(row.next());
    QCOMPARE(row.value(0).toInt(), 5);
    QCOMPARE(row.value(1).toInt(), 3);
    QCOMPARE(row.value(2).toString(), QStringLiteral("O'Neil"));
    QCOMPARE(desk.counter(7), 1);
}

void TestSpecialCard::choiceMessagesStopAfterPreparing()
{
    Desk desk;
    TMakeCard_Form form(nullptr, FloorCardPage);
    struct Case {
        int page;
        std::function<void()> chooseSome;
        const char *message;
    };
    const Case cases[] = {
        { 5, [] {}, "请选择楼号!" },
        { 5, [&] { choose(form.Buiding_Flc_CB, QStringLiteral("1")); }, "请选择楼层!" },
        { 4, [] {}, "请选择楼号!" },
        { 3, [] {}, "请选择区域!" },
    };
    for (const Case &c : cases) {
        RoomsChanged = false;
        desk.sim->ClearCallLog();
        desk.prompts.clear();
        form.PageControl1->setCurrentIndex(c.page);
        c.chooseSome();
        desk.prompts.answerOk();
        QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
        QCOMPARE(desk.prompts.asked.size(), 1);
        QCOMPARE(desk.prompts.last().text, QString::fromUtf8(c.message));
        QCOMPARE(desk.prompts.last().icon, QMessageBox::NoIcon);
        QCOMPARE(form.Prompt_Label->text(), QString());
        // Prepared, never written.
        QCOMPARE(desk.sim->calls(), QStringList { QStringLiteral("ReadCard") });
        QVERIFY(form.Encode_Bt->isEnabled());
    }
    QCOMPARE(desk.journalRows(), 0);
    QCOMPARE(desk.counter(7), 0);
}

void TestSpecialCard::secondClickDoesNothing()
{
    Desk desk;
    TMakeCard_Form form(nullptr, 2);
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
    QCOMPARE(form.Prompt_Label->text(), QStringLiteral("操作成功！"));
    desk.sim->PutBlankCard();
    desk.sim->ClearCallLog();

    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
    QCOMPARE(form.Prompt_Label->text(), QStringLiteral("操作成功！"));
    QVERIFY(desk.sim->calls().isEmpty());
    QCOMPARE(desk.journalRows(), 1);

    // Once the board has caught up, the next card is written.
    RoomsChanged = false;
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
    QCOMPARE(desk.journalRows(), 2);
    QCOMPARE(desk.counter(5), 2);
}

void TestSpecialCard::preparationFailures_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QString>("text");
    QTest::newRow("no card") << "no card"
                             << "无卡！";
    QTest::newRow("no encoder") << "no encoder"
                                << "无发卡机！";
    QTest::newRow("read fails") << "ReadCard"
                                << "操作失败！";
    QTest::newRow("clear fails") << "ClearCardData"
                                 << "操作失败！";
}

void TestSpecialCard::preparationFailures()
{
    QFETCH(QString, failure);
    QFETCH(QString, text);
    Desk desk;
    TMakeCard_Form form(nullptr, 2);
    if (failure == QLatin1String("no card")) {
        desk.sim->TakeCard();
    } else if (failure == QLatin1String("no encoder")) {
        desk.sim->SetConnected(0);
    } else {
        TCardData written;
        written.CardType[0] = 10;
        written.CardNo[0] = 9;
        desk.sim->PutCard(written.words());
        desk.sim->FailNext(failure.toLatin1().constData(), -15);
    }
    desk.sim->ClearCallLog();
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);

    QCOMPARE(form.Prompt_Label->text(), text);
    QVERIFY(!desk.sim->calls().contains(QStringLiteral("MakeChiefCard")));
    QCOMPARE(desk.journalRows(), 0);
    QCOMPARE(desk.counter(5), 0);
    QVERIFY(form.Encode_Bt->isEnabled());
}

void TestSpecialCard::toleranceMovesBothTimes()
{
    Desk desk;
    SystemSettings.TimeTolerance = 5;
    TMakeCard_Form form(nullptr, 2);
    Clock::set(OpeningMoment.addSecs(3600)); // the start stays the opening moment
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
    QCOMPARE(form.Prompt_Label->text(), QStringLiteral("操作成功！"));
    const TCardData written = desk.sim->card();
    QCOMPARE(CardTimeToDateTime(written.StartTime), QDateTime(QDate(2024, 3, 5), QTime(10, 25)));
    QCOMPARE(CardTimeToDateTime(written.EndTime), QDateTime(QDate(2024, 3, 6), QTime(12, 5)));
    QCOMPARE(written.StartTime[5], int16_t(0));
}

void TestSpecialCard::timeCardStartsAtTheClick()
{
    Desk desk;
    SystemSettings.TimeTolerance = 5;
    TMakeCard_Form form(nullptr, TimeCardPage);
    form.TimeCardDt_DTP->setDate(QDate(2024, 3, 7));
    form.TimeCardTm_DTP->setTime(QTime(8, 30, 40));
    const QDateTime click(QDate(2024, 3, 5), QTime(10, 40, 15));
    Clock::set(click);
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);
    QCOMPARE(form.Prompt_Label->text(), QStringLiteral("操作成功！"));
    const TCardData written = desk.sim->card();
    QCOMPARE(CardTimeToDateTime(written.StartTime), QDateTime(QDate(2024, 3, 5), QTime(10, 40)));
    QCOMPARE(CardTimeToDateTime(written.EndTime), QDateTime(QDate(2024, 3, 7), QTime(8, 30)));
    QCOMPARE(scalar(desk.db(), QStringLiteral("SELECT CardType FROM MakeCardRecord")).toInt(), 2);
    QCOMPARE(desk.counter(2), 1);
}

void TestSpecialCard::databaseErrorLeavesButtonEnabled()
{
    Desk desk;
    desk.setCounter(5, 300);
    desk.refuseJournal();
    TMakeCard_Form form(nullptr, 2);
    desk.prompts.answerOk();
    QTest::mouseClick(form.Encode_Bt, Qt::LeftButton);

    QCOMPARE(desk.prompts.asked.size(), 1);
    QCOMPARE(desk.prompts.last().icon, QMessageBox::Critical);
    QVERIFY(desk.prompts.last().text.contains(QStringLiteral("journal refused")));
    QVERIFY(form.Encode_Bt->isEnabled());
    QCOMPARE(desk.counter(5), 300);
    QCOMPARE(desk.journalRows(), 0);
}

void TestSpecialCard::enterNeverWritesEscCloses()
{
    Desk desk;
    TMakeCard_Form form(nullptr, 2);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLineEdit *holder = child<QLineEdit>(&form, "E_H_Chief");
    holder->setFocus();
    QTest::keyClick(holder, Qt::Key_Return);
    QTest::keyClick(holder, Qt::Key_Enter);
    QVERIFY(desk.sim->calls().isEmpty());
    QCOMPARE(desk.journalRows(), 0);
    QVERIFY(form.isVisible());

    QTest::keyClick(holder, Qt::Key_Escape);
    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
}

QTEST_MAIN(TestSpecialCard)
#include "tst_specialcard.moc"
