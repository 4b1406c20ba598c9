#include "DeskCases.h"

#include "CardData.h"
#include "CardJournalQuery.h"
#include "CardOperations.h"
#include "CheckIn.h"
#include "Clock.h"
#include "Connection.h"
#include "DoorRecordCollection.h"
#include "Encoder.h"
#include "HotelLock.h"
#include "Identifiers.h"
#include "RoomListQuery.h"
#include "Settings.h"
#include "Sql.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QSqlQuery>

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

QByteArray utf8(const QString &text)
{
    return text.toUtf8();
}

QByteArray stamp(const QDateTime &moment)
{
    return Sql::dateTimeValue(moment).toString().toUtf8();
}

// The moment as a card carries it: to the minute.
QDateTime onCard(const QDateTime &moment)
{
    int16_t time[6] = {};
    DateTimeToCardTime(moment, time);
    return CardTimeToDateTime(time);
}

double elapsedMs(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// The room picker's statement, as FindRoomList builds it.
QString pickerStatement(bool floor, bool occupied)
{
    QStringList lines {
        QStringLiteral("Select I.*,G.GuestLeaveTime,G.LeaveTime,G.GuestName,G.GuestID,"),
        QStringLiteral("G.InputTime,G.InputUser,G.Rom,G.GuestInTime from"),
        QStringLiteral("(Select I.Room,I.RoomStr,I.Buiding,I.Floor,I.District,"),
        QStringLiteral("S.State_Title as RoomState"),
        QStringLiteral("from RoomInfo I,RoomStateType S"),
        QStringLiteral("Where I.RoomState=S.ID"),
        QStringLiteral("And I.Buiding=?"),
    };
    if (floor)
        lines << QStringLiteral("And I.Floor=?");
    lines << QStringLiteral(") I left join ") << QStringLiteral("(select * from GuestInRecord")
          << QStringLiteral("where enOverride=0) G") << QStringLiteral("On I.Room=G.Room");
    lines << (occupied ? QStringLiteral("Where G.GuestInTime is not Null")
                       : QStringLiteral("Where G.GuestInTime is Null"));
    lines << QStringLiteral("ORDER BY Buiding,Floor,I.ROOM");
    return lines.join(QLatin1Char('\n'));
}

const QString JournalColumns = QStringLiteral(
    "select C.C_Title,M.Rom,M.Holder,M.Buiding,M.MakeUser,M.MakeName,M.Room,M.RoomStr,M.InputTime,M.Floor,"
    "M.District,M.StartTime,M.EndTime,M.Explain,M.enOverride ");
const QString JournalWhere = QStringLiteral(
    "From MakeCardRecord M inner join CardType C on M.CardType=C.ID where M.InputTime >= ? and M.InputTime < ? "
    "and CardType in (Select ID From CardType where C_Title=?)");

template <typename Function> Function simulatorCall(const char *name)
{
    QLibrary library(Encoder::libraryPath());
    const auto function = reinterpret_cast<Function>(library.resolve(name));
    if (!function)
        throw std::runtime_error(std::string("the encoder simulator has no ") + name);
    return function;
}

} // namespace

DeskRepeats DeskRepeats::quick()
{
    DeskRepeats r;
    r.checkIn = 100;
    r.picker = 50;
    r.journal = 3;
    r.prune = 1;
    r.collect = 1;
    return r;
}

