#include "Cases.h"
#include "Clock.h"
#include "DeskCases.h"
#include "HotelGenerator.h"
#include "Identifiers.h"
#include "RoundTrips.h"
#include "Settings.h"
#include "Sql.h"
#include "TestEnv.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QTest>

namespace {

HotelSize tinyHotel()
{
    HotelSize size;
    size.buildings = 2;
    size.floors = 20;
    size.roomsPerFloor = 5;
    size.stays = 400;
    size.liveStays = 20;
    size.journalRows = 2000;
    size.doorRecords = 50;
    return size;
}

qint64 scalar(const QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query = Sql::exec(db, sql);
    query.next();
    return query.value(0).toLongLong();
}

} // namespace

// The cases must measure the operations a desk really runs, and the raw
// baseline must do the same work, or the ratios say nothing.
class TestBenchCases : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void cardIssueWritesWhatTheProgramWrites();
    void boardShowsEveryRoomOnBothPaths();
    void lookUpsFindTheGeneratedCards();
    void checkInWritesWhatTheProgramWrites();
    void rawDateDiffCountsAsTheProgram();
    void deskCasesAgreeOnBothPaths();
    void serverStatementsCountedOnce();

private:
    std::unique_ptr<TestEnv> m_env;
    OpenHotel m_hotel;
};

void TestBenchCases::init()
{
    m_env = std::make_unique<TestEnv>();
    m_env->copyFromBin(QStringLiteral("libHotelLock.so"));
    m_env->copyFromBin(QStringLiteral("Dll"));
    SystemSettings = TSystemSettings();
    SystemSettings.Staffer = QStringLiteral("admin");
    SystemSettings.StafferName = QStringLiteral("系统管理员");
    SystemSettings.LanguageID = 2052;
    Clock::set(hotelNow());
    const QString path = m_env->programFile(QStringLiteral("db/hotel.db"));
    m_hotel.size = tinyHotel();
    generateSqliteHotel(path, m_hotel.size, 5);
    m_hotel.db = openProgramConnection(path, QStringLiteral("cases"));
    m_hotel.raw = std::make_unique<RawSqlite>(path);
    prepareEncoder();
}

void TestBenchCases::cleanup()
{
    m_hotel.raw.reset();
    m_hotel.db.close();
    m_hotel.db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("cases"));
    Clock::reset();
    m_env.reset();
}

void TestBenchCases::cardIssueWritesWhatTheProgramWrites()
{
    const QSqlDatabase &db = m_hotel.db;
    const qint64 rowsBefore = scalar(db, QStringLiteral("SELECT max(RecID) FROM MakeCardRecord"));
    const qint64 countersBefore = scalar(db, QStringLiteral("SELECT sum(CardSn) FROM RoomInfo"));

    const CaseResult result = cardIssueCase(m_hotel, QStringLiteral("cardissue"), 3);

    // One warm-up and three timed issues on each path, each a committed card.
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord WHERE RecID > %1").arg(rowsBefore)), 8);
    QCOMPARE(scalar(db, QStringLiteral("SELECT sum(CardSn) FROM RoomInfo")), countersBefore + 8);
    // Both paths wrote rows alike in every column but the room's.
    QCOMPARE(
        scalar(db,
            QStringLiteral("SELECT count(DISTINCT CardType || '|' || enOverride || '|' || Holder || '|' || MakeUser "
                           "|| '|' || MakeName || '|' || StartTime || '|' || EndTime || '|' || InputTime) "
                           "FROM MakeCardRecord WHERE RecID > %1")
                .arg(rowsBefore)),
        1);
    // Each identity is the room's SystemRoomStr and the number the counter had.
    QSqlQuery rows = Sql::exec(db,
        QStringLiteral("SELECT M.Rom, I.SystemRoomStr, M.Explain FROM MakeCardRecord M JOIN RoomInfo I ON I.RoomStr = "
                       "M.RoomStr WHERE M.RecID > %1")
            .arg(rowsBefore));
    int seen = 0;
    while (rows.next()) {
        ++seen;
        QVERIFY(rows.value(0).toString().startsWith(rows.value(1).toString()));
        QCOMPARE(rows.value(0).toString().size(), rows.value(1).toString().size() + 8);
        QVERIFY(rows.value(2).toString().startsWith(QStringLiteral("发客人卡")));
    }
    QCOMPARE(seen, 8);
    QVERIFY(result.ratio.has_value());
    QVERIFY(result.perSecond.has_value());
    QVERIFY(result.note.contains(QStringLiteral("encoder simulator")));
}

