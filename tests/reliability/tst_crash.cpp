#include "ReliabilitySupport.h"

#include <QRandomGenerator>

#include <csignal>

// A desk checking guests in is killed at random moments. After each kill the
// file is sound, every journalled guest card has its counter advance and its
// stay, no counter went back or gave a number twice, and the next desk goes
// on without any repair.
class TestCrash : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedDuringCheckIns();
};

void TestCrash::killedDuringCheckIns()
{
    HotelFixture hotel;
    hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
    hotel.env().copyFromBin(QStringLiteral("Dll"));
    addTestRooms(hotel, 3);
    const QStringList args { QStringLiteral("--forever"), QStringLiteral("--rooms"),
        testRooms(3).join(QLatin1Char(',')) };
    const int kills = fullRun() ? 100 : 12;
    QRandomGenerator random(20261210);
    QMap<QString, qlonglong> lastCounter;
    qlonglong lastTotal = 0;
    for (int kill = 0; kill < kills; ++kill) {
        auto desk = startDesk(hotel, QStringLiteral("desk"), args);
        QVERIFY(waitForLine(*desk, "ready", 30000));
        QThread::msleep(random.bounded(20, 250));
        ::kill(pid_t(desk->processId()), SIGKILL);
        QVERIFY(desk->waitForFinished(10000));
        QCOMPARE(desk->exitStatus(), QProcess::CrashExit);

        const QSqlDatabase db = hotel.db();
        QCOMPARE(scalarOf(db, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        const QMap<QString, RoomCards> rooms = roomCards(db);
        qlonglong total = 0;
        for (auto it = rooms.cbegin(); it != rooms.cend(); ++it) {
            QCOMPARE(it->distinct, it->journal);
            QCOMPARE(it->counter, qlonglong(it->journal));
            QCOMPARE(it->staysCount, it->journal);
            QVERIFY(it->counter >= lastCounter.value(it.key()));
            lastCounter[it.key()] = it->counter;
            total += it->counter;
        }
        lastTotal = total;
    }
    // The desks got somewhere between the kills.
    QVERIFY(lastTotal > 0);
    qInfo("reliability: kills survived %d/%d, guest cards %lld", kills, kills, lastTotal);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
