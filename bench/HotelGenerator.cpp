#include "HotelGenerator.h"

#include "Identifiers.h"
#include "Operators.h"
#include "Schema.h"
#include "Sql.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimeZone>

#include <sqlite3.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

constexpr qint64 JournalSpanSeconds = 2LL * 365 * 24 * 3600;

QVariant timeValue(qint64 seconds)
{
    return generatorTimeText(seconds);
}

constexpr qint64 Day = 24 * 3600;

QVariant nullValue()
{
    return QVariant();
}

QString guestCardRom(const QString &systemRoomStr, qint64 count)
{
    const CardNumber number = CardNumberFromCount(count);
    return systemRoomStr + CardNoText(number[0], number[1], 0, 0);
}

QString specialCardRom(int cardType, qint64 count)
{
    const CardNumber number = CardNumberFromCount(count);
    return CardNoText(number[0], number[1], 0, int16_t(cardType));
}

// Special card types the journal mixes in with guest cards (type 4).
constexpr int SpecialTypes[] = { 1, 2, 3, 5, 6, 8, 10, 12, 14 };

} // namespace

HotelSize HotelSize::scaled(double factor)
{
    HotelSize size;
    size.buildings = std::max(1, int(std::lround(size.buildings * factor)));
    size.stays = qint64(std::llround(double(size.stays) * factor));
    size.liveStays = qint64(std::llround(double(size.liveStays) * factor));
    size.journalRows = qint64(std::llround(double(size.journalRows) * factor));
    size.doorRecords = qint64(std::llround(double(size.doorRecords) * factor));
    return size;
}

QDateTime hotelNow()
{
    return QDateTime(QDate(2026, 12, 1), QTime(12, 0));
}

QString generatorTimeText(qint64 seconds)
{
    qint64 days = seconds / Day;
    qint64 rest = seconds % Day;
    if (rest < 0) {
        rest += Day;
        --days;
    }
    // Civil date of a day number (days from 1970-01-01), by 400-year eras.
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 dayOfEra = days - era * 146097;
    const qint64 yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153; // from March
    const qint64 day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const qint64 month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld", static_cast<long long>(year),
        static_cast<long long>(month), static_cast<long long>(day), static_cast<long long>(rest / 3600),
        static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return QString::fromLatin1(text);
}

uint64_t Random::next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

RoomPlace roomPlace(const HotelSize &size, int index)
{
    const int perBuilding = size.floors * size.roomsPerFloor;
    RoomPlace place;
    place.building = index / perBuilding + 1;
    place.floor = (index % perBuilding) / size.roomsPerFloor + HotelSize::FirstFloor;
    place.number = index % size.roomsPerFloor + 1;
    const QString number = QStringLiteral("%1").arg(place.number, 2, 10, QLatin1Char('0'));
    place.roomStr = QStringLiteral("%1-%2%3").arg(place.building).arg(place.floor).arg(number);
    place.systemRoomStr = SystemRoomStr(QString::number(place.building), QString::number(place.floor), place.number);
    place.room = Room(QString::number(place.building), QString::number(place.floor), place.number).value_or(0);
    return place;
}

