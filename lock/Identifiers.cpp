#include "Identifiers.h"

#include "DbError.h"
#include "Settings.h"
#include "Sql.h"

#include <QSqlQuery>

QString DatePartToken(DatePart unit)
{
    return DatePartToken(unit, SystemSettings.ConnType);
}

QString DatePartToken(DatePart unit, int connType)
{
    if (connType != 0 && connType != 1)
        return {};
    switch (unit) {
    case DatePart::Day:
        return QStringLiteral("'d'");
    case DatePart::Minute:
        return QStringLiteral("'n'");
    case DatePart::Hour:
        return connType == 0 ? QStringLiteral("'h'") : QStringLiteral("'hh'");
    }
    return {};
}

CardTime DateTimeToCardTime(const QDateTime &dateTime)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    return { static_cast<int16_t>(date.year()), static_cast<int16_t>(date.month()), static_cast<int16_t>(date.day()),
        static_cast<int16_t>(time.hour()), static_cast<int16_t>(time.minute()), 0 };
}

void DateTimeToCardTime(const QDateTime &dateTime, int16_t *time6)
{
    const CardTime words = DateTimeToCardTime(dateTime);
    std::copy(words.begin(), words.end(), time6);
}

CardTimeError::CardTimeError(const QString &text)
    : std::runtime_error(text.toStdString())
{
}

QDateTime CardTimeToDateTime(const int16_t *time6)
{
    const QDate date(time6[0], time6[1], time6[2]);
    const QTime time(time6[3], time6[4]);
    if (!date.isValid() || !time.isValid())
        throw CardTimeError(QStringLiteral("Invalid card time: year %1, month %2, day %3, hour %4, minute %5")
                                .arg(time6[0])
                                .arg(time6[1])
                                .arg(time6[2])
                                .arg(time6[3])
                                .arg(time6[4]));
    return QDateTime(date, time);
}

QDateTime CardTimeToDateTime(const CardTime &time)
{
    return CardTimeToDateTime(time.data());
}

namespace {
QString hexWord(int16_t word)
{
    // A negative word reads as a 32-bit integer: eight digits.
    const quint32 value = static_cast<quint32>(static_cast<qint32>(word));
    return QString::number(value, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}
} // namespace

QString CardNoText(int16_t w0, int16_t w1, int16_t w2, int16_t w3)
{
    return hexWord(w3) + hexWord(w2) + hexWord(w1) + hexWord(w0);
}

QString CardNoText(const int16_t *words4)
{
    return CardNoText(words4[0], words4[1], words4[2], words4[3]);
}

CardNumber CardNumberFromCount(qint64 count)
{
    return { static_cast<int16_t>(count % 256), static_cast<int16_t>(count / 256), 0, 0, 0 };
}

QString TwoDigitForm(const QString &typed)
{
    return typed.size() >= 2 ? typed : QLatin1Char('0') + typed;
}

QString SystemRoomStr(const QString &building, const QString &floor, int roomNumber)
{
    return TwoDigitForm(building) + TwoDigitForm(floor) + TwoDigitForm(QString::number(roomNumber));
}

std::optional<int32_t> Room(const QString &building, const QString &floor, int roomNumber)
{
    const QString joined = building + floor + TwoDigitForm(QString::number(roomNumber));
    bool ok = false;
    const int value = joined.toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return value;
}

namespace {

// One bound statement, forward-only; the caller takes its first row.
QSqlQuery lookup(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    return Sql::exec(db, sql, values);
}

QVariantList blockValues(const int16_t *room7)
{
    return { int(room7[1]), int(room7[2]), int(room7[0]) };
}

CardNumber readCounter(const QSqlDatabase &db, const QString &sql, const QVariant &key)
{
    QSqlQuery query = lookup(db, sql, { key });
    if (!query.next())
        return {};
    return CardNumberFromCount(query.value(0).toLongLong());
}

} // namespace

bool RoomExists(const QString &roomStr, const QSqlDatabase &db)
{
    return lookup(db, QStringLiteral("SELECT 1 FROM RoomInfo WHERE RoomStr = ?"), { roomStr }).next();
}

RoomBlock LookupRoomBlock(const QString &roomStr, const QSqlDatabase &db)
{
    QSqlQuery query
        = lookup(db, QStringLiteral("SELECT RoomNumber, Buiding, Floor FROM RoomInfo WHERE RoomStr = ?"), { roomStr });
    if (!query.next())
        return {};
    return { static_cast<int16_t>(query.value(0).toInt()), static_cast<int16_t>(query.value(1).toInt()),
        static_cast<int16_t>(query.value(2).toInt()), 0, 0, 0, 0 };
}

int32_t LookupRoom(const QString &roomStr, const QSqlDatabase &db)
{
    QSqlQuery query = lookup(db, QStringLiteral("SELECT Room FROM RoomInfo WHERE RoomStr = ?"), { roomStr });
    if (!query.next())
        return 0;
    return query.value(0).toInt();
}

QString LookupRoomStr(const int16_t *room7, const QSqlDatabase &db)
{
    return LookupRoomNames(room7, db).roomStr;
}

QString LookupRoomStr(const RoomBlock &block, const QSqlDatabase &db)
{
    return LookupRoomStr(block.data(), db);
}

QString LookupSystemRoomStr(const int16_t *room7, const QSqlDatabase &db)
{
    return LookupRoomNames(room7, db).systemRoomStr;
}

QString LookupSystemRoomStr(const RoomBlock &block, const QSqlDatabase &db)
{
    return LookupSystemRoomStr(block.data(), db);
}

namespace {

QString roomNamesStatement()
{
    return QStringLiteral("SELECT RoomStr, SystemRoomStr FROM RoomInfo WHERE Buiding = ? AND Floor = ? AND RoomNumber = ?");
}

RoomNames roomNamesOf(QSqlQuery &query)
{
    RoomNames names;
    if (query.next())
        names = { query.value(0).toString(), query.value(1).toString() };
    query.finish();
    return names;
}

} // namespace

RoomNames LookupRoomNames(const int16_t *room7, const QSqlDatabase &db)
{
    QSqlQuery query = lookup(db, roomNamesStatement(), blockValues(room7));
    return roomNamesOf(query);
}

RoomNamesLookup::RoomNamesLookup(const QSqlDatabase &db)
    : m_query(Sql::prepare(db, roomNamesStatement()))
{
}

RoomNames RoomNamesLookup::operator()(const int16_t *room7)
{
    Sql::exec(m_query, blockValues(room7));
    return roomNamesOf(m_query);
}

CardNumber ReadRoomCardSn(const QString &roomStr, const QSqlDatabase &db)
{
    return readCounter(db, QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"), roomStr);
}

void AdvanceRoomCardSn(const QString &roomStr, const QSqlDatabase &db)
{
    Sql::exec(
        db, QStringLiteral("UPDATE RoomInfo SET CardSn = COALESCE(CardSn, 0) + 1 WHERE RoomStr = ?"), { roomStr });
}

CardNumber ReadTypeCardSn(int code, const QSqlDatabase &db)
{
    return readCounter(db, QStringLiteral("SELECT CardSn FROM AllCardSn WHERE CardType = ?"), code);
}

void AdvanceTypeCardSn(int code, const QSqlDatabase &db)
{
    const QSqlQuery query = Sql::exec(
        db, QStringLiteral("UPDATE AllCardSn SET CardSn = COALESCE(CardSn, 0) + 1 WHERE CardType = ?"), { code });
    if (query.numRowsAffected() == 0)
        Sql::exec(db, QStringLiteral("INSERT INTO AllCardSn (CardType, CardSn) VALUES (?, 1)"), { code });
}
