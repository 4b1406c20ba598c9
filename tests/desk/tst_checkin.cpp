// Check-in: the card issue with its counter, journal row and stay, the
// loss-report supersession, and the check-in window driven as the operator does.
#include "CheckIn.h"
#include "DbError.h"
#include "DeskInSupport.h"
#include "DeskWindows.h"
#include "GuestQuickIn_Form.h"
#include "Identifiers.h"
#include "ScriptedPrompts.h"
#include "TarvaneApplication.h"
#include "WindowRegistry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>

namespace {

const QDateTime Now(QDate(2024, 3, 5), QTime(14, 10, 27));

QDateTime at(int day, int hour, int minute, int second = 0)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second));
}

CheckInRequest request(const QString &roomStr, bool applyLossReport = false)
{
    CheckInRequest r;
    r.roomStr = roomStr;
    r.start = Now;
    r.end = at(6, 12, 0, 27);
    r.applyLossReport = applyLossReport;
    r.guestName = QStringLiteral("Li");
    r.guestId = QStringLiteral("G-1");
    r.explanation = QStringLiteral("x") + roomStr;
    return r;
}

// Makes every new stay row fail, as a database refusing the insert would.
void refuseStays(const DeskInHotel &desk)
{
    if (desk.hotel.isPostgres()) {
        Sql::execDirect(desk.db(),
            QStringLiteral("CREATE FUNCTION refuse_stay() RETURNS trigger LANGUAGE plpgsql AS "
                           "$$ BEGIN RAISE EXCEPTION 'stay refused'; END $$"));
        Sql::execDirect(desk.db(),
            QStringLiteral("CREATE TRIGGER refuse_stay BEFORE INSERT ON GuestInRecord "
                           "FOR EACH ROW EXECUTE FUNCTION refuse_stay()"));
    } else {
        Sql::execDirect(desk.db(),
            QStringLiteral("CREATE TRIGGER refuse_stay BEFORE INSERT ON GuestInRecord "
                           "BEGIN SELECT RAISE(ABORT, 'stay refused'); END"));
    }
}

} // namespace

