#pragma once

#include "RoomNumbering.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <stdexcept>

// A typed value the database column cannot take; the text is the standard
// conversion message the operator sees in the error box.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString &text);
    const QString &text() const { return m_text; }

private:
    QString m_text;
};

// Number typing shared by the setup windows: read in the C locale, so that both
// database kinds refuse the same texts.
namespace TypedNumber {
int toInteger(const QString &text); // throws ConversionError
double toFloat(const QString &text); // throws ConversionError
} // namespace TypedNumber

// Room types: the bed count and price of a type as the columns take them.
namespace RoomTypes {
// Null when the edit is empty (the column is left as it is).
QVariant sizeValue(const QString &text);
QVariant pieceValue(const QString &text);
} // namespace RoomTypes

// Rooms and their numbering.
namespace Rooms {

inline constexpr auto EmptyRoomStrMessage = "实际门牌号码不能空！";

QString duplicateMessage(const QString &roomStr);

// Stores a new room or the door-plate and type of an existing one (recId), in
// one transaction. Returns the refusal the operator is told, or "" once stored.
QString storeNew(const QSqlDatabase &db, const NewRoom &room, const QString &roomStr, const QString &roomTypeStr);
QString storeEdited(const QSqlDatabase &db, qint64 recId, const QString &roomStr, const QString &roomTypeStr);
void remove(const QSqlDatabase &db, qint64 recId);

// Room type titles for the pick list, in table order.
QStringList roomTypeTitles(const QSqlDatabase &db);

} // namespace Rooms

// Districts.
namespace Districts {

inline constexpr auto DuplicateMessage = "区域号不能重复!";

enum class AddResult { Added, Duplicate };
// The number typed is converted first (ConversionError); the look-up and the
// insert share one transaction, and the unique index backs the look-up.
AddResult add(const QSqlDatabase &db, const QString &numberText, const QString &notes);
void remove(const QSqlDatabase &db, const QVariant &districtNumber);

} // namespace Districts
