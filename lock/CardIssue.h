#pragma once

#include "CardData.h"
#include "DataModule.h"
#include "WriteTransaction.h"

#include <QSqlDatabase>
#include <QString>

#include <memory>

// One card issue: a write transaction around the counter read, the encoder
// call, the counter advance, the journal row and whatever the caller adds
// (a stay row, CardCounts), committed together. The counter is read under a
// lock (BEGIN IMMEDIATE on SQLite; on PostgreSQL the counter row, advanced as
// it is read and so locked until the end), so two desks never issue one
// number twice nor lose an advance.
//
//   auto issue = CardIssue::forRoom(roomStr);
//   issue.fillCardNo(card);
//   const int16_t result = WriteGuestCard(card);
//   if (result == 1) {
//       issue.recordCard(card, holder, explanation);
//       ... the caller's statements on issue.database() ...
//       issue.commit();
//   }
//
// Left uncommitted, everything is rolled back. No box may be shown and no
// events processed while an issue is open.
class CardIssue {
public:
    // The room's guest-card counter (RoomInfo.CardSn).
    static CardIssue forRoom(const QString &roomStr, const QSqlDatabase &db = dm().conn());
    // A special-card counter code (AllCardSn.CardSn); a code without a row numbers its card 0.
    static CardIssue forCounter(int code, const QSqlDatabase &db = dm().conn());
    // A card written again with a number it already has (card change): no counter.
    static CardIssue withoutCounter(const QSqlDatabase &db = dm().conn());

    CardIssue(const CardIssue &) = delete;
    CardIssue &operator=(const CardIssue &) = delete;
    ~CardIssue();

    // The five-word number of the card being issued, read under the lock (zeros without a counter row).
    const CardNumber &CardNo() const { return m_cardNo; }
    // Copies the number into the record's CardNo slot.
    void fillCardNo(TCardData &card) const;
    const QSqlDatabase &database() const { return m_db; }

    // After a write that returned 1: advances the counter and writes the journal row.
    void recordCard(const TCardData &card, const QString &holder, const QString &explanation);
    // Throws DbError; the whole issue is rolled back then.
    void commit();

private:
    enum class Counter { None, Room, Code };
    CardIssue(Counter counter, const QString &roomStr, int code, const QSqlDatabase &db);
    void readCounterLocked();

    QSqlDatabase m_db;
    Counter m_counter;
    QString m_roomStr;
    int m_code = 0;
    std::unique_ptr<WriteTransaction> m_transaction;
    CardNumber m_cardNo = {};
    bool m_recorded = false;
    bool m_advanced = false; // the counter moved on when it was read
};
