#pragma once

#include "DataModule.h"

#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// The stored door-opening records of one room, as the browser shows them.
struct DoorRecordRow {
    qint64 recId = 0;
    QString roomStr;
    QString rom;
    QDateTime openTime;
    int cardType = 0;
    QString cardTypeStr;
    QString cardHolderStr;
    QString makeName;
};

namespace DoorRecords {

// The room's records in stored order; the text is matched exactly as typed
// (an empty text finds the records of no known room).
QList<DoorRecordRow> find(const QString &roomStr, const QSqlDatabase &db = dm().conn());
// Deletes exactly that row: identical records collected twice stay apart.
void remove(qint64 recId, const QSqlDatabase &db = dm().conn());

// The opening time as the grid, the report and the export show it.
QString timeText(const QDateTime &time);

// Column names and titles of a row, for the printing library.
QStringList columnNames();
QStringList columnTitles(); // "" for the columns the grid does not show
QStringList cells(const DoorRecordRow &row); // in columnNames() order

} // namespace DoorRecords
