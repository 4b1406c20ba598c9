#include "DoorRecordCollection.h"

#include "CardOperations.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QHash>
#include <QList>

#include <array>
#include <utility>

namespace {

struct DoorRecord {
    RoomBlock room {};
    int16_t cardType = 0;
    std::array<int16_t, 6> time {};
    std::array<int16_t, 4> cardNo {};
};

struct CollectedRow {
    QString roomStr;
    QString rom;
    QDateTime openTime;
    int cardType = 0;
    QString cardTypeStr;
    QString cardHolderStr;
    QString makeName;
};

// Look-ups repeat for every record of the same room or card: each is asked
// once, through statements prepared once for the whole card.
class LookupCache {
public:
    explicit LookupCache(const QSqlDatabase &db)
        : m_db(db)
        , m_roomNames(db)
        , m_cardJournal(db)
    {
    }

    const RoomNames &room(const RoomBlock &room)
    {
        const quint64 key = roomKey(room);
        auto it = m_rooms.find(key);
        if (it == m_rooms.end())
            it = m_rooms.insert(key, m_roomNames(room.data()));
        return *it;
    }

    QString keyKind(int cardType)
    {
        auto it = m_keyKinds.find(cardType);
        if (it == m_keyKinds.end())
            it = m_keyKinds.insert(cardType, LookupKeyKind(cardType, m_db));
        return *it;
    }

    // Holder and maker of the journal row of that card.
    CardJournalLookup::Names journal(int cardType, const QString &journalNo)
    {
        const QString key = QString::number(cardType) + QLatin1Char('/') + journalNo;
        auto it = m_journal.find(key);
        if (it == m_journal.end())
            it = m_journal.insert(key, m_cardJournal(cardType, journalNo));
        return *it;
    }

private:
    static quint64 roomKey(const RoomBlock &room)
    {
        return (quint64(quint16(room[0])) << 32) | (quint64(quint16(room[1])) << 16) | quint64(quint16(room[2]));
    }

    QSqlDatabase m_db;
    RoomNamesLookup m_roomNames;
    CardJournalLookup m_cardJournal;
    QHash<quint64, RoomNames> m_rooms;
    QHash<int, QString> m_keyKinds;
    QHash<QString, CardJournalLookup::Names> m_journal;
};

// One ReadOneOpenDoorRecord into the places the data card shares between calls.
int16_t readRecord(int16_t *data9, DoorRecord &record)
{
    int16_t building = 0;
    int16_t floor = 0;
    int16_t unused1 = 0;
    int16_t unused2 = 0;
    int16_t room7[7] = {};
    int16_t cardType = 0;
    int16_t time6[6] = {};
    const int16_t result
        = Encoder::ReadOneOpenDoorRecord(&building, &floor, &unused1, &unused2, room7, &cardType, time6, data9);
    if (result != Encoder::Success)
        return result;
    std::copy(room7, room7 + 7, record.room.begin());
    record.room[1] = building;
    record.room[2] = floor;
    record.cardType = cardType;
    std::copy(time6, time6 + 6, record.time.begin());
    // Every card but a guest card carries its type in the fourth word of its
    // number; the buffer keeps it for the next call.
    if (cardType != GuestCardType)
        data9[3] = cardType;
    std::copy(data9, data9 + 4, record.cardNo.begin());
    return result;
}

// Bound as text, never NULL: an empty door-plate number must match empty ones.
QString nonNull(const QString &text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

CollectedRow rowOf(const DoorRecord &record, LookupCache &lookups)
{
    CollectedRow row;
    const RoomNames &room = lookups.room(record.room);
    row.roomStr = nonNull(room.roomStr);
    row.rom = CardNoText(record.cardNo.data());
    row.openTime = CardTimeToDateTime(record.time.data());
    row.cardType = record.cardType;
    row.cardTypeStr = nonNull(lookups.keyKind(record.cardType));
    // The journal keeps a guest card under its room's system number followed by its number.
    const QString journalNo = record.cardType == GuestCardType ? room.systemRoomStr + row.rom : row.rom;
    const CardJournalLookup::Names names = lookups.journal(record.cardType, journalNo);
    row.cardHolderStr = nonNull(names.holder);
    row.makeName = nonNull(names.maker);
    return row;
}

} // namespace

CollectionResult CollectDoorRecords(const QSqlDatabase &db)
{
    CollectionResult result;
    int16_t parameter[9] = {};
    (void)Encoder::GetParameter(parameter);
    if (parameter[0] == ProximityDeviceType) {
        if (Encoder::Detect_EncoderA(parameter) != Encoder::Success || parameter[0] != DataCollectorDevice) {
            result.outcome = CollectionResult::NoCollector;
            return result;
        }
    }

    int16_t data[9] = {};
    const int16_t read = Encoder::ReadDataCard(data);
    if (read != Encoder::Success) {
        result.code = read;
        return result;
    }
    QList<DoorRecord> records;
    DoorRecord record;
    const int16_t first = readRecord(data, record);
    if (first != Encoder::Success) {
        result.code = first;
        return result;
    }
    // Any result other than 1 ends the list.
    do {
        records.append(record);
        record = DoorRecord();
    } while (readRecord(data, record) == Encoder::Success);

    LookupCache lookups(db);
    QList<CollectedRow> rows;
    rows.reserve(records.size());
    for (const DoorRecord &r : std::as_const(records))
        rows.append(rowOf(r, lookups));

    // Only the first record's room is cleared; the others gain their rows beside the old ones.
    WriteTransaction tx(db);
    Sql::exec(db, QStringLiteral("Delete From OpenDoorRecord Where RoomStr=?"), { rows.first().roomStr });
    QSqlQuery insert = Sql::prepare(db,
        QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, "
                       "MakeName) Values (?, ?, ?, ?, ?, ?, ?)"));
    for (const CollectedRow &row : std::as_const(rows)) {
        Sql::exec(insert,
            { row.roomStr, row.rom, Sql::dateTimeValue(row.openTime), row.cardType, row.cardTypeStr, row.cardHolderStr,
                row.makeName });
    }
    tx.commit();

    result.outcome = CollectionResult::Stored;
    result.records = int(rows.size());
    return result;
}
