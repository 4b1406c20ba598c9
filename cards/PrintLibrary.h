#pragma once

#include "../outside/print/PrintFromDll.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

class QWidget;

// The rows a window hands to the printing library, kept alive for the call:
// the record's pointers point into this object.
class PrintRows {
public:
    struct Column {
        QString name;
        QString title; // "" when the window does not show the column
    };

    PrintRows(const QList<Column> &columns, const QList<QStringList> &rows, int currentRow);
    PrintRows(const PrintRows &) = delete;
    PrintRows &operator=(const PrintRows &) = delete;

    const PrintRecordset *recordset() const { return &m_recordset; }

private:
    std::vector<std::string> m_texts;
    std::vector<const char *> m_names;
    std::vector<const char *> m_titles;
    std::vector<const char *> m_cells;
    PrintRecordset m_recordset {};
};

// The report printing library Dll/libPrint.so of the program folder, loaded
// at the first print and kept for the rest of the run.
namespace PrintLibrary {

QString libraryPath();
// Calls PrintForm_Show; false, after the error box, when the library or its
// function is missing. rows may be null (nothing searched yet).
bool show(QWidget *parent, const PrintRecordset *rows, int reportKind);
// PrintForm_ExportPdf: the pages written, -1 on failure or a missing library.
int exportPdf(const PrintRecordset *rows, int reportKind, const QString &path);

} // namespace PrintLibrary
