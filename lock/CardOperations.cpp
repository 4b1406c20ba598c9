#include "CardOperations.h"

#include "Clock.h"
#include "DbError.h"
#include "Encoder.h"
#include "Identifiers.h"
#include "MessageLibrary.h"
#include "Prompts.h"
#include "Settings.h"
#include "Sql.h"

#include <QSqlQuery>
#include <QStringList>

#include <array>

int16_t WriteGuestCard(int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9, int16_t *district5,
    int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6, int16_t *end6)
{
    const int16_t prepared = PrepareCard();
    if (prepared != Encoder::Success)
        return prepared;
    return Encoder::makeCard(Encoder::MakeFunction::Guest, cardNo9, aux1_5, building, floor9, district5, room7,
        override, cardType9, aux2_5, start6, end6);
}

int16_t WriteGuestCard(TCardData &card)
{
    return WriteGuestCard(card.CardNo, card.Aux1, card.Building, card.Floor, card.District, card.Room, card.Override,
        card.CardType, card.Aux2, card.StartTime, card.EndTime);
}

int16_t PrepareCard()
{
    TCardData onEncoder;
    const int16_t read = Encoder::ReadCard(onEncoder);
    if (read != Encoder::Success)
        return read;
    if (onEncoder.CardType[0] == BlankCardType)
        return Encoder::Success;
    return Encoder::ClearCardData(onEncoder.CardNo);
}

QString CardIdentityText(const TCardData &card, const QSqlDatabase &db)
{
    if (card.CardType[0] == GuestCardType)
        return LookupSystemRoomStr(card.Room, db) + CardNoText(card.CardNo);
    return CardNoText(card.CardNo[0], card.CardNo[1], card.CardNo[2], card.CardType[0]);
}

namespace {

QVariant nullInt()
{
    return QVariant(QMetaType(QMetaType::Int));
}

QVariant nullText()
{
    return QVariant(QMetaType(QMetaType::QString));
}

} // namespace

void WriteCardJournal(const TCardData &card, const QString &holder, const QString &explanation, const QSqlDatabase &db)
{
    const int16_t cardType = card.CardType[0];
    QVariant roomStr = nullText();
    QString identity;
    if (cardType == GuestCardType) {
        const RoomNames names = LookupRoomNames(card.Room, db);
        roomStr = names.roomStr;
        identity = names.systemRoomStr + CardNoText(card.CardNo);
    } else {
        identity = CardIdentityText(card, db);
    }
    const QVariant holderValue = holder.trimmed().isEmpty() ? nullText() : QVariant(holder);
    // The special-card window puts the floor, district or building into Room[0].
    const QVariant floor = cardType == 5 ? QVariant(int(card.Room[0])) : nullInt();
    const QVariant district = cardType == 6 ? QVariant(int(card.Room[0])) : nullInt();
    const QVariant building = cardType == 8 ? QVariant(int(card.Room[0])) : nullInt();
    const QDateTime start = CardTimeToDateTime(card.StartTime);
    const QDateTime end = CardTimeToDateTime(card.EndTime);

    Sql::exec(db,
        QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, RoomStr, enOverride, Holder, Explain, MakeUser, "
                       "MakeName, Floor, District, Buiding, StartTime, EndTime, InputTime) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        { int(cardType), identity, roomStr, int(card.Override), holderValue,
            explanation.isNull() ? QString(QLatin1String("")) : explanation, SystemSettings.Staffer,
            SystemSettings.StafferName, floor, district, building,
            // Bound from the Clock rather than left to the column default, so
            // that the row carries the desk's time like every other date-time.
            Sql::dateTimeValue(start), Sql::dateTimeValue(end), Sql::dateTimeValue(Clock::now()) });
}

