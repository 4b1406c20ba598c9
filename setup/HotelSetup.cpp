#include "HotelSetup.h"

#include "DbError.h"
#include "Identifiers.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QLocale>

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(text.toStdString())
    , m_text(text)
{
}

namespace TypedNumber {

namespace {
// A group separator is refused: "1,500" is no number on either database.
QLocale plainC()
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    return c;
}
} // namespace

int toInteger(const QString &text)
{
    bool ok = false;
    const int value = plainC().toInt(text, &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

double toFloat(const QString &text)
{
    bool ok = false;
    const double value = plainC().toDouble(text, &ok);
    if (!ok)
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

} // namespace TypedNumber

namespace RoomTypes {

QVariant sizeValue(const QString &text)
{
    if (text.isEmpty())
        return {};
    return TypedNumber::toInteger(text);
}

QVariant pieceValue(const QString &text)
{
    if (text.isEmpty())
        return {};
    return TypedNumber::toFloat(text);
}

} // namespace RoomTypes

namespace Rooms {

QString duplicateMessage(const QString &roomStr)
{
    return QString::fromUtf8("实际门牌号码") + roomStr + QString::fromUtf8("不能重复！");
}

namespace {

bool doorPlateTaken(const QSqlDatabase &db, const QString &roomStr, const QVariant &exceptRecId)
{
    QSqlQuery query = exceptRecId.isNull()
        ? Sql::exec(db, QStringLiteral("SELECT COUNT(*) FROM RoomInfo WHERE RoomStr = ?"), { roomStr })
        : Sql::exec(db, QStringLiteral("SELECT COUNT(*) FROM RoomInfo WHERE RoomStr = ? AND RecID <> ?"),
            { roomStr, exceptRecId });
    return query.next() && query.value(0).toInt() > 0;
}

// A type left unchosen is stored as no value.
QVariant typeValue(const QString &roomTypeStr)
{
    return roomTypeStr.isEmpty() ? QVariant() : QVariant(roomTypeStr);
}

template <typename Write> QString store(const QSqlDatabase &db, const QString &roomStr, Write &&write)
{
    if (roomStr.isEmpty())
        return QString::fromUtf8(EmptyRoomStrMessage);
    try {
        WriteTransaction tx(db);
        if (!write(tx))
            return duplicateMessage(roomStr);
        tx.commit();
        return {};
    } catch (const DbError &error) {
        // Another desk may have stored the same door-plate since the look-up.
        if (error.isUniqueViolation() && doorPlateTaken(db, roomStr, QVariant()))
            return duplicateMessage(roomStr);
        return QString::fromUtf8(EmptyRoomStrMessage);
    }
}

} // namespace

QString storeNew(const QSqlDatabase &db, const NewRoom &room, const QString &roomStr, const QString &roomTypeStr)
{
    return store(db, roomStr, [&](WriteTransaction &) {
        if (doorPlateTaken(db, roomStr, QVariant()))
            return false;
        Sql::exec(db,
            QStringLiteral("INSERT INTO RoomInfo (SystemRoomStr, Buiding, Floor, RoomNumber, Room, RoomStr, "
                           "RoomTypeStr) VALUES (?, ?, ?, ?, ?, ?, ?)"),
            { room.systemRoomStr, room.building, room.floor, room.roomNumber, room.room, roomStr,
                typeValue(roomTypeStr) });
        return true;
    });
}

QString storeEdited(const QSqlDatabase &db, qint64 recId, const QString &roomStr, const QString &roomTypeStr)
{
    return store(db, roomStr, [&](WriteTransaction &) {
        if (doorPlateTaken(db, roomStr, recId))
            return false;
        Sql::exec(db, QStringLiteral("UPDATE RoomInfo SET RoomStr = ?, RoomTypeStr = ? WHERE RecID = ?"),
            { roomStr, typeValue(roomTypeStr), recId });
        return true;
    });
}

void remove(const QSqlDatabase &db, qint64 recId)
{
    WriteTransaction tx(db);
    Sql::exec(db, QStringLiteral("DELETE FROM RoomInfo WHERE RecID = ?"), { recId });
    tx.commit();
}

QStringList roomTypeTitles(const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT Title FROM RoomType ORDER BY ID"));
    QStringList titles;
    while (query.next())
        titles << query.value(0).toString();
    return titles;
}

} // namespace Rooms

namespace Districts {

namespace {
bool numberTaken(const QSqlDatabase &db, int number)
{
    QSqlQuery query
        = Sql::exec(db, QStringLiteral("SELECT COUNT(*) FROM District WHERE DistrictNumber = ?"), { number });
    return query.next() && query.value(0).toInt() > 0;
}
} // namespace

AddResult add(const QSqlDatabase &db, const QString &numberText, const QString &notes)
{
    const int number = TypedNumber::toInteger(numberText);
    try {
        WriteTransaction tx(db);
        if (numberTaken(db, number))
            return AddResult::Duplicate;
        // An empty description is stored as empty text, not as no value.
        Sql::exec(db, QStringLiteral("INSERT INTO District (DistrictNumber, Notes) VALUES (?, ?)"),
            { number, notes.isNull() ? QStringLiteral("") : notes });
        tx.commit();
        return AddResult::Added;
    } catch (const DbError &error) {
        if (error.isUniqueViolation())
            return AddResult::Duplicate;
        throw;
    }
}

void remove(const QSqlDatabase &db, const QVariant &districtNumber)
{
    WriteTransaction tx(db);
    if (districtNumber.isNull())
        Sql::exec(db, QStringLiteral("DELETE FROM District WHERE DistrictNumber IS NULL"));
    else
        Sql::exec(db, QStringLiteral("DELETE FROM District WHERE DistrictNumber = ?"), { districtNumber });
    tx.commit();
}

} // namespace Districts