void generateHotel(const HotelSize &size, uint64_t seed, RowSink &sink)
{
    Random random(seed);
    // Wall-clock seconds: the rows' times are counted and written as digits,
    // without a calendar or time-zone conversion per row.
    const qint64 now = QDateTime(hotelNow().date(), hotelNow().time(), Qt::UTC).toSecsSinceEpoch();
    const int rooms = size.rooms();

    {
        GeneratedRow row { "Operator",
            { QStringLiteral("Staffer"), QStringLiteral("StafferName"), QStringLiteral("Pass") },
            { QStringLiteral("admin"), QStringLiteral("系统管理员"), QStringLiteral("123456") } };
        for (const QString &right : operatorRightColumns()) {
            row.columns << right;
            row.values << QVariant(true);
        }
        sink.add(row);
    }

    // Rooms, with the card counter each reaches by the end of the journal.
    std::vector<RoomPlace> places;
    places.reserve(size_t(rooms));
    std::vector<qint64> counters(size_t(rooms), 0);
    for (int i = 0; i < rooms; ++i) {
        places.push_back(roomPlace(size, i));
        counters[size_t(i)] = random.below(200);
    }
    const QStringList roomColumns { QStringLiteral("Room"), QStringLiteral("RoomStr"), QStringLiteral("SystemRoomStr"),
        QStringLiteral("Buiding"), QStringLiteral("Floor"), QStringLiteral("RoomNumber"), QStringLiteral("RoomTypeStr"),
        QStringLiteral("District"), QStringLiteral("RoomState"), QStringLiteral("CardSn") };
    for (int i = 0; i < rooms; ++i) {
        const RoomPlace &p = places[size_t(i)];
        const qint64 state = random.below(20) == 0 ? 1 : 0;
        sink.add({ "RoomInfo", roomColumns,
            { qint64(p.room), p.roomStr, p.systemRoomStr, qint64(p.building), qint64(p.floor), qint64(p.number),
                QStringLiteral("标准间"), qint64(p.floor % 5 + 1), state, counters[size_t(i)] } });
    }

    // Stays: past ones closed, spread over two years; live ones on distinct rooms.
    const QStringList stayColumns { QStringLiteral("GuestName"), QStringLiteral("GuestID"), QStringLiteral("Room"),
        QStringLiteral("RoomStr"), QStringLiteral("Rom"), QStringLiteral("GuestInTime"),
        QStringLiteral("GuestLeaveTime"), QStringLiteral("LeaveTime"), QStringLiteral("enOverride"),
        QStringLiteral("InputUser"), QStringLiteral("InputTime"), QStringLiteral("MakeName"),
        QStringLiteral("CardCounts") };
    const qint64 live = std::min<qint64>(size.liveStays, rooms);
    const qint64 past = std::max<qint64>(0, size.stays - live);
    for (qint64 i = 0; i < past; ++i) {
        const RoomPlace &p = places[size_t(random.below(rooms))];
        const qint64 in = now - JournalSpanSeconds + JournalSpanSeconds * i / std::max<qint64>(past, 1);
        const qint64 leave = in + Day * (1 + random.below(4));
        sink.add({ "GuestInRecord", stayColumns,
            { QStringLiteral("宾客%1").arg(i), QStringLiteral("%1").arg(110101199001010000LL + i), qint64(p.room),
                p.roomStr, CardNoText(int16_t(i % 256), int16_t(i / 256 % 256), 0, 0), timeValue(in), timeValue(leave),
                timeValue(leave), qint64(1), QStringLiteral("admin"), timeValue(in), QStringLiteral("系统管理员"),
                qint64(1) } });
    }
    for (qint64 i = 0; i < live; ++i) {
        const RoomPlace &p = places[size_t(i * rooms / std::max<qint64>(live, 1))];
        const qint64 in = now - random.below(3 * Day);
        sink.add({ "GuestInRecord", stayColumns,
            { QStringLiteral("住客%1").arg(i), QStringLiteral("%1").arg(220101199001010000LL + i), qint64(p.room),
                p.roomStr, CardNoText(int16_t(i % 256), int16_t(i / 256 % 256), 0, 0), timeValue(in),
                timeValue(in + Day * (1 + random.below(5))), nullValue(), qint64(0), QStringLiteral("admin"),
                timeValue(in), QStringLiteral("系统管理员"), qint64(1 + random.below(2)) } });
    }

    // The card journal in issue order: four cards in five are guest cards.
    const QStringList journalColumns { QStringLiteral("CardType"), QStringLiteral("Rom"), QStringLiteral("RoomStr"),
        QStringLiteral("enOverride"), QStringLiteral("Holder"), QStringLiteral("Explain"), QStringLiteral("MakeUser"),
        QStringLiteral("MakeName"), QStringLiteral("Floor"), QStringLiteral("District"), QStringLiteral("Buiding"),
        QStringLiteral("StartTime"), QStringLiteral("EndTime"), QStringLiteral("InputTime") };
    std::map<int, qint64> specialCounters;
    for (qint64 i = 0; i < size.journalRows; ++i) {
        const qint64 at = now - JournalSpanSeconds + JournalSpanSeconds * i / size.journalRows;
        const qint64 end = at + Day * (1 + random.below(3));
        if (random.below(5) != 0) {
            const int index = int(random.below(rooms));
            const RoomPlace &p = places[size_t(index)];
            const qint64 count = counters[size_t(index)]++;
            sink.add({ "MakeCardRecord", journalColumns,
                { qint64(4), guestCardRom(p.systemRoomStr, count), p.roomStr, qint64(random.below(2)),
                    QStringLiteral("宾客%1").arg(i), QString(QStringLiteral("发客人卡") + p.roomStr),
                    QStringLiteral("admin"), QStringLiteral("系统管理员"), nullValue(), nullValue(), nullValue(),
                    timeValue(at), timeValue(end), timeValue(at) } });
            continue;
        }
        const int type = SpecialTypes[random.below(std::size(SpecialTypes))];
        const qint64 count = specialCounters[type]++;
        const QVariant floor
            = type == 5 ? QVariant(qint64(HotelSize::FirstFloor + random.below(size.floors))) : nullValue();
        const QVariant district = type == 6 ? QVariant(qint64(1 + random.below(5))) : nullValue();
        const QVariant building = type == 8 ? QVariant(qint64(1 + random.below(size.buildings))) : nullValue();
        sink.add({ "MakeCardRecord", journalColumns,
            { qint64(type), specialCardRom(type, count), nullValue(), qint64(0), QStringLiteral("员工%1").arg(i % 300),
                QStringLiteral("特殊卡"), QStringLiteral("admin"), QStringLiteral("系统管理员"), floor, district,
                building, timeValue(at), timeValue(end + 30 * Day), timeValue(at) } });
    }

    // Door-opening records collected earlier, mostly guest cards.
    const QStringList doorColumns { QStringLiteral("RoomStr"), QStringLiteral("Rom"), QStringLiteral("OpenTime"),
        QStringLiteral("CardType"), QStringLiteral("CardTypeStr"), QStringLiteral("CardHolderStr"),
        QStringLiteral("MakeName") };
    for (qint64 i = 0; i < size.doorRecords; ++i) {
        const RoomPlace &p = places[size_t(random.below(rooms))];
        const qint64 at = now - JournalSpanSeconds + JournalSpanSeconds * i / size.doorRecords;
        const bool guest = random.below(10) != 0;
        const qint64 type = guest ? 4 : 10;
        sink.add({ "OpenDoorRecord", doorColumns,
            { p.roomStr,
                guest ? CardNoText(int16_t(i % 256), int16_t(i / 256 % 256), 0, 0) : specialCardRom(10, i % 50),
                timeValue(at), type, guest ? QStringLiteral("客人卡") : QStringLiteral("总卡"),
                QStringLiteral("宾客%1").arg(i % 1000), QStringLiteral("系统管理员") } });
    }
}

