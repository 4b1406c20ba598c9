#include "CardReading.h"

#include "CardOperations.h"
#include "Identifiers.h"

#include <QLocale>

bool isIssuedCardType(int cardType)
{
    return cardType >= 1 && cardType <= 15;
}

QString cardDateTimeText(const QDateTime &dateTime)
{
    const QString date = QLocale::system().toString(dateTime.date(), QLocale::ShortFormat);
    if (dateTime.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + dateTime.time().toString(QStringLiteral("HH:mm:ss"));
}

RoomBlock cardRoomBlock(const TCardData &card)
{
    return RoomBlock { card.Room[0], card.Building, card.Floor[0], 0, 0, 0, 0 };
}

namespace {

QString smallNumberText(int value)
{
    return value >= 1 && value <= 99 ? QString::number(value) : QString();
}

} // namespace

CardDisplay describeCard(const TCardData &card, const QSqlDatabase &db)
{
    CardDisplay display;
    const int type = card.CardType[0];
    if (!isIssuedCardType(type)) {
        display.blank = true;
        return display;
    }
    display.startTime = cardDateTimeText(CardTimeToDateTime(card.StartTime));
    display.endTime = cardDateTimeText(CardTimeToDateTime(card.EndTime));
    display.cardType = LookupCardTypeTitle(type, db);
    if (card.Override == 0)
        display.overrideApplied = true;
    else if (card.Override == 1)
        display.overrideApplied = false;
    if (type == GuestCardType) {
        display.room = LookupRoomStr(cardRoomBlock(card), db);
    } else {
        display.district = smallNumberText(card.District[0]);
        display.building = smallNumberText(card.Building);
        display.floor = smallNumberText(card.Floor[0]);
    }
    return display;
}

int closeStaysOfCancelledCard(const TCardData &card, const QSqlDatabase &db)
{
    if (card.CardType[0] != GuestCardType)
        return 0;
    const QString roomStr = LookupRoomStr(cardRoomBlock(card), db);
    if (roomStr.isEmpty())
        return 0;
    return OverrideStaysOfCard(card.CardNo, roomStr, db);
}
