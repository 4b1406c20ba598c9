#pragma once

#include "CardData.h"
#include "DataModule.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <optional>

// What the card window shows of a card read.
struct CardDisplay {
    bool blank = false; // type outside 1 to 15: only the times, type and loss-report choice are emptied
    QString cardType;
    QString startTime;
    QString endTime;
    std::optional<bool> overrideApplied; // "是" for word 0, "否" for 1, neither otherwise
    QString room;
    QString building;
    QString floor;
    QString district;
};

// Card types 1 to 15 are issued cards; anything else reads as blank.
bool isIssuedCardType(int cardType);

// A time as the card window shows it: the regional short date and the time
// with seconds, the time left out at exactly midnight.
QString cardDateTimeText(const QDateTime &dateTime);

// The room block a card opens: its room number, building and first floor
// word (a card reads the remaining words of its Room slot as 0).
RoomBlock cardRoomBlock(const TCardData &card);

// Looks up what a successfully read card shows. Throws CardTimeError for a
// card time that is no date.
CardDisplay describeCard(const TCardData &card, const QSqlDatabase &db = dm().conn());

// Closes the live stays issued with a cancelled guest card, after the
// operator's confirmation, matching the card number and the card's own room
// (guest card numbers count per room). Any other card, or a guest card of a
// room no longer known, closes nothing and asks nothing. Returns the stays closed.
int closeStaysOfCancelledCard(const TCardData &card, const QSqlDatabase &db = dm().conn());