namespace {

void check(sqlite3 *db, int code, const char *what)
{
    if (code != SQLITE_OK && code != SQLITE_DONE && code != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

class SqliteSink : public RowSink {
public:
    explicit SqliteSink(sqlite3 *db)
        : m_db(db)
    {
    }
    ~SqliteSink() override
    {
        for (auto &entry : m_statements)
            sqlite3_finalize(entry.second);
    }

    void add(const GeneratedRow &row) override
    {
        sqlite3_stmt *statement = statementFor(row);
        for (int i = 0; i < int(row.values.size()); ++i) {
            const QVariant &value = row.values[i];
            if (value.isNull()) {
                sqlite3_bind_null(statement, i + 1);
            } else if (value.typeId() == QMetaType::QString) {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(statement, i + 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(statement, i + 1, value.toLongLong());
            }
        }
        check(m_db, sqlite3_step(statement), row.table);
        sqlite3_reset(statement);
    }

private:
    sqlite3_stmt *statementFor(const GeneratedRow &row)
    {
        auto found = m_statements.find(row.table);
        if (found != m_statements.end())
            return found->second;
        QStringList marks;
        for (qsizetype i = 0; i < row.columns.size(); ++i)
            marks << QStringLiteral("?");
        const QByteArray sql
            = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                  .arg(QLatin1String(row.table), row.columns.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                  .toUtf8();
        sqlite3_stmt *statement = nullptr;
        check(m_db, sqlite3_prepare_v2(m_db, sql.constData(), -1, &statement, nullptr), sql.constData());
        m_statements.emplace(row.table, statement);
        return statement;
    }

    sqlite3 *m_db;
    std::map<std::string, sqlite3_stmt *> m_statements;
};

QString literal(const QVariant &value)
{
    if (value.isNull())
        return QStringLiteral("NULL");
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    if (value.typeId() != QMetaType::QString)
        return QString::number(value.toLongLong());
    QString text = value.toString();
    text.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// Rows go to the server as multi-row INSERTs of generated values only.
class PostgresSink : public RowSink {
public:
    explicit PostgresSink(const QSqlDatabase &db)
        : m_db(db)
    {
    }
    ~PostgresSink() override = default;

    void add(const GeneratedRow &row) override
    {
        if (row.table != m_table || m_pending >= 500)
            flush();
        if (m_pending == 0) {
            m_table = row.table;
            m_sql = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                        .arg(QLatin1String(row.table), row.columns.join(QLatin1Char(',')));
        } else {
            m_sql += QLatin1Char(',');
        }
        QStringList values;
        for (const QVariant &value : row.values)
            values << literal(value);
        m_sql += QLatin1Char('(') + values.join(QLatin1Char(',')) + QLatin1Char(')');
        ++m_pending;
    }

    void flush()
    {
        if (m_pending == 0)
            return;
        Sql::execDirect(m_db, m_sql);
        m_pending = 0;
        m_sql.clear();
    }

private:
    QSqlDatabase m_db;
    const char *m_table = nullptr;
    QString m_sql;
    int m_pending = 0;
};

} // namespace

void generateSqliteHotel(const QString &path, const HotelSize &size, uint64_t seed)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    createEmbeddedDatabase(path); // DbError is a runtime_error
    sqlite3 *raw = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, decltype(&sqlite3_close)> db(raw, &sqlite3_close);
    check(raw, opened, "open");
    // One big load: no journal and a large cache; the indexes are dropped and
    // made again from their own definitions after the rows are in.
    check(raw,
        sqlite3_exec(raw,
            "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144; "
            "PRAGMA temp_store=MEMORY; PRAGMA locking_mode=EXCLUSIVE",
            nullptr, nullptr, nullptr),
        "pragmas");
    QStringList indexes;
    QStringList names;
    {
        sqlite3_stmt *statement = nullptr;
        check(raw,
            sqlite3_prepare_v2(raw, "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL", -1,
                &statement, nullptr),
            "indexes");
        while (sqlite3_step(statement) == SQLITE_ROW) {
            names << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
            indexes << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 1)));
        }
        sqlite3_finalize(statement);
    }
    check(raw, sqlite3_exec(raw, "BEGIN", nullptr, nullptr, nullptr), "begin");
    for (const QString &name : std::as_const(names))
        check(raw, sqlite3_exec(raw, ("DROP INDEX " + name).toUtf8().constData(), nullptr, nullptr, nullptr), "drop");
    {
        SqliteSink sink(raw);
        generateHotel(size, seed, sink);
    }
    for (const QString &sql : std::as_const(indexes))
        check(raw, sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr), "index");
    check(raw, sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr), "commit");
    check(raw, sqlite3_exec(raw, "PRAGMA locking_mode=NORMAL; PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr),
        "wal");
}

void generatePostgresHotel(const QSqlDatabase &db, const HotelSize &size, uint64_t seed)
{
    Sql::execDirect(db, QStringLiteral("BEGIN"));
    PostgresSink sink(db);
    generateHotel(size, seed, sink);
    sink.flush();
    Sql::execDirect(db, QStringLiteral("COMMIT"));
    // The hotel's own tables only: the catalog is the superuser's to analyze.
    Sql::execDirect(db, QStringLiteral("ANALYZE RoomInfo, RoomStateType, GuestInRecord, MakeCardRecord, OpenDoorRecord"));
}
