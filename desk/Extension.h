#pragma once

#include "CardData.h"
#include "DataModule.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>

// A guest card read for an extension.
struct GuestCardRead {
    int16_t code = 0; // the encoder's result
    bool guestCard = false; // type 4
    QString roomStr; // "" when the card's room is not known
    QDateTime start; // the card's start, to the minute
    QDate endDate;
};

// Reads the card on the encoder. Throws CardTimeError for a guest card whose
// times are no dates.
GuestCardRead readGuestCard(const QSqlDatabase &db = dm().conn());

struct ExtensionRequest {
    QString roomStr;
    QDateTime start;
    QDateTime end;
    QString holder; // the journal's holder
    QString explanation; // the journal's explanation
};

// Moves the planned end of the room's live stay and writes the guest card
// again (card number zero, no loss report). The new end is committed before
// the card is written and stays whatever the encoder answers; a written card
// is journalled. No value when the room has no live stay: nothing is written
// then. Otherwise the encoder's result. Throws DbError.
std::optional<int16_t> extendStay(const ExtensionRequest &request, const QSqlDatabase &db = dm().conn());
