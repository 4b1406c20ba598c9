#pragma once

#include "CardData.h"
#include "DataModule.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <cstdint>
#include <optional>

class QWidget;

// Writes a guest card: ReadCard; a written card is cleared with its own
// number first (a blank one is not); then MakeGuestCard with the caller's
// arguments unchanged. Any card on the encoder is wiped, whatever its type or
// room. A failing step's code is returned unchanged.
[[nodiscard]] int16_t WriteGuestCard(int16_t *cardNo9, int16_t *aux1_5, int32_t building, int16_t *floor9,
    int16_t *district5, int16_t *room7, int32_t override, int16_t *cardType9, int16_t *aux2_5, int16_t *start6,
    int16_t *end6);
[[nodiscard]] int16_t WriteGuestCard(TCardData &card);
// Before every special card: ReadCard; a blank card gives 1 without clearing,
// a written card the result of ClearCardData with its own number.
[[nodiscard]] int16_t PrepareCard();

// The journal's card identity: a guest card's SystemRoomStr followed by its
// number text; any other card the number text with its fourth word replaced by
// the card type.
QString CardIdentityText(const TCardData &card, const QSqlDatabase &db = dm().conn());

// Appends the journal row of a card just written, with one bound INSERT on
// db (the card issue's connection). Holder has no value when blank after
// trimming; InputTime is the Clock's now. Throws DbError.
void WriteCardJournal(
    const TCardData &card, const QString &holder, const QString &explanation, const QSqlDatabase &db = dm().conn());

// Closes the live stays of a cancelled card (GuestInRecord.Rom = its number
// text) after one OK/Cancel question listing their rooms. Guest card numbers
// count per room, so a given room restricts both the list and the closing to
// that room's stays. Returns the stays closed: 0 without a stay or on Cancel.
int OverrideStaysOfCard(
    const int16_t *cardNo4, const std::optional<QString> &roomStr = std::nullopt, const QSqlDatabase &db = dm().conn());

// CardType.C_Title; "" without a row.
QString LookupCardTypeTitle(int cardType, const QSqlDatabase &db = dm().conn());
// KeyKindTable.KeyKind of that KeyID; "None" without a row, "" when the column has no value.
QString LookupKeyKind(int cardType, const QSqlDatabase &db = dm().conn());
// MakeName / Holder of the journal row with that CardType and Rom (the latest
// InputTime of several); "None" without a row, "" when the column has no value.
QString LookupCardMaker(int cardType, const QString &rom, const QSqlDatabase &db = dm().conn());
QString LookupCardHolder(int cardType, const QString &rom, const QSqlDatabase &db = dm().conn());
// Both of that row, for many cards in a row: one statement, prepared once.
class CardJournalLookup {
public:
    struct Names {
        QString holder;
        QString maker;
    };
    explicit CardJournalLookup(const QSqlDatabase &db);
    Names operator()(int cardType, const QString &rom);

private:
    QSqlQuery m_query;
};

// "操作成功！", "无卡！", "无发卡机！" or "操作失败！". For any code other than 1 the
// encoder is probed first (Detect_EncoderA, then ReadSystemPas; results ignored).
QString EncoderResultText(int16_t code);
// The message library's numbered text.
QString MessageUnitText(int index);
// An information box: the library's text for the code, titled with unit 0 and the code in decimal.
void ShowEncoderMessage(int16_t code, QWidget *parent = nullptr);
// False, after "日期范围无效！" titled "信息提示", when first is later than second.
bool CheckDateRange(const QDateTime &first, const QDateTime &second, QWidget *parent = nullptr);
