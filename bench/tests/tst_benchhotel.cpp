#include "Board.h"
#include "Connection.h"
#include "HotelGenerator.h"
#include "Identifiers.h"
#include "Measure.h"
#include "Sql.h"
#include "TestEnv.h"

#include <QCryptographicHash>
#include <QSqlQuery>
#include <QTest>

#include <set>

namespace {

HotelSize smallHotel()
{
    HotelSize size;
    size.buildings = 12; // past 10, where building 1 floor 1x and building 11 floor x would meet
    size.floors = 20;
    size.roomsPerFloor = 5;
    size.stays = 3000;
    size.liveStays = 150;
    size.journalRows = 5000;
    size.doorRecords = 400;
    return size;
}

class HashSink : public RowSink {
public:
    void add(const GeneratedRow &row) override
    {
        hash.addData(QByteArray(row.table));
        for (const QVariant &value : row.values)
            hash.addData((value.isNull() ? QStringLiteral("<null>") : value.toString()).toUtf8());
        ++rows;
    }
    QCryptographicHash hash { QCryptographicHash::Sha256 };
    qint64 rows = 0;
};

qint64 scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = Sql::exec(db, sql);
    query.next();
    return query.value(0).toLongLong();
}

} // namespace

class TestBenchHotel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameSeedSameHotel();
    void generatedFileHoldsTheHotel();
    void roomsOfEveryBuildingAreDistinct();
    void scaledSizes();
    void timeTexts();
    void statistics();
    void resultLines();
};

void TestBenchHotel::sameSeedSameHotel()
{
    HashSink first, second, other;
    generateHotel(smallHotel(), 42, first);
    generateHotel(smallHotel(), 42, second);
    generateHotel(smallHotel(), 43, other);
    QCOMPARE(first.hash.result(), second.hash.result());
    QVERIFY(first.hash.result() != other.hash.result());
    // operator, rooms, stays, journal, door records
    const HotelSize size = smallHotel();
    QCOMPARE(first.rows, 1 + size.rooms() + size.stays + size.journalRows + size.doorRecords);
}