void TestBenchCases::boardShowsEveryRoomOnBothPaths()
{
    // The raw path throws when it reads another number of rooms than the program.
    const CaseResult all = boardCase(m_hotel, QStringLiteral("board"), std::nullopt, std::nullopt, 2);
    QVERIFY2(all.note.startsWith(QStringLiteral("%1 rooms shown").arg(m_hotel.size.rooms())), qPrintable(all.note));
    QVERIFY(all.ratio.has_value());
    const CaseResult one = boardCase(m_hotel, QStringLiteral("board_filter"), 2, HotelSize::FirstFloor + 3, 2);
    QVERIFY2(
        one.note.startsWith(QStringLiteral("%1 rooms shown").arg(m_hotel.size.roomsPerFloor)), qPrintable(one.note));
    QVERIFY(!one.roundTrips.has_value()); // counted on the server only
}

void TestBenchCases::lookUpsFindTheGeneratedCards()
{
    // Both throw when a look-up misses a room or a journal card.
    const CaseResult rooms = lookupCase(m_hotel, QStringLiteral("lookup"), 20);
    QVERIFY(rooms.ratio.has_value());
    const CaseResult cards = journalLookupCase(m_hotel, QStringLiteral("journal_lookup"), 20);
    QVERIFY(cards.ratio.has_value());
    // The cancelled card's question is answered Cancel: the live stays stay live.
    AnsweringPrompts answers;
    setPrompts(&answers);
    const CaseResult stays = overrideCase(m_hotel, QStringLiteral("override"), 20);
    setPrompts(nullptr);
    QVERIFY(stays.ratio.has_value());
    const qint64 live = scalar(m_hotel.db, QStringLiteral("SELECT count(*) FROM GuestInRecord WHERE enOverride = 0"));
    QCOMPARE(live, m_hotel.size.liveStays);
}

void TestBenchCases::checkInWritesWhatTheProgramWrites()
{
    const QSqlDatabase &db = m_hotel.db;
    const qint64 journalBefore = scalar(db, QStringLiteral("SELECT max(RecID) FROM MakeCardRecord"));
    const qint64 staysBefore = scalar(db, QStringLiteral("SELECT max(ID) FROM GuestInRecord"));
    const qint64 cardsBefore = scalar(db, QStringLiteral("SELECT sum(COALESCE(CardCounts, 1)) FROM GuestInRecord"));
    const qint64 countersBefore = scalar(db, QStringLiteral("SELECT sum(CardSn) FROM RoomInfo"));

    const CaseResult result = checkInCase(m_hotel, QStringLiteral("checkin"), 3);

    // One warm-up and three timed check-ins on each path, each committed.
    QCOMPARE(scalar(db, QStringLiteral("SELECT count(*) FROM MakeCardRecord WHERE RecID > %1").arg(journalBefore)), 8);
    QCOMPARE(scalar(db, QStringLiteral("SELECT sum(CardSn) FROM RoomInfo")), countersBefore + 8);
    QCOMPARE(
        scalar(db,
            QStringLiteral("SELECT count(DISTINCT CardType || '|' || enOverride || '|' || Holder || '|' || MakeUser "
                           "|| '|' || MakeName || '|' || StartTime || '|' || EndTime || '|' || InputTime) "
                           "FROM MakeCardRecord WHERE RecID > %1")
                .arg(journalBefore)),
        1);
    // Every card is a new stay or one more card on a live one.
    const qint64 newStays
        = scalar(db, QStringLiteral("SELECT count(*) FROM GuestInRecord WHERE ID > %1").arg(staysBefore));
    const qint64 cardsAfter = scalar(db, QStringLiteral("SELECT sum(COALESCE(CardCounts, 1)) FROM GuestInRecord"));
    QCOMPARE(cardsAfter - cardsBefore, 8);
    QVERIFY(newStays > 0);
    QCOMPARE(scalar(db,
                 QStringLiteral("SELECT count(DISTINCT GuestName || '|' || GuestID || '|' || GuestInTime || '|' || "
                                "GuestLeaveTime || '|' || InputUser || '|' || MakeName || '|' || enOverride) "
                                "FROM GuestInRecord WHERE ID > %1")
                     .arg(staysBefore)),
        1);
    // A new stay names its room and carries the number its journal row has.
    QSqlQuery stays = Sql::exec(db,
        QStringLiteral(
            "SELECT G.Room, I.Room, I.SystemRoomStr || G.Rom, "
            "(SELECT count(*) FROM MakeCardRecord M WHERE M.RecID > %1 AND M.Rom = I.SystemRoomStr || G.Rom) "
            "FROM GuestInRecord G JOIN RoomInfo I ON I.RoomStr = G.RoomStr WHERE G.ID > %2")
            .arg(journalBefore)
            .arg(staysBefore));
    int seen = 0;
    while (stays.next()) {
        ++seen;
        QCOMPARE(stays.value(0).toInt(), stays.value(1).toInt());
        QVERIFY2(stays.value(3).toInt() == 1, qPrintable(stays.value(2).toString()));
    }
    QCOMPARE(seen, newStays);
    QVERIFY(result.ratio.has_value());
    QVERIFY(result.perSecond.has_value());
}

