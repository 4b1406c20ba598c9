#pragma once

#include "DataModule.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>

#include <optional>

// The card-issue journal as the journal browser reads and prunes it.

// Every CardType title in ID order.
QStringList cardTypeTitles(const QSqlDatabase &db = dm().conn());

// Issue days from and to, both whole days included; a card type title, or
// every type.
struct CardJournalFilter {
    QDate from;
    QDate to;
    std::optional<QString> cardTypeTitle;
};

// The journal rows of the filter joined with their card type title, run and
// ready to read. Columns, in order: C_Title, Rom, Holder, Buiding, MakeUser,
// MakeName, Room, RoomStr, InputTime, Floor, District, StartTime, EndTime,
// Explain, enOverride. Throws DbError.
QSqlQuery selectCardJournal(const CardJournalFilter &filter, const QSqlDatabase &db = dm().conn());
// How many rows selectCardJournal gives, in one statement.
int countCardJournal(const CardJournalFilter &filter, const QSqlDatabase &db = dm().conn());

// Journal rows are kept for two months: the last day pruned on a given day.
QDate pruneCutoff(const QDate &today);
// Deletes the journal rows issued on the cutoff day or earlier, of every card
// type; returns how many went. Throws DbError.
int pruneCardJournal(const QDate &cutoff, const QSqlDatabase &db = dm().conn());
