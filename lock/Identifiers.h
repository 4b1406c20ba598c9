#pragma once

#include "CardData.h"
#include "DataModule.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <optional>
#include <stdexcept>

// Date-part tokens for DateDiff in statement text.
enum class DatePart { Day, Minute, Hour };
// ConnType 0 (SQLite): 'd' 'n' 'h'; ConnType 1 (PostgreSQL): 'd' 'n' 'hh', quoted
// there too, since a bare d would name a column; any other kind: "".
QString DatePartToken(DatePart unit);
QString DatePartToken(DatePart unit, int connType);

// Year, month, day, hour, minute and 0; seconds and milliseconds are dropped.
CardTime DateTimeToCardTime(const QDateTime &dateTime);
void DateTimeToCardTime(const QDateTime &dateTime, int16_t *time6);

// A card time that is no valid date or time of day; the text names the words.
class CardTimeError : public std::runtime_error {
public:
    explicit CardTimeError(const QString &text);
};
// The date of words 0-2 and the time of day of words 3 and 4 (second 0); throws CardTimeError.
QDateTime CardTimeToDateTime(const int16_t *time6);
QDateTime CardTimeToDateTime(const CardTime &time);

// Card number text: w3, w2, w1, w0, each uppercase hexadecimal of at least two
// digits; a negative word takes eight digits.
QString CardNoText(const int16_t *words4);
QString CardNoText(int16_t w0, int16_t w1, int16_t w2, int16_t w3);
// The five words of a counter value: value mod 256, value div 256, 0, 0, 0.
CardNumber CardNumberFromCount(qint64 count);

// Two-digit form of a number typed as text: "3" -> "03", "012" stays "012".
QString TwoDigitForm(const QString &typed);
// Building, floor and room number, each in two-digit form, joined.
QString SystemRoomStr(const QString &building, const QString &floor, int roomNumber);
// The integer of building and floor as typed and the two-digit room number,
// joined; no value when the joined text is no 32-bit integer.
std::optional<int32_t> Room(const QString &building, const QString &floor, int roomNumber);

// Look-ups on the data module's connection unless another is given. Each runs
// one bound statement and uses its first row; without a row they give the
// no-row value named.
bool RoomExists(const QString &roomStr, const QSqlDatabase &db = dm().conn());
RoomBlock LookupRoomBlock(const QString &roomStr, const QSqlDatabase &db = dm().conn()); // zeros
int32_t LookupRoom(const QString &roomStr, const QSqlDatabase &db = dm().conn()); // 0
// Matches Buiding = word 1, Floor = word 2, RoomNumber = word 0; "" without a room.
QString LookupRoomStr(const RoomBlock &block, const QSqlDatabase &db = dm().conn());
QString LookupRoomStr(const int16_t *room7, const QSqlDatabase &db = dm().conn());
QString LookupSystemRoomStr(const RoomBlock &block, const QSqlDatabase &db = dm().conn());
QString LookupSystemRoomStr(const int16_t *room7, const QSqlDatabase &db = dm().conn());
// Both names of the room in one look-up (empty when there is no such room).
struct RoomNames {
    QString roomStr;
    QString systemRoomStr;
};
RoomNames LookupRoomNames(const int16_t *room7, const QSqlDatabase &db = dm().conn());
// The same look-up for many rooms in a row: prepared once.
class RoomNamesLookup {
public:
    explicit RoomNamesLookup(const QSqlDatabase &db);
    RoomNames operator()(const int16_t *room7);

private:
    QSqlQuery m_query;
};
// Five words from the room's CardSn (zeros without a row).
CardNumber ReadRoomCardSn(const QString &roomStr, const QSqlDatabase &db = dm().conn());
// The room's CardSn grows by one, in one statement.
void AdvanceRoomCardSn(const QString &roomStr, const QSqlDatabase &db = dm().conn());
// Five words from AllCardSn.CardSn of that counter code (zeros without a row).
CardNumber ReadTypeCardSn(int code, const QSqlDatabase &db = dm().conn());
// That CardSn grows by one; a missing row is made with 1 (its card was numbered 0).
void AdvanceTypeCardSn(int code, const QSqlDatabase &db = dm().conn());
