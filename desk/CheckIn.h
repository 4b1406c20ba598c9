#pragma once

#include "CardData.h"
#include "DataModule.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>

// What a check-in window hands over when its issue button is pressed.
struct CheckInRequest {
    QString roomStr; // the door-plate number as typed
    QDateTime start; // shown start plus the tolerance
    QDateTime end; // shown end plus the tolerance
    bool applyLossReport = false; // "应用挂失" ticked: supersede older stays, override word 0
    QString guestName;
    QString guestId;
    QString explanation; // the journal's explanation: message 2 followed by the door-plate number
};

// Override word written on a guest card: 0 cancels the room's earlier cards.
inline int16_t overrideWord(bool applyLossReport)
{
    return applyLossReport ? 0 : 1;
}

// Date and time of day joined, shifted by the tolerance in minutes.
QDateTime stayMoment(const QDate &date, const QTime &time, int toleranceMinutes);

// A text box value that counts days or hours: a 32-bit whole number, else nothing.
std::optional<int> wholeNumber(const QString &text);

// Hours between two moments, in the general format with two significant digits.
QString hoursText(const QDateTime &from, const QDateTime &to);

// The guest card of a check-in as handed to the encoder (card type 0): room
// block, building, floor, override word and the card times (seconds 0). The
// number is filled by the card issue.
TCardData checkInCard(const CheckInRequest &request, const QSqlDatabase &db = dm().conn());

// The loss-report supersession: closes the stays of the room that the new
// card's times overlap, counting clock-hour boundaries. The card's times are
// those written (to the minute). Returns the stays closed. Runs in its own
// committed transaction.
int SetRoomState(const QString &roomStr, const TCardData &card, int recycleHours, const QSqlDatabase &db = dm().conn());

// Issues a guest card for a check-in: the supersession when asked (kept
// whatever follows), then the card under the room's counter; on success the
// counter, the journal row and the stay (new, or one more card on the live
// one) are committed together. Returns the encoder's code. Throws DbError,
// leaving nothing of the card recorded.
[[nodiscard]] int16_t issueCheckInCard(const CheckInRequest &request, const QSqlDatabase &db = dm().conn());