class TestCheckIn : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Clock::set(Now); }
    void cleanup() { Clock::reset(); }

    void wholeNumbersAndHours_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<QString>("hours");
        QTest::newRow("three") << 180 << "3";
        QTest::newRow("half") << 150 << "2.5";
        QTest::newRow("quarter past twelve") << 735 << "12";
        QTest::newRow("five minutes") << 5 << "0.083";
        QTest::newRow("ninety-nine and a half") << 5970 << "1e+02";
        QTest::newRow("backwards") << -90 << "-1.5";
    }
    void wholeNumbersAndHours()
    {
        QFETCH(int, minutes);
        QFETCH(QString, hours);
        QCOMPARE(hoursText(Now, Now.addSecs(minutes * 60)), hours);
        QCOMPARE(wholeNumber(QStringLiteral("12")), std::optional<int>(12));
        QCOMPARE(wholeNumber(QStringLiteral("-3")), std::optional<int>(-3));
        for (const char *bad : { "", "-", "1.5", "abc", "99999999999" })
            QVERIFY2(!wholeNumber(QString::fromLatin1(bad)), bad);
    }

    void issueRecordsCounterJournalAndStay_data()
    {
        addDialectColumn();
        addDialectRow("sqlite", false);
        addDialectRow("postgres", true);
    }
    void issueRecordsCounterJournalAndStay()
    {
        QFETCH(bool, postgres);
        DeskInHotel desk(postgres);
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        Sql::exec(desk.db(), QStringLiteral("UPDATE RoomInfo SET CardSn = 300"));
        desk.sim->PutBlankCard();
        CheckInRequest r = request(QStringLiteral("1315"));
        r.guestName = QStringLiteral("   ");

        QCOMPARE(issueCheckInCard(r), int16_t(1));

        QCOMPARE(desk.cardSn(QStringLiteral("1315")), 301);
        QSqlQuery journal = Sql::exec(desk.db(),
            QStringLiteral("SELECT CardType, Rom, RoomStr, enOverride, Holder, Explain FROM MakeCardRecord"));
        QVERIFY(journal.next());
        QCOMPARE(journal.value(0).toInt(), 4);
        QCOMPARE(journal.value(1).toString(), QStringLiteral("0103150000012C"));
        QCOMPARE(journal.value(2).toString(), QStringLiteral("1315"));
        QCOMPARE(journal.value(3).toInt(), 1);
        QVERIFY(journal.value(4).isNull());
        QCOMPARE(journal.value(5).toString(), QStringLiteral("x1315"));
        QVERIFY(!journal.next());

        QSqlQuery stay = Sql::exec(desk.db(),
            QStringLiteral("SELECT GuestName, GuestID, Room, Rom, GuestInTime, GuestLeaveTime, InputUser, MakeName, "
                           "enOverride, CardCounts, LeaveTime FROM GuestInRecord"));
        QVERIFY(stay.next());
        QVERIFY(stay.value(0).isNull());
        QCOMPARE(stay.value(1).toString(), QStringLiteral("G-1"));
        QCOMPARE(stay.value(2).toInt(), 1315);
        QCOMPARE(stay.value(3).toString(), QStringLiteral("0000012C"));
        QCOMPARE(Sql::readDateTime(stay.value(4)), Now);
        QCOMPARE(Sql::readDateTime(stay.value(5)), at(6, 12, 0, 27));
        QCOMPARE(stay.value(6).toString(), QStringLiteral("op1"));
        QCOMPARE(stay.value(7).toString(), QString::fromUtf8("前台一"));
        QCOMPARE(stay.value(8).toInt(), 0);
        QCOMPARE(stay.value(9).toInt(), 1);
        QVERIFY(stay.value(10).isNull());
        QVERIFY(!stay.next());

        // The card carries the room block, the number and the times to the minute.
        const TCardData card = desk.sim->card();
        QCOMPARE(card.CardNo[0], int16_t(44));
        QCOMPARE(card.CardNo[1], int16_t(1));
        QCOMPARE(card.Room[0], int16_t(15));
        QCOMPARE(card.Building, int16_t(1));
        QCOMPARE(card.Floor[0], int16_t(3));
        QCOMPARE(card.Override, int16_t(1));
        QCOMPARE(CardTimeToDateTime(card.StartTime), at(5, 14, 10));
        QCOMPARE(CardTimeToDateTime(card.EndTime), at(6, 12, 0));
        QCOMPARE(card.StartTime[5], int16_t(0));
    }

    void furtherCardCountsOnLiveStay_data()
    {
        addDialectColumn();
        addDialectRow("sqlite", false);
        addDialectRow("postgres", true);
    }
    void furtherCardCountsOnLiveStay()
    {
        QFETCH(bool, postgres);
        DeskInHotel desk(postgres);
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        desk.sim->PutBlankCard();
        QCOMPARE(issueCheckInCard(request(QStringLiteral("1315"))), int16_t(1));
        CheckInRequest second = request(QStringLiteral("1315"));
        second.guestName = QStringLiteral("Wang");
        // The first card lies on the encoder again: it is cleared and rewritten.
        QCOMPARE(issueCheckInCard(second), int16_t(1));

        QCOMPARE(desk.hotel.count(QStringLiteral("GuestInRecord")), 1);
        QCOMPARE(desk.scalar(QStringLiteral("SELECT CardCounts FROM GuestInRecord")).toInt(), 2);
        QCOMPARE(desk.scalar(QStringLiteral("SELECT GuestName FROM GuestInRecord")).toString(), QStringLiteral("Li"));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT Rom FROM GuestInRecord")).toString(), QStringLiteral("00000000"));
        QCOMPARE(desk.journalRows(), 2);
        QCOMPARE(desk.cardSn(QStringLiteral("1315")), 2);

        // A stay whose count has no value counts its first card too.
        Sql::exec(desk.db(), QStringLiteral("UPDATE GuestInRecord SET CardCounts = NULL"));
        QCOMPARE(issueCheckInCard(second), int16_t(1));
        QCOMPARE(desk.scalar(QStringLiteral("SELECT CardCounts FROM GuestInRecord")).toInt(), 2);
    }

    void encoderFailureRecordsNothing_data()
    {
        addDialectColumn();
        QTest::addColumn<QString>("failure");
        QTest::addColumn<int>("code");
        for (const bool postgres : { false, true }) {
            if (postgres && !HotelFixture::postgresConfigured())
                continue;
            const char *dialect = postgres ? "postgres" : "sqlite";
            QTest::addRow("%s: no card", dialect) << postgres << "no card" << -1;
            QTest::addRow("%s: no encoder", dialect) << postgres << "no encoder" << -2;
            QTest::addRow("%s: write fails", dialect) << postgres << "write fails" << -15;
            QTest::addRow("%s: clear fails", dialect) << postgres << "clear fails" << -15;
        }
    }
    void encoderFailureRecordsNothing()
    {
        QFETCH(bool, postgres);
        QFETCH(QString, failure);
        QFETCH(int, code);
        DeskInHotel desk(postgres);
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        // An overlapping live stay: the supersession asked for is kept whatever the encoder answers.
        desk.addStay(QStringLiteral("1315"), at(5, 9, 0), at(6, 12, 0));
        TCardData written = guestCard(CardNumber { 3, 0, 0, 0, 0 }, 1, 3, 15);
        desk.sim->PutCard(written.words());
        if (failure == QLatin1String("no card"))
            desk.sim->TakeCard();
        else if (failure == QLatin1String("no encoder"))
            desk.sim->SetConnected(0);
        else if (failure == QLatin1String("write fails"))
            desk.sim->FailNext("MakeGuestCard", -15);
        else
            desk.sim->FailNext("ClearCardData", -15);

        QCOMPARE(issueCheckInCard(request(QStringLiteral("1315"), true)), int16_t(code));

        QCOMPARE(desk.cardSn(QStringLiteral("1315")), 0);
        QCOMPARE(desk.journalRows(), 0);
        QCOMPARE(desk.hotel.count(QStringLiteral("GuestInRecord")), 1);
        QCOMPARE(desk.liveStays(QStringLiteral("1315")), 0);
    }

    void failedStayRollsBackCard_data()
    {
        addDialectColumn();
        addDialectRow("sqlite", false);
        addDialectRow("postgres", true);
    }
    void failedStayRollsBackCard()
    {
        QFETCH(bool, postgres);
        DeskInHotel desk(postgres);
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        desk.sim->PutBlankCard();
        refuseStays(desk);
        QVERIFY_THROWS_EXCEPTION(DbError, (void)issueCheckInCard(request(QStringLiteral("1315"))));
        QCOMPARE(desk.journalRows(), 0);
        QCOMPARE(desk.cardSn(QStringLiteral("1315")), 0);
        // The connection is usable afterwards.
        QCOMPARE(desk.hotel.count(QStringLiteral("GuestInRecord")), 0);
    }

    void doorPlateWithQuote_data()
    {
        addDialectColumn();
        addDialectRow("sqlite", false);
        addDialectRow("postgres", true);
    }
    void doorPlateWithQuote()
    {
        QFETCH(bool, postgres);
        DeskInHotel desk(postgres);
        const QString room = QStringLiteral("8'01");
        desk.hotel.addRoom(room, 8, 0, 1);
        desk.hotel.addRoom(QStringLiteral("801"), 8, 1, 1);
        desk.addStay(room, at(5, 9, 0), at(6, 12, 0));
        desk.addStay(QStringLiteral("801"), at(5, 9, 0), at(6, 12, 0));
        desk.sim->PutBlankCard();
        QCOMPARE(issueCheckInCard(request(room, true)), int16_t(1));
        QCOMPARE(desk.liveStays(room), 1);
        QCOMPARE(desk.hotel.count(QStringLiteral("GuestInRecord")), 3);
        QCOMPARE(desk.liveStays(QStringLiteral("801")), 1);
        QCOMPARE(desk.cardSn(room), 1);
    }

    // Which older stays of the room a new card from 5 March 14:10 to 6 March 12:00 closes.
    void supersession_data()
    {
        addDialectColumn();
        QTest::addColumn<QString>("roomStr");
        QTest::addColumn<QDateTime>("in");
        QTest::addColumn<QDateTime>("plannedLeave");
        QTest::addColumn<QDateTime>("leave");
        QTest::addColumn<int>("enOverride");
        QTest::addColumn<bool>("closed");
        const QDateTime none;
        for (const bool postgres : { false, true }) {
            if (postgres && !HotelFixture::postgresConfigured())
                continue;
            const char *d = postgres ? "postgres" : "sqlite";
            const auto row = [&](const char *name, const char *room, const QDateTime &in, const QDateTime &planned,
                                 const QDateTime &leave, int over, bool closed) {
                QTest::addRow("%s: %s", d, name)
                    << postgres << QString::fromLatin1(room) << in << planned << leave << over << closed;
            };
            row("live, overlapping", "1315", at(5, 9, 0), at(6, 12, 0), none, 0, true);
            row("planned leave in the start's hour", "1315", at(5, 9, 0), at(5, 14, 59), none, 0, false);
            row("planned leave at the next hour", "1315", at(5, 9, 0), at(5, 15, 0), none, 0, true);
            row("overdue", "1315", at(4, 9, 0), at(5, 12, 0), none, 0, false);
            row("other room", "2206", at(5, 9, 0), at(6, 12, 0), none, 0, false);
            row("already closed", "1315", at(5, 9, 0), at(6, 12, 0), at(5, 13, 0), 1, false);
            row("check-in in the end's hour", "1315", at(6, 12, 30), at(7, 12, 0), none, 0, false);
            row("check-in the hour before the end", "1315", at(6, 11, 59), at(7, 12, 0), none, 0, true);
            row("left later, longer than recycle", "1315", at(4, 10, 0), at(6, 12, 0), at(5, 16, 0), 0, true);
            row("left later, within recycle", "1315", at(5, 0, 0), at(6, 12, 0), at(5, 16, 0), 0, false);
            // Day and month must not swap: 3 May lies after the new end.
            row("check-in on 3 May", "1315", QDateTime(QDate(2024, 5, 3), QTime(9, 0)),
                QDateTime(QDate(2024, 5, 4), QTime(9, 0)), none, 0, false);
        }
    }
    void supersession()
    {
        QFETCH(bool, postgres);
        QFETCH(QString, roomStr);
        QFETCH(QDateTime, in);
        QFETCH(QDateTime, plannedLeave);
        QFETCH(QDateTime, leave);
        QFETCH(int, enOverride);
        QFETCH(bool, closed);
        DeskInHotel desk(postgres);
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        desk.hotel.addRoom(QStringLiteral("2206"), 2, 2, 6);
        desk.addStay(roomStr, in, plannedLeave, leave, enOverride);
        const QDateTime leaveBefore
            = Sql::readDateTime(desk.scalar(QStringLiteral("SELECT LeaveTime FROM GuestInRecord")));

        CheckInRequest r = request(QStringLiteral("1315"), true);
        r.end = at(6, 12, 0, 40);
        const TCardData card = checkInCard(r, desk.db());
        QCOMPARE(SetRoomState(QStringLiteral("1315"), card, 24, desk.db()), closed ? 1 : 0);

        QSqlQuery stay = Sql::exec(desk.db(), QStringLiteral("SELECT enOverride, LeaveTime FROM GuestInRecord"));
        QVERIFY(stay.next());
        QCOMPARE(stay.value(0).toInt(), closed ? 1 : enOverride);
        QCOMPARE(Sql::readDateTime(stay.value(1)), closed ? Now : leaveBefore);
    }

    void recycleSettingCounts()
    {
        DeskInHotel desk;
        desk.hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        // Sixteen hour boundaries between check-in and leaving.
        desk.addStay(QStringLiteral("1315"), at(5, 0, 0), at(6, 12, 0), at(5, 16, 0));
        const TCardData card = checkInCard(request(QStringLiteral("1315"), true), desk.db());
        QCOMPARE(SetRoomState(QStringLiteral("1315"), card, 16, desk.db()), 0);
        QCOMPARE(SetRoomState(QStringLiteral("1315"), card, 15, desk.db()), 1);
    }
};