int OverrideStaysOfCard(const int16_t *cardNo4, const std::optional<QString> &roomStr, const QSqlDatabase &db)
{
    const QString text = CardNoText(cardNo4);
    const QString roomCondition = roomStr ? QStringLiteral(" AND RoomStr = ?") : QString();
    QVariantList keys { text };
    if (roomStr)
        keys << *roomStr;

    QSqlQuery stays = Sql::exec(db,
        QStringLiteral("SELECT Room FROM GuestInRecord WHERE Rom = ? AND enOverride = 0") + roomCondition
            + QStringLiteral(" ORDER BY ID"),
        keys);
    QStringList rooms;
    while (stays.next())
        rooms << stays.value(0).toString();
    stays.finish();
    if (rooms.isEmpty())
        return 0;

    const QString question = fillPattern(MessageUnitText(2), rooms.join(QLatin1Char(',')));
    if (!prompts().confirm(nullptr, QMessageBox::Critical, MessageUnitText(1), question))
        return 0;

    QSqlQuery close = Sql::prepare(db,
        QStringLiteral("UPDATE GuestInRecord SET enOverride = 1, LeaveTime = ? "
                       "WHERE Rom = ? AND enOverride = 0")
            + roomCondition);
    close.addBindValue(Sql::dateTimeValue(Clock::now()));
    Sql::exec(close, keys);
    return close.numRowsAffected();
}

namespace {

// The first row's text: missing when there is no row, "" when the column has no value.
std::optional<QString> firstText(const QSqlDatabase &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery query = Sql::exec(db, sql, values);
    if (!query.next())
        return std::nullopt;
    return query.value(0).isNull() ? QString(QLatin1String("")) : query.value(0).toString();
}

} // namespace

QString LookupCardTypeTitle(int cardType, const QSqlDatabase &db)
{
    return firstText(db, QStringLiteral("SELECT C_Title FROM CardType WHERE ID = ?"), { cardType })
        .value_or(QString(QLatin1String("")));
}

QString LookupKeyKind(int cardType, const QSqlDatabase &db)
{
    return firstText(db, QStringLiteral("SELECT KeyKind FROM KeyKindTable WHERE KeyID = ?"), { cardType })
        .value_or(QStringLiteral("None"));
}

QString LookupCardMaker(int cardType, const QString &rom, const QSqlDatabase &db)
{
    return firstText(db,
        QStringLiteral("SELECT MakeName FROM MakeCardRecord WHERE CardType = ? AND Rom = ? "
                       "ORDER BY InputTime DESC"),
        { cardType, rom })
        .value_or(QStringLiteral("None"));
}

QString LookupCardHolder(int cardType, const QString &rom, const QSqlDatabase &db)
{
    return firstText(db,
        QStringLiteral("SELECT Holder FROM MakeCardRecord WHERE CardType = ? AND Rom = ? "
                       "ORDER BY InputTime DESC"),
        { cardType, rom })
        .value_or(QStringLiteral("None"));
}

CardJournalLookup::CardJournalLookup(const QSqlDatabase &db)
    : m_query(Sql::prepare(db,
          QStringLiteral("SELECT Holder, MakeName FROM MakeCardRecord WHERE CardType = ? AND Rom = ? "
                         "ORDER BY InputTime DESC")))
{
}

CardJournalLookup::Names CardJournalLookup::operator()(int cardType, const QString &rom)
{
    Sql::exec(m_query, { cardType, rom });
    Names names { QStringLiteral("None"), QStringLiteral("None") };
    if (m_query.next()) {
        const auto text = [&](int column) {
            return m_query.value(column).isNull() ? QString(QLatin1String("")) : m_query.value(column).toString();
        };
        names = { text(0), text(1) };
    }
    m_query.finish();
    return names;
}

QString EncoderResultText(int16_t code)
{
    if (code != Encoder::Success) {
        // The probe wakes the encoder after a failure; its answers do not matter.
        std::array<int16_t, 9> parameters {};
        std::array<int16_t, 33> password {};
        (void)Encoder::Detect_EncoderA(parameters.data());
        (void)Encoder::ReadSystemPas(password.data());
    }
    switch (code) {
    case Encoder::Success:
        return QStringLiteral("操作成功！");
    case Encoder::NoCard:
        return QStringLiteral("无卡！");
    case Encoder::NoEncoder:
        return QStringLiteral("无发卡机！");
    default:
        return QStringLiteral("操作失败！");
    }
}

QString MessageUnitText(int index)
{
    return MessageLibrary::unitText(index);
}

void ShowEncoderMessage(int16_t code, QWidget *parent)
{
    const QString title = fillPattern(MessageUnitText(0), QString::number(code));
    prompts().information(parent, title, MessageLibrary::resultText(code));
}

bool CheckDateRange(const QDateTime &first, const QDateTime &second, QWidget *parent)
{
    if (first <= second)
        return true;
    prompts().information(parent, QStringLiteral("信息提示"), QStringLiteral("日期范围无效！"));
    return false;
}
