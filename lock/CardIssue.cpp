#include "CardIssue.h"

#include "CardOperations.h"
#include "DbError.h"
#include "Identifiers.h"
#include "Sql.h"

#include <QSqlQuery>

#include <algorithm>

CardIssue CardIssue::forRoom(const QString &roomStr, const QSqlDatabase &db)
{
    return CardIssue(Counter::Room, roomStr, 0, db);
}

CardIssue CardIssue::forCounter(int code, const QSqlDatabase &db)
{
    return CardIssue(Counter::Code, QString(), code, db);
}

CardIssue CardIssue::withoutCounter(const QSqlDatabase &db)
{
    return CardIssue(Counter::None, QString(), 0, db);
}

CardIssue::CardIssue(Counter counter, const QString &roomStr, int code, const QSqlDatabase &db)
    : m_db(db)
    , m_counter(counter)
    , m_roomStr(roomStr)
    , m_code(code)
    , m_transaction(std::make_unique<WriteTransaction>(db))
{
    readCounterLocked();
}

CardIssue::~CardIssue() = default;

void CardIssue::readCounterLocked()
{
    if (m_counter == Counter::None)
        return;
    if (!Sql::isPostgres(m_db)) {
        // BEGIN IMMEDIATE already holds the file's write lock.
        m_cardNo = m_counter == Counter::Room ? ReadRoomCardSn(m_roomStr, m_db) : ReadTypeCardSn(m_code, m_db);
        return;
    }
    // The server advances the counter as it reads it, in one statement: the
    // row stays locked to this desk until the issue ends, and a card that is
    // not written rolls the advance back with everything else.
    const QString sql = m_counter == Counter::Room
        ? QStringLiteral("UPDATE RoomInfo SET CardSn = COALESCE(CardSn, 0) + 1 WHERE RoomStr = ? RETURNING CardSn - 1")
        : QStringLiteral("INSERT INTO AllCardSn (CardType, CardSn) VALUES (?, 1) ON CONFLICT (CardType) "
                         "DO UPDATE SET CardSn = AllCardSn.CardSn + 1 RETURNING CardSn - 1");
    const QVariant key = m_counter == Counter::Room ? QVariant(m_roomStr) : QVariant(m_code);
    QSqlQuery query = Sql::exec(m_db, sql, { key });
    if (query.next())
        m_cardNo = CardNumberFromCount(query.value(0).toLongLong());
    query.finish();
    m_advanced = true;
}

void CardIssue::fillCardNo(TCardData &card) const
{
    std::copy(m_cardNo.begin(), m_cardNo.end(), card.CardNo);
}

void CardIssue::recordCard(const TCardData &card, const QString &holder, const QString &explanation)
{
    if (m_recorded)
        throw DbError(QStringLiteral("The card of this issue was already recorded."));
    switch (m_advanced ? Counter::None : m_counter) {
    case Counter::Room:
        AdvanceRoomCardSn(m_roomStr, m_db);
        break;
    case Counter::Code:
        AdvanceTypeCardSn(m_code, m_db);
        break;
    case Counter::None:
        break;
    }
    WriteCardJournal(card, holder, explanation, m_db);
    m_recorded = true;
}

void CardIssue::commit()
{
    m_transaction->commit();
}
