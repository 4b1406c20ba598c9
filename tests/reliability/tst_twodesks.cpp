#include "ReliabilitySupport.h"

// Two desks issue guest and floor cards at once on one database: no number
// is issued twice for one counter, every card has its journal row, and no
// desk sees a write refused because the other holds the database.
class TestTwoDesks : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cardsAtOnce_data();
    void cardsAtOnce();
};

void TestTwoDesks::cardsAtOnce_data()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

void TestTwoDesks::cardsAtOnce()
{
    QFETCH(bool, postgres);
    HotelFixture hotel(postgres);
    if (!hotel.isOpen())
        QSKIP("no PostgreSQL server configured");
    hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
    hotel.env().copyFromBin(QStringLiteral("Dll"));
    addTestRooms(hotel, 5);
    const int each = fullRun() ? 500 : 100; // of each kind, per desk
    const QStringList args { QStringLiteral("--guest"), QString::number(each), QStringLiteral("--special"),
        QString::number(each), QStringLiteral("--rooms"), testRooms(5).join(QLatin1Char(',')) };
    auto first = startDesk(hotel, QStringLiteral("desk1"), args);
    auto second = startDesk(hotel, QStringLiteral("desk2"), args);
    const QByteArray expected = QByteArray("done ") + QByteArray::number(each) + ' ' + QByteArray::number(each) + " 0";
    for (QProcess *desk : { first.get(), second.get() }) {
        QByteArray line;
        QVERIFY(waitForLine(*desk, "done", 600000, &line));
        QCOMPARE(line, expected);
        QVERIFY(desk->waitForFinished(10000));
        QCOMPARE(desk->exitCode(), 0);
    }

    const QSqlDatabase db = hotel.db();
    const int journalRows = scalarOf(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord")).toInt();
    qInfo(
        "reliability: %s journal rows expected %d found %d", postgres ? "postgresql" : "sqlite", 4 * each, journalRows);
    QCOMPARE(journalRows, 4 * each);
    const QMap<QString, RoomCards> rooms = roomCards(db);
    int guestCards = 0;
    for (auto it = rooms.cbegin(); it != rooms.cend(); ++it) {
        if (it->distinct != it->journal)
            qInfo("reliability: duplicate card numbers %d", it->journal - it->distinct);
        QCOMPARE(it->distinct, it->journal);
        QCOMPARE(it->counter, qlonglong(it->journal));
        QCOMPARE(it->staysCount, it->journal);
        guestCards += it->journal;
    }
    QCOMPARE(guestCards, 2 * each);
    const int floorCardType = 5;
    QCOMPARE(
        scalarOf(
            db, QStringLiteral("SELECT count(DISTINCT Rom) FROM MakeCardRecord WHERE CardType = %1").arg(floorCardType))
            .toInt(),
        2 * each);
}

QTEST_GUILESS_MAIN(TestTwoDesks)
#include "tst_twodesks.moc"