void TestBenchCases::rawDateDiffCountsAsTheProgram()
{
    const std::pair<const char *, const char *> pairs[] = {
        { "2026-12-01 12:00:00", "2026-12-01 12:59:59" },
        { "2026-12-01 12:59:00", "2026-12-01 13:00:00" },
        { "2026-12-31 23:30:00", "2027-01-01 00:10:00" },
        { "2024-02-28 10:00:00", "2024-03-01 09:00:00" },
        { "2026-12-02 08:00:00", "2026-12-01 09:30:00" },
    };
    for (const char *unit : { "d", "h", "n" }) {
        for (const auto &[a, b] : pairs) {
            const QString sql = QStringLiteral("SELECT DateDiff('%1', '%2', '%3')")
                                    .arg(QLatin1String(unit), QLatin1String(a), QLatin1String(b));
            auto statement = m_hotel.raw->prepare(sql);
            QVERIFY(statement->step());
            QCOMPARE(statement->integer(0), scalar(m_hotel.db, sql));
        }
    }
}

void TestBenchCases::deskCasesAgreeOnBothPaths()
{
    // Each throws when the raw path reads or writes another number of rows.
    const int building = 2;
    const CaseResult free
        = pickerCase(m_hotel, QStringLiteral("picker"), building, HotelSize::FirstFloor + 4, false, 2);
    const CaseResult occupied = pickerCase(m_hotel, QStringLiteral("picker_occupied"), building, std::nullopt, true, 2);
    const qint64 freeRooms = scalar(m_hotel.db,
        QStringLiteral("SELECT count(*) FROM RoomInfo I WHERE Buiding = %1 AND Floor = %2 AND NOT EXISTS "
                       "(SELECT 1 FROM GuestInRecord G WHERE G.Room = I.Room AND G.enOverride = 0)")
            .arg(building)
            .arg(HotelSize::FirstFloor + 4));
    QCOMPARE(free.note, QStringLiteral("%1 rooms listed").arg(freeRooms));
    QVERIFY(occupied.ratio.has_value());

    const CaseResult search = journalCase(m_hotel, QStringLiteral("journal"), 2);
    QVERIFY(search.ratio.has_value());

    const qint64 journalRows = scalar(m_hotel.db, QStringLiteral("SELECT count(*) FROM MakeCardRecord"));
    const CaseResult prune
        = pruneCase(m_hotel, QStringLiteral("journal_prune"), QFileInfo(m_hotel.db.databaseName()).absolutePath(), 1);
    QVERIFY(prune.ratio.has_value());
    // The prune ran on copies: the hotel keeps its journal.
    QCOMPARE(scalar(m_hotel.db, QStringLiteral("SELECT count(*) FROM MakeCardRecord")), journalRows);

    const qint64 doorRows = scalar(m_hotel.db, QStringLiteral("SELECT count(*) FROM OpenDoorRecord"));
    const CaseResult collect = collectCase(m_hotel, QStringLiteral("collect"), 200, 2);
    QVERIFY(collect.ratio.has_value());
    // Two timed collections, and a warm-up and two timed raw stores, of 200
    // rows each, less the first room's earlier rows every time.
    const qint64 doorAfter = scalar(m_hotel.db, QStringLiteral("SELECT count(*) FROM OpenDoorRecord"));
    QVERIFY(doorAfter <= doorRows + 5 * 200);
    QVERIFY(doorAfter > doorRows + 4 * 200);
}

void TestBenchCases::serverStatementsCountedOnce()
{
    if (!PgTestDatabase::configured())
        QSKIP("no PostgreSQL server (run through scripts/test)");
    PgTestDatabase database;
    QSqlDatabase db = database.open(QStringLiteral("counted"));
    RoundTrips::reset();
    Sql::execDirect(db, QStringLiteral("SELECT 1"));
    // libpq's blocking call sends through its own sending call: one trip, not two.
    QCOMPARE(RoundTrips::count(), int64_t(1));
    RoundTrips::reset();
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT ?::int"), { 7 });
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toInt(), 7);
    QVERIFY(RoundTrips::count() >= 2); // prepare and execute at least
}

QTEST_MAIN(TestBenchCases)
#include "tst_benchcases.moc"
