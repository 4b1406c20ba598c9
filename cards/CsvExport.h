#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Rows written as a CSV file a spreadsheet opens without surprises: UTF-8
// with a byte-order mark, CRLF line ends, fields quoted where RFC 4180 asks,
// and cells a spreadsheet would run as a formula defused with a leading '.
namespace CsvExport {

// One field, defused and quoted as needed.
QString field(const QString &cell);
// The whole file: BOM, header line, one line per row, each ending in CRLF.
QByteArray document(const QStringList &header, const QList<QStringList> &rows);
// Writes the file whole or not at all; false with the reason when it cannot.
bool write(const QString &path, const QByteArray &content, QString *reason);

} // namespace CsvExport
