#pragma once

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>
#include <QVariant>

#include <cstdint>

// The size of a synthetic hotel. Floors are numbered from 10, so that the
// internal room number (building, floor and two-digit room joined) never
// makes two rooms of different buildings equal.
struct HotelSize {
    int buildings = 10;
    int floors = 20;
    int roomsPerFloor = 25;
    qint64 stays = 500000; // past and live
    qint64 liveStays = 2000;
    qint64 journalRows = 1000000; // over two years
    qint64 doorRecords = 200000;

    static constexpr int FirstFloor = 10;

    int rooms() const { return buildings * floors * roomsPerFloor; }
    // The default hotel scaled by factor (0.1: one building; 10: a hundred).
    static HotelSize scaled(double factor);
};

// The generator's clock: every date it writes lies before this fixed moment,
// and the cases run with the program's clock set to it.
QDateTime hotelNow();

// Seconds from 1970-01-01 00:00 as the text a stored date-time has,
// "yyyy-MM-dd HH:mm:ss", read as wall-clock digits.
QString generatorTimeText(qint64 seconds);

// The door-plate number, the place and the internal number of room index i
// (0 .. rooms - 1), in building, floor and room order.
struct RoomPlace {
    QString roomStr;
    QString systemRoomStr;
    int building = 0;
    int floor = 0;
    int number = 0;
    int room = 0;
};
RoomPlace roomPlace(const HotelSize &size, int index);

// Deterministic pseudo-random numbers (splitmix64).
class Random {
public:
    explicit Random(uint64_t seed)
        : m_state(seed)
    {
    }
    uint64_t next();
    // Uniform in [0, bound).
    qint64 below(qint64 bound) { return bound <= 0 ? 0 : qint64(next() % uint64_t(bound)); }

private:
    uint64_t m_state;
};

// One row for a table, column names and values in the same order.
struct GeneratedRow {
    const char *table;
    QStringList columns;
    QVariantList values; // QString, qint64, bool (rights) or a null QVariant; date-times as "yyyy-MM-dd HH:mm:ss"
};

// Receives the generated rows in insertion order.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void add(const GeneratedRow &row) = 0;
};

// Produces every row of a hotel of that size: one operator (admin, password
// 123456, every right), rooms, stays, card journal and door records. The same
// seed gives the same rows.
void generateHotel(const HotelSize &size, uint64_t seed, RowSink &sink);

// A new SQLite hotel file at path (the program's schema and seed rows), filled
// through the raw sqlite3 interface in one transaction, left in WAL mode.
// Throws std::runtime_error.
void generateSqliteHotel(const QString &path, const HotelSize &size, uint64_t seed);

// Fills an open server database that already holds the schema, in one transaction.
void generatePostgresHotel(const QSqlDatabase &db, const HotelSize &size, uint64_t seed);
