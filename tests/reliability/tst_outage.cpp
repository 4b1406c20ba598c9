#include "AppState.h"
#include "CheckIn.h"
#include "LockTestSupport.h"
#include "MainForm.h"
#include "Operators.h"
#include "ReliabilitySupport.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"

#include <QListWidget>
#include <QTest>

// The database server goes away in the middle of a session: each operation
// says so once with the database's own text, the board's timer does not pile
// up boxes, nothing is half-stored, and everything committed before is there
// once the program connects again.
class TestOutage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverGoneMidSession();
};

void TestOutage::serverGoneMidSession()
{
    HotelFixture hotel(true);
    if (!hotel.isOpen())
        QSKIP("no PostgreSQL server configured");
    hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
    hotel.env().copyFromBin(QStringLiteral("Dll"));
    Simulator sim(hotel.env().programFile(QStringLiteral("libHotelLock.so")));
    sim.Reset();
    sim.PutBlankCard();
    addTestRooms(hotel, 2);
    hotel.addStay(QStringLiteral("102"));
    hotel.addOperator(QStringLiteral("admin"), QStringLiteral("1"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");

    ScriptedPrompts prompts;
    prompts.setAnswerAll(true);
    auto form = std::make_unique<TMainForm>();
    QCOMPARE(form->Room_ListView->count(), 2);
    prompts.clear();

    hotel.dropServerSessions();

    RoomsChanged = true;
    for (int tick = 0; tick < 5; ++tick)
        form->Timer1Timer();
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.last().icon, QMessageBox::Critical);
    QVERIFY(!prompts.last().text.isEmpty());
    QVERIFY(RoomsChanged);

    prompts.clear();
    CheckInRequest request;
    request.roomStr = QStringLiteral("101");
    request.start = QDateTime::currentDateTime();
    request.end = request.start.addDays(1);
    request.guestName = QStringLiteral("Guest");
    QVERIFY(!runGuarded([&] { (void)issueCheckInCard(request); }));
    QCOMPARE(prompts.asked.size(), 1);
    QVERIFY(form->close());
    form.reset();

    // The program starts again.
    QSqlDatabase db = hotel.db();
    db.close();
    QVERIFY(db.open());
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT count(*) FROM GuestInRecord WHERE RoomStr = '102'")).toInt(), 1);
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT count(*) FROM GuestInRecord WHERE RoomStr = '101'")).toInt(), 0);
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord")).toInt(), 0);
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = '101'")).toInt(), 0);
    // And works as before.
    QCOMPARE(issueCheckInCard(request), int16_t(1));
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord")).toInt(), 1);
    qInfo("reliability: outage survived yes");
}

QTEST_MAIN(TestOutage)
#include "tst_outage.moc"