void rawCheckIn(RawSqlite &raw, const QString &roomStr, const QDateTime &start, const QDateTime &end,
    const QString &guestName, const QString &guestId, const QString &explanation)
{
    // Prepared per call here; the timed baseline below keeps its statements.
    struct Statements {
        std::unique_ptr<RawSqlite::Statement> block, supersede, counter, advance, roomStrOf, systemRoomStrOf, journal,
            live, moreCards, room, stay;
    };
    Statements s;
    s.block = raw.prepare(QStringLiteral("SELECT RoomNumber, Buiding, Floor FROM RoomInfo WHERE RoomStr = ?"));
    s.supersede = raw.prepare(QStringLiteral(
        "Update GuestInRecord Set enOverride=1,LeaveTime=?\nWhere RoomStr=?\n And\n((datediff('h',?,leavetime)>0)\n"
        "or ((leavetime is null)\nand DateDiff('h',?,guestleavetime)>0))\nand (DateDiff('h',guestintime,leavetime)>? "
        "or leavetime is null)\nand DateDiff('h',?, guestintime)<0\nand\n(enOverride=0 or enOverride is null)"));
    s.counter = raw.prepare(QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"));
    s.advance = raw.prepare(QStringLiteral("UPDATE RoomInfo SET CardSn = COALESCE(CardSn, 0) + 1 WHERE RoomStr = ?"));
    s.roomStrOf = raw.prepare(
        QStringLiteral("SELECT RoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
    s.systemRoomStrOf = raw.prepare(
        QStringLiteral("SELECT SystemRoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?"));
    s.journal = raw.prepare(
        QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, RoomStr, enOverride, Holder, Explain, MakeUser, "
                       "MakeName, Floor, District, Buiding, StartTime, EndTime, InputTime) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    s.live
        = raw.prepare(QStringLiteral("select ID from GuestInRecord\n where\n enOverride=0 And RoomStr=? ORDER BY ID"));
    s.moreCards
        = raw.prepare(QStringLiteral("UPDATE GuestInRecord SET CardCounts = COALESCE(CardCounts, 1) + 1 WHERE ID = ?"));
    s.room = raw.prepare(QStringLiteral("SELECT Room FROM RoomInfo WHERE RoomStr = ?"));
    s.stay = raw.prepare(
        QStringLiteral("INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, "
                       "GuestInTime, GuestLeaveTime, InputUser, MakeName) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    const QByteArray key = utf8(roomStr);
    s.block->bind(1, key).step();
    const int64_t number = s.block->integer(0), building = s.block->integer(1), floor = s.block->integer(2);
    s.block->reset();

    const QByteArray cardStart = stamp(onCard(start));
    const QByteArray cardEnd = stamp(onCard(end));
    raw.exec("BEGIN IMMEDIATE");
    s.supersede->bind(1, stamp(Clock::now())).bind(2, key).bind(3, cardStart).bind(4, cardStart);
    s.supersede->bind(5, int64_t(SystemSettings.Recycle)).bind(6, cardEnd).step();
    s.supersede->reset();
    raw.exec("COMMIT");

    raw.exec("BEGIN IMMEDIATE");
    s.counter->bind(1, key).step();
    const int64_t count = s.counter->integer(0);
    s.counter->reset();
    s.advance->bind(1, key).step();
    s.advance->reset();
    s.roomStrOf->bind(1, building).bind(2, floor).bind(3, number).step();
    const QByteArray foundRoomStr = s.roomStrOf->text(0);
    s.roomStrOf->reset();
    s.systemRoomStrOf->bind(1, building).bind(2, floor).bind(3, number).step();
    const QByteArray cardNo = CardNoText(int16_t(count % 256), int16_t(count / 256), 0, 0).toUtf8();
    const QByteArray rom = QByteArray(s.systemRoomStrOf->text(0)) + cardNo;
    s.systemRoomStrOf->reset();
    s.journal->bind(1, int64_t(GuestCardType)).bind(2, rom).bind(3, foundRoomStr).bind(4, 0).bind(5, utf8(guestName));
    s.journal->bind(6, utf8(explanation))
        .bind(7, utf8(SystemSettings.Staffer))
        .bind(8, utf8(SystemSettings.StafferName));
    s.journal->bind(12, cardStart).bind(13, cardEnd).bind(14, stamp(Clock::now()));
    s.journal->step();
    s.journal->reset();
    if (s.live->bind(1, key).step()) {
        const int64_t id = s.live->integer(0);
        s.live->reset();
        s.moreCards->bind(1, id).step();
        s.moreCards->reset();
    } else {
        s.live->reset();
        s.room->bind(1, key).step();
        const int64_t room = s.room->integer(0);
        s.room->reset();
        s.stay->bind(1, utf8(guestName)).bind(2, utf8(guestId)).bind(3, room).bind(4, key).bind(5, cardNo);
        s.stay->bind(6, stamp(start)).bind(7, stamp(end)).bind(8, utf8(SystemSettings.Staffer));
        s.stay->bind(9, utf8(SystemSettings.StafferName)).step();
        s.stay->reset();
    }
    raw.exec("COMMIT");
}

CaseResult checkInCase(OpenHotel &hotel, const QString &name, int repeats)
{
    const int rooms = hotel.size.rooms();
    int next = 0;
    auto pick = [&] { return roomPlace(hotel.size, int((qint64(next++) * 7919) % rooms)).roomStr; };
    const QDateTime start = Clock::now();
    const QDateTime end = start.addDays(1);
    const QString guestName = QStringLiteral("王小明");
    const QString guestId = QStringLiteral("110101199001011234");

    auto checkInOne = [&] {
        CheckInRequest request;
        request.roomStr = pick();
        request.start = start;
        request.end = end;
        request.applyLossReport = true;
        request.guestName = guestName;
        request.guestId = guestId;
        request.explanation = QStringLiteral("发客人卡") + request.roomStr;
        const int16_t code = issueCheckInCard(request, hotel.db);
        if (code != 1)
            throw std::runtime_error("the encoder simulator refused the guest card: " + std::to_string(code));
    };
    const auto ours = timeRuns(repeats, checkInOne);

    // The simulator's share: the same card written alone.
    std::vector<double> encoderMs;
    {
        CheckInRequest request;
        request.roomStr = pick();
        request.start = start;
        request.end = end;
        TCardData card = checkInCard(request, hotel.db);
        QElapsedTimer timer;
        for (int i = 0; i < std::min(repeats, 50); ++i) {
            timer.start();
            (void)WriteGuestCard(card);
            encoderMs.push_back(elapsedMs(timer));
        }
    }
    const double encoderMedian = median(encoderMs);

    std::vector<double> raw;
    if (hotel.raw) {
        raw = timeRuns(repeats, [&] {
            const QString roomStr = pick();
            rawCheckIn(*hotel.raw, roomStr, start, end, guestName, guestId, QStringLiteral("发客人卡") + roomStr);
        });
    }
    CaseResult result = compare(name, ours, raw);
    if (result.medianMs > 0)
        result.perSecond = 1000.0 / result.medianMs;
    result.note = QStringLiteral("loss report applied; encoder simulator %1 ms of it").arg(encoderMedian, 0, 'f', 3);
    if (!raw.empty())
        result.note
            += QStringLiteral("; without it ratio=%1").arg((result.medianMs - encoderMedian) / median(raw), 0, 'f', 2);
    countRoundTrips(hotel, result, checkInOne);
    return result;
}

CaseResult pickerCase(
    OpenHotel &hotel, const QString &name, int building, std::optional<int> floor, bool occupied, int repeats)
{
    const RoomListFilter filter { building, floor, occupied ? RoomStatusFilter::Occupied : RoomStatusFilter::Free };
    size_t rows = 0;
    const auto ours = timeRuns(repeats, [&] { rows = FindRoomList(filter, hotel.db).size(); });
    std::vector<double> raw;
    if (hotel.raw) {
        auto statement = hotel.raw->prepare(pickerStatement(floor.has_value(), occupied));
        raw = timeRuns(repeats, [&] {
            statement->bind(1, int64_t(building));
            if (floor)
                statement->bind(2, int64_t(*floor));
            auto moment = [&](int column) {
                return statement->isNull(column) ? QDateTime()
                                                 : Sql::readDateTime(QString::fromUtf8(statement->text(column)));
            };
            std::vector<RoomListRow> list;
            while (statement->step()) {
                RoomListRow row;
                row.room = int(statement->integer(0));
                row.roomStr = QString::fromUtf8(statement->text(1));
                row.building = int(statement->integer(2));
                row.floor = int(statement->integer(3));
                row.district = int(statement->integer(4));
                row.roomState = QString::fromUtf8(statement->text(5));
                row.guestLeaveTime = moment(6);
                row.leaveTime = moment(7);
                row.guestName = QString::fromUtf8(statement->text(8));
                row.guestId = QString::fromUtf8(statement->text(9));
                row.inputTime = moment(10);
                row.inputUser = QString::fromUtf8(statement->text(11));
                row.rom = QString::fromUtf8(statement->text(12));
                row.guestInTime = moment(13);
                list.push_back(row);
            }
            statement->reset();
            if (list.size() != rows)
                throw std::runtime_error("the raw picker listed another number of rooms");
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 rooms listed").arg(rows);
    return result;
}

CaseResult journalCase(OpenHotel &hotel, const QString &name, int repeats)
{
    // A week a month back, guest cards: what a desk asks most.
    const QDate to = hotelNow().date().addDays(-30);
    const CardJournalFilter filter { to.addDays(-6), to, {} };
    CardJournalFilter typed = filter;
    {
        QSqlQuery title
            = Sql::exec(hotel.db, QStringLiteral("SELECT C_Title FROM CardType WHERE ID = ?"), { int(GuestCardType) });
        if (!title.next())
            throw std::runtime_error("no guest card type");
        typed.cardTypeTitle = title.value(0).toString();
    }
    int rows = 0;
    const auto ours = timeRuns(repeats, [&] {
        const int counted = countCardJournal(typed, hotel.db);
        QSqlQuery query = selectCardJournal(typed, hotel.db);
        int read = 0;
        while (query.next()) {
            for (int column = 0; column < 15; ++column)
                (void)query.value(column);
            ++read;
        }
        if (read != counted)
            throw std::runtime_error("the journal count and its rows differ");
        rows = read;
    });
    std::vector<double> raw;
    if (hotel.raw) {
        auto count = hotel.raw->prepare(QStringLiteral("select COUNT(*) ") + JournalWhere);
        auto select = hotel.raw->prepare(JournalColumns + JournalWhere);
        const QByteArray from = stamp(QDateTime(typed.from, QTime(0, 0)));
        const QByteArray until = stamp(QDateTime(typed.to.addDays(1), QTime(0, 0)));
        const QByteArray title = utf8(*typed.cardTypeTitle);
        raw = timeRuns(repeats, [&] {
            count->bind(1, from).bind(2, until).bind(3, title).step();
            const int64_t counted = count->integer(0);
            count->reset();
            select->bind(1, from).bind(2, until).bind(3, title);
            QList<QStringList> grid;
            while (select->step()) {
                QStringList values;
                for (int column = 0; column < 15; ++column)
                    values << QString::fromUtf8(select->text(column));
                grid.append(values);
            }
            select->reset();
            if (grid.size() != counted || grid.size() != rows)
                throw std::runtime_error("the raw journal search read another number of rows");
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 rows of 7 days").arg(rows);
    countRoundTrips(hotel, result, [&] {
        (void)countCardJournal(typed, hotel.db);
        QSqlQuery query = selectCardJournal(typed, hotel.db);
        while (query.next()) { }
    });
    return result;
}

CaseResult pruneCase(OpenHotel &hotel, const QString &name, const QString &workDir, int repeats)
{
    // The cutoff day that takes the oldest 100,000 rows (fewer when the journal is smaller).
    QDate cutoff;
    {
        QSqlQuery query = Sql::exec(hotel.db,
            QStringLiteral("SELECT InputTime FROM MakeCardRecord ORDER BY InputTime LIMIT 1 OFFSET ?"),
            { std::min<qint64>(100000, hotel.size.journalRows) - 1 });
        if (!query.next())
            throw std::runtime_error("the journal is too small to prune");
        cutoff = Sql::readDateTime(query.value(0)).date().addDays(-1);
    }
    hotel.raw->exec("PRAGMA wal_checkpoint(TRUNCATE)");
    const QString source = hotel.db.databaseName();
    const QString copy = QDir(workDir).filePath(QStringLiteral("prune-copy.db"));
    auto freshCopy = [&] {
        for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
            QFile::remove(copy + suffix);
        if (!QFile::copy(source, copy))
            throw std::runtime_error("cannot copy the hotel file");
    };

    std::vector<double> ours, raw;
    int pruned = 0;
    QElapsedTimer timer;
    for (int i = 0; i < repeats; ++i) {
        freshCopy();
        {
            QSqlDatabase db = openProgramConnection(copy, QStringLiteral("prune"));
            timer.start();
            pruned = pruneCardJournal(cutoff, db);
            ours.push_back(elapsedMs(timer));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("prune"));

        freshCopy();
        RawSqlite rawCopy(copy);
        auto remove = rawCopy.prepare(QStringLiteral("Delete From MakeCardRecord Where InputTime < ?"));
        timer.start();
        remove->bind(1, stamp(QDateTime(cutoff.addDays(1), QTime(0, 0)))).step();
        const int removed = remove->changes();
        raw.push_back(elapsedMs(timer));
        if (removed != pruned)
            throw std::runtime_error("the raw prune deleted another number of rows");
    }
    for (const QString &suffix : { QString(), QStringLiteral("-wal"), QStringLiteral("-shm") })
        QFile::remove(copy + suffix);
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 rows pruned (cutoff %2)").arg(pruned).arg(cutoff.toString(Qt::ISODate));
    return result;
}

CaseResult collectCase(OpenHotel &hotel, const QString &name, int records, int repeats)
{
    using PutDataCard = int (*)(const HLSim_DoorRecord *, int);
    const auto putDataCard = simulatorCall<PutDataCard>("HLSim_PutDataCard");
    const auto putBlank = simulatorCall<int (*)()>("HLSim_PutBlankCard");

    // Guest cards of rooms spread over the hotel, opened over the last days.
    std::vector<HLSim_DoorRecord> card(static_cast<size_t>(records));
    Random random(11);
    const int rooms = hotel.size.rooms();
    for (int i = 0; i < records; ++i) {
        const RoomPlace place = roomPlace(hotel.size, int(random.below(rooms)));
        HLSim_DoorRecord &record = card[size_t(i)];
        record = {};
        record.building = int16_t(place.building);
        record.floor = int16_t(place.floor);
        record.room = int16_t(place.number);
        record.cardType = GuestCardType;
        DateTimeToCardTime(hotelNow().addSecs(-qint64(random.below(7 * 86400))), record.time);
        record.cardNo[0] = int16_t(random.below(256));
        record.cardNo[1] = int16_t(random.below(4));
    }

    std::vector<double> ours;
    int stored = 0;
    QElapsedTimer timer;
    // No warm-up: one collection of a full card takes long enough on its own.
    for (int i = 0; i < repeats; ++i) {
        if (putDataCard(card.data(), records) != 1)
            throw std::runtime_error("the simulator took no data card");
        timer.start();
        const CollectionResult collected = CollectDoorRecords(hotel.db);
        const double ms = elapsedMs(timer);
        if (collected.outcome != CollectionResult::Stored || collected.records != records)
            throw std::runtime_error("the data card's records were not all stored");
        stored = collected.records;
        ours.push_back(ms);
        // The desk's idle moment after the collection.
        checkpointWhileIdle(hotel.db);
    }
    putBlank();

    // The raw path stores the same rows: the first room's old rows deleted,
    // every record inserted, one transaction. Its rows are read once from the
    // ones just stored, so the look-ups the program makes are not in it.
    std::vector<double> raw;
    if (hotel.raw) {
        std::vector<std::array<QByteArray, 7>> rows;
        {
            QSqlQuery query = Sql::exec(hotel.db,
                QStringLiteral("SELECT RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, MakeName "
                               "FROM OpenDoorRecord ORDER BY rowid DESC LIMIT ?"),
                { records });
            while (query.next()) {
                std::array<QByteArray, 7> row;
                for (int c = 0; c < 7; ++c)
                    row[size_t(c)] = query.value(c).toString().toUtf8();
                rows.push_back(row);
            }
            std::reverse(rows.begin(), rows.end());
        }
        auto remove = hotel.raw->prepare(QStringLiteral("Delete From OpenDoorRecord Where RoomStr=?"));
        auto insert = hotel.raw->prepare(
            QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, "
                           "MakeName) Values (?, ?, ?, ?, ?, ?, ?)"));
        raw = timeRuns(repeats, [&] {
            hotel.raw->exec("BEGIN IMMEDIATE");
            remove->bind(1, rows.front()[0]).step();
            remove->reset();
            for (const auto &row : rows) {
                insert->bind(1, row[0]).bind(2, row[1]).bind(3, row[2]).bind(4, row[3].toLongLong());
                insert->bind(5, row[4]).bind(6, row[5]).bind(7, row[6]).step();
                insert->reset();
            }
            hotel.raw->exec("COMMIT");
        });
    }
    CaseResult result = compare(name, ours, raw);
    result.note = QStringLiteral("%1 records, simulator reading included").arg(stored);
    return result;
}