void TestBenchHotel::generatedFileHoldsTheHotel()
{
    TestEnv env;
    const HotelSize size = smallHotel();
    const QString path = env.programFile(QStringLiteral("db/hotel.db"));
    generateSqliteHotel(path, size, 42);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("generated"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        configureConnection(db);

        QSqlQuery mode = Sql::exec(db, QStringLiteral("PRAGMA journal_mode"));
        mode.next();
        QCOMPARE(mode.value(0).toString(), QStringLiteral("wal"));

        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM RoomInfo")), qint64(size.rooms()));
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM GuestInRecord")), size.stays);
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord")), size.journalRows);
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM OpenDoorRecord")), size.doorRecords);
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM Operator WHERE Staffer = 'admin'")), qint64(1));

        // Live stays lie on distinct rooms, so the board shows every room once
        // and exactly that many occupied.
        QCOMPARE(scalar(db, QStringLiteral("SELECT count(DISTINCT Room) FROM GuestInRecord WHERE enOverride = 0")),
            size.liveStays);
        const QList<BoardItem> board = readBoard(db, {});
        QCOMPARE(board.size(), qsizetype(size.rooms()));
        qsizetype occupied = 0;
        for (const BoardItem &item : board)
            occupied += item.imageIndex >= 2 ? 1 : 0;
        QCOMPARE(occupied, qsizetype(size.liveStays));

        // A guest card's journal identity starts with the system room string of its room.
        QCOMPARE(scalar(db,
                     QStringLiteral(
                         "SELECT count(*) FROM MakeCardRecord M JOIN RoomInfo I ON I.RoomStr = M.RoomStr "
                         "WHERE M.CardType = 4 AND substr(M.Rom, 1, length(I.SystemRoomStr)) <> I.SystemRoomStr")),
            qint64(0));
        // The journal covers the two years before the generator's clock.
        QSqlQuery span = Sql::exec(db, QStringLiteral("SELECT min(InputTime) FROM MakeCardRecord"));
        span.next();
        const QDateTime oldest = Sql::readDateTime(span.value(0));
        QVERIFY(oldest >= hotelNow().addYears(-2).addDays(-1));
        QVERIFY(oldest <= hotelNow().addYears(-2).addDays(1));
        QVERIFY(
            scalar(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord WHERE InputTime > '2026-12-01 12:00:00'"))
            == 0);

        // The identifiers of the program find every generated room from its block.
        for (int index : { 0, size.rooms() / 2, size.rooms() - 1 }) {
            const RoomPlace place = roomPlace(size, index);
            const RoomBlock block = LookupRoomBlock(place.roomStr, db);
            QCOMPARE(LookupRoomStr(block, db), place.roomStr);
            QCOMPARE(LookupSystemRoomStr(block, db), place.systemRoomStr);
            QCOMPARE(LookupRoom(place.roomStr, db), place.room);
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("generated"));
}

void TestBenchHotel::roomsOfEveryBuildingAreDistinct()
{
    const HotelSize size = HotelSize::scaled(10);
    std::set<int> rooms;
    std::set<QString> systemRoomStrs;
    for (int i = 0; i < size.rooms(); ++i) {
        const RoomPlace place = roomPlace(size, i);
        QVERIFY(place.room > 0);
        QVERIFY(place.number >= 1 && place.number <= 99);
        rooms.insert(place.room);
        systemRoomStrs.insert(place.systemRoomStr);
    }
    QCOMPARE(rooms.size(), size_t(size.rooms()));
    QCOMPARE(systemRoomStrs.size(), size_t(size.rooms()));
    const RoomPlace last = roomPlace(size, size.rooms() - 1);
    QCOMPARE(last.building, size.buildings);
    QCOMPARE(last.floor, HotelSize::FirstFloor + size.floors - 1);
    QCOMPARE(last.number, size.roomsPerFloor);
}

void TestBenchHotel::scaledSizes()
{
    const HotelSize tenth = HotelSize::scaled(0.1);
    QCOMPARE(tenth.rooms(), 500);
    QCOMPARE(tenth.stays, qint64(50000));
    QCOMPARE(tenth.liveStays, qint64(200));
    QCOMPARE(tenth.journalRows, qint64(100000));
    const HotelSize normal = HotelSize::scaled(1);
    QCOMPARE(normal.rooms(), 5000);
    QCOMPARE(normal.buildings, 10);
    QCOMPARE(normal.journalRows, qint64(1000000));
    QCOMPARE(normal.doorRecords, qint64(200000));
    QCOMPARE(HotelSize::scaled(10).rooms(), 50000);
}

void TestBenchHotel::timeTexts()
{
    // Leap days, year ends and the turn of a century, against Qt's own calendar.
    const QList<QDateTime> moments { QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59), Qt::UTC),
        QDateTime(QDate(2023, 12, 31), QTime(0, 0, 1), Qt::UTC), QDateTime(QDate(2000, 3, 1), QTime(12, 30), Qt::UTC),
        QDateTime(QDate(2100, 2, 28), QTime(6, 5, 4), Qt::UTC), QDateTime(QDate(1969, 12, 31), QTime(23, 0), Qt::UTC),
        QDateTime(hotelNow().date(), hotelNow().time(), Qt::UTC) };
    for (const QDateTime &moment : moments)
        QCOMPARE(generatorTimeText(moment.toSecsSinceEpoch()), moment.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
}

void TestBenchHotel::statistics()
{
    QCOMPARE(median({}), 0.0);
    QCOMPARE(median({ 5, 1, 3 }), 3.0);
    QCOMPARE(median({ 4, 1, 3, 2 }), 2.5);
    std::vector<double> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(i);
    QCOMPARE(percentile95(hundred), 95.0);
    QCOMPARE(percentile95({ 7 }), 7.0);
    QCOMPARE(percentile95({ 1, 2, 3 }), 3.0);

    const CaseResult both = compare(QStringLiteral("x"), { 3, 3, 3 }, { 2, 2, 2 });
    QVERIFY(both.ratio);
    QCOMPARE(*both.ratio, 1.5);
    QVERIFY(!compare(QStringLiteral("x"), { 3 }, {}).ratio);
}

void TestBenchHotel::resultLines()
{
    CaseResult result = compare(QStringLiteral("board"), { 12.5, 10.0, 11.0 }, { 8.0, 8.0 });
    QCOMPARE(resultLine(result), QStringLiteral("bench board median_ms=11.000 p95_ms=12.500 ratio=1.38"));
    result = alone(QStringLiteral("board_view"), { 140.0 });
    QCOMPARE(resultLine(result), QStringLiteral("bench board_view median_ms=140.0 p95_ms=140.0"));
    result = compare(QStringLiteral("cardissue"), { 2.0 }, { 1.0 });
    result.perSecond = 500;
    QCOMPARE(resultLine(result), QStringLiteral("bench cardissue median_ms=2.000 p95_ms=2.000 ratio=2.00 per_s=500"));
    result.roundTrips = 9;
    QVERIFY(resultLine(result).endsWith(QStringLiteral(" per_s=500 round_trips=9.0")));
    QVERIFY(resultTable({ result }).contains(QStringLiteral("cardissue")));
}

QTEST_MAIN(TestBenchHotel)
#include "tst_benchhotel.moc"