// The check-in window driven through its controls.
class TestGuestQuickInForm : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DeskInHotel> m_desk;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    std::unique_ptr<TGuestQuickIn_Form> m_form;

    void open(const QString &roomStr = QStringLiteral("1315"))
    {
        m_form = std::make_unique<TGuestQuickIn_Form>();
        m_form->se_Room1->setText(roomStr);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }

private Q_SLOTS:
    void init()
    {
        Clock::set(Now);
        m_desk = std::make_unique<DeskInHotel>();
        SystemSettings.DayCount = 2;
        SystemSettings.LeaveTime = QTime(12, 0);
        m_desk->hotel.addRoom(QStringLiteral("1315"), 1, 3, 15);
        m_desk->hotel.addRoom(QStringLiteral("2206"), 2, 2, 6);
        m_desk->sim->PutBlankCard();
        m_desk->sim->ClearCallLog();
        m_prompts = std::make_unique<ScriptedPrompts>();
    }
    void cleanup()
    {
        m_form.reset();
        m_prompts.reset();
        m_desk.reset();
        Clock::reset();
        RoomsChanged = false;
    }

    void setUpAndDays()
    {
        open();
        QCOMPARE(m_form->windowTitle(), QString::fromUtf8("开房--发行客人卡"));
        QCOMPARE(m_form->Close_Bt->text(), QString::fromUtf8("关闭&C)"));
        QCOMPARE(m_form->SD_GQI_Dtp->date(), Now.date());
        QCOMPARE(m_form->ST_GQI_Dtp->time(), Now.time());
        QCOMPARE(m_form->ED_GQI_Dtp->date(), QDate(2024, 3, 7));
        QCOMPARE(m_form->ET_GQI_Dtp->time(), QTime(12, 0));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("2"));

        m_form->Days_Edit->setText(QStringLiteral("5"));
        QCOMPARE(m_form->ED_GQI_Dtp->date(), QDate(2024, 3, 10));
        for (const char *ignored : { "", "-", "x", "99999999" }) {
            m_form->Days_Edit->setText(QString::fromLatin1(ignored));
            QCOMPARE(m_form->ED_GQI_Dtp->date(), QDate(2024, 3, 10));
        }
        m_form->Days_Edit->setText(QStringLiteral("-1"));
        QCOMPARE(m_form->ED_GQI_Dtp->date(), QDate(2024, 3, 4));

        // The operator's end date rewrites the days.
        m_form->ED_GQI_Dtp->setDate(QDate(2024, 3, 8));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("3"));

        // Four characters limit typing only.
        m_form->Days_Edit->clear();
        QTest::keyClicks(m_form->Days_Edit, QStringLiteral("123456"));
        QCOMPARE(m_form->Days_Edit->text(), QStringLiteral("1234"));
    }

    void issueThroughWindow()
    {
        // With the translation applied, message 2 heads the journal's explanation.
        SystemSettings.TranslationActive = true;
        open();
        SystemSettings.TranslationActive = false;
        m_form->E_H_GQI->setText(QStringLiteral("Li"));
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_form->Prompt_Label->text(), QString::fromUtf8("操作成功！"));
        QVERIFY(RoomsChanged);
        QVERIFY(m_form->Confirm_Bt->isEnabled());
        QCOMPARE(m_desk->liveStays(QStringLiteral("1315")), 1);
        QCOMPARE(Sql::readDateTime(m_desk->scalar(QStringLiteral("SELECT GuestLeaveTime FROM GuestInRecord"))),
            QDateTime(QDate(2024, 3, 7), QTime(12, 0)));
        QCOMPARE(m_desk->scalar(QStringLiteral("SELECT Explain FROM MakeCardRecord")).toString(),
            QString::fromUtf8("开房发卡，房号：1315"));
        QVERIFY(m_prompts->asked.isEmpty());
        // The boxes stay as they were for a further card.
        QCOMPARE(m_form->se_Room1->text(), QStringLiteral("1315"));

        // Until the board has caught up, a further click does nothing.
        m_desk->sim->ClearCallLog();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QVERIFY(m_desk->sim->calls().isEmpty());
        QCOMPARE(m_desk->journalRows(), 1);
        RoomsChanged = false;
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_desk->journalRows(), 2);
    }

    void toleranceShiftsCardAndStay()
    {
        SystemSettings.TimeTolerance = 30;
        open();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        SystemSettings.TimeTolerance = 0;
        QCOMPARE(Sql::readDateTime(m_desk->scalar(QStringLiteral("SELECT GuestInTime FROM GuestInRecord"))),
            Now.addSecs(30 * 60));
        QCOMPARE(CardTimeToDateTime(m_desk->sim->card().EndTime), QDateTime(QDate(2024, 3, 7), QTime(12, 30)));
    }

    void refusals()
    {
        open(QStringLiteral("9999"));
        m_prompts->answerOk();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { QString::fromUtf8("没有该房号！") });
        QVERIFY(!RoomsChanged);
        QVERIFY(m_desk->sim->calls().isEmpty());

        // A start after the end: refused, but the flag stays set.
        m_prompts->clear();
        m_form->se_Room1->setText(QStringLiteral("1315"));
        m_form->ED_GQI_Dtp->setDate(QDate(2024, 3, 4));
        m_prompts->answerOk();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { QString::fromUtf8("日期范围无效！") });
        QCOMPARE(m_prompts->last().title, QString::fromUtf8("信息提示"));
        QVERIFY(RoomsChanged);
        QVERIFY(m_form->Confirm_Bt->isEnabled());
        QCOMPARE(m_desk->hotel.count(QStringLiteral("GuestInRecord")), 0);
        QVERIFY(m_desk->sim->calls().isEmpty());

        // Days 0 passes the check even when the end lies before the start.
        RoomsChanged = false;
        m_form->Days_Edit->setText(QStringLiteral("0"));
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_form->Prompt_Label->text(), QString::fromUtf8("操作成功！"));
    }

    void failedIssueShowsResultAfterProbe()
    {
        open();
        m_desk->sim->TakeCard();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_form->Prompt_Label->text(), QString::fromUtf8("无卡！"));
        const QStringList calls = m_desk->sim->calls();
        QVERIFY(calls.size() >= 2);
        QVERIFY2(calls.at(calls.size() - 2).startsWith(QLatin1String("Detect_EncoderA")), qPrintable(calls.join(';')));
        QVERIFY(calls.last().startsWith(QLatin1String("ReadSystemPas")));
        QVERIFY(m_form->Confirm_Bt->isEnabled());
        QCOMPARE(m_desk->journalRows(), 0);
    }

    void databaseErrorLeavesButtonEnabled()
    {
        refuseStays(*m_desk);
        open();
        m_prompts->answerOk();
        QTest::mouseClick(m_form->Confirm_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->asked.size(), 1);
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QVERIFY(m_prompts->last().text.contains(QLatin1String("stay refused")));
        QVERIFY(m_form->Confirm_Bt->isEnabled());
        QCOMPARE(m_desk->journalRows(), 0);
        QCOMPARE(m_desk->cardSn(QStringLiteral("1315")), 0);
    }

    void keys()
    {
        open();
        // Enter in the door-plate box issues nothing.
        m_form->se_Room1->setFocus();
        QTest::keyClick(m_form->se_Room1, Qt::Key_Return);
        QTest::keyClick(m_form->se_Room1, Qt::Key_Enter);
        QVERIFY(m_desk->sim->calls().isEmpty());
        QVERIFY(m_form->isVisible());
        QVERIFY(!RoomsChanged);
        // Ctrl+Alt+F12 reaches the window before the box that has the focus.
        m_prompts->answerCancel();
        QTest::keyClick(m_form->se_Room1, Qt::Key_F12, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(m_prompts->texts(), QStringList { QString::fromUtf8("文件不存在，请重新选择！") });
        QTest::keyClick(m_form->se_Room1, Qt::Key_Escape);
        QVERIFY(!m_form->isVisible());
        QCOMPARE(m_form->result(), int(QDialog::Rejected));
    }

    void openedFromBoard()
    {
        WindowRegistry registry;
        registerCheckInWindows(registry);
        OpenOptions options;
        options.roomStr = QStringLiteral("2206");
        std::unique_ptr<QDialog> window(registry.factory(QStringLiteral("CheckIn_Menu"))(nullptr, options));
        auto *form = qobject_cast<TGuestQuickIn_Form *>(window.get());
        QVERIFY(form);
        QCOMPARE(form->se_Room1->text(), QStringLiteral("2206"));
        QCOMPARE(form->objectName(), QStringLiteral("GuestQuickIn_Form"));
        QVERIFY(registry.has(QStringLiteral("ClockRoom_Menu")));
        QVERIFY(registry.has(QStringLiteral("CheckRoomStatus_Menu")));
        QVERIFY(registry.pickRooms);
    }
};

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    int status = 0;
    {
        TestCheckIn rules;
        status |= QTest::qExec(&rules, argc, argv);
    }
    {
        TestGuestQuickInForm window;
        status |= QTest::qExec(&window, argc, argv);
    }
    return status;
}

#include "tst_checkin.moc"
