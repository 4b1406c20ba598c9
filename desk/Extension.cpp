#include "Extension.h"

#include "CardIssue.h"
#include "CardOperations.h"
#include "CardReading.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "Settings.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QSqlQuery>

#include <algorithm>

GuestCardRead readGuestCard(const QSqlDatabase &db)
{
    TCardData card;
    GuestCardRead read;
    read.code = Encoder::ReadCard(card);
    if (read.code != Encoder::Success || card.CardType[0] != GuestCardType)
        return read;
    read.guestCard = true;
    read.roomStr = LookupRoomStr(cardRoomBlock(card), db);
    read.start = CardTimeToDateTime(card.StartTime);
    read.endDate = CardTimeToDateTime(card.EndTime).date();
    return read;
}

namespace {

// The room's first live stay gets the new planned end; false without one.
bool moveLiveStayEnd(const QString &roomStr, const QDateTime &end, const QSqlDatabase &db)
{
    WriteTransaction tx(db);
    QSqlQuery first = Sql::exec(db,
        QStringLiteral("SELECT ID FROM GuestInRecord WHERE enOverride = 0 AND RoomStr = ? ORDER BY ID"), { roomStr });
    if (!first.next())
        return false;
    const qint64 id = first.value(0).toLongLong();
    first.finish();
    QSqlQuery update
        = Sql::prepare(db, QStringLiteral("UPDATE GuestInRecord SET GuestLeaveTime = ?, InputUser = ? WHERE ID = ?"));
    Sql::bindDateTime(update, 0, end);
    update.bindValue(1, SystemSettings.Staffer);
    update.bindValue(2, id);
    Sql::exec(update);
    tx.commit();
    return true;
}

} // namespace

std::optional<int16_t> extendStay(const ExtensionRequest &request, const QSqlDatabase &db)
{
    if (!moveLiveStayEnd(request.roomStr, request.end, db))
        return std::nullopt;

    TCardData card;
    const RoomBlock block = LookupRoomBlock(request.roomStr, db);
    std::copy(block.begin(), block.end(), card.Room);
    card.Building = block[1];
    card.Floor[0] = block[2];
    card.Override = 1;
    DateTimeToCardTime(request.start, card.StartTime);
    DateTimeToCardTime(request.end, card.EndTime);

    auto issue = CardIssue::withoutCounter(db);
    issue.fillCardNo(card);
    const int16_t result = WriteGuestCard(card);
    if (result == Encoder::Success) {
        card.CardType[0] = GuestCardType;
        issue.recordCard(card, request.holder, request.explanation);
        issue.commit();
    }
    return result;
}
