#include "PrintLibrary.h"

#include "Paths.h"
#include "TarvaneApplication.h"

#include <QLibrary>

#include <memory>

PrintRows::PrintRows(const QList<Column> &columns, const QList<QStringList> &rows, int currentRow)
{
    const qsizetype columnCount = columns.size();
    m_texts.reserve(size_t(columnCount * 2 + rows.size() * columnCount));
    for (const Column &column : columns) {
        m_texts.push_back(column.name.toStdString());
        m_texts.push_back(column.title.toStdString());
    }
    for (const QStringList &row : rows) {
        for (qsizetype c = 0; c < columnCount; ++c)
            m_texts.push_back(c < row.size() ? row[c].toStdString() : std::string());
    }
    // Pointers are taken once every text is in place: the vector no longer moves.
    size_t next = 0;
    for (qsizetype c = 0; c < columnCount; ++c) {
        m_names.push_back(m_texts[next++].c_str());
        m_titles.push_back(m_texts[next++].c_str());
    }
    while (next < m_texts.size())
        m_cells.push_back(m_texts[next++].c_str());

    m_recordset.columnCount = int32_t(columnCount);
    m_recordset.rowCount = int32_t(rows.size());
    m_recordset.columnNames = m_names.data();
    m_recordset.columnTitles = m_titles.data();
    m_recordset.cells = m_cells.data();
    m_recordset.currentRow = currentRow;
}

namespace PrintLibrary {
namespace {

struct Loaded {
    std::unique_ptr<QLibrary> library;
    PrintForm_Show_Fn show = nullptr;
    PrintForm_ExportPdf_Fn exportPdf = nullptr;
};

// Loaded once and bound to the program folder it came from; a failed load is
// tried again at the next print.
Loaded &loaded()
{
    static Loaded instance;
    if (!instance.library || !instance.library->isLoaded() || instance.library->fileName() != libraryPath()) {
        instance.library = std::make_unique<QLibrary>(libraryPath());
        instance.show = nullptr;
        instance.exportPdf = nullptr;
        if (instance.library->load()) {
            instance.show = reinterpret_cast<PrintForm_Show_Fn>(instance.library->resolve("PrintForm_Show"));
            instance.exportPdf
                = reinterpret_cast<PrintForm_ExportPdf_Fn>(instance.library->resolve("PrintForm_ExportPdf"));
        }
    }
    return instance;
}

TPrintFromDll record(QWidget *parent, const PrintRecordset *rows, int reportKind)
{
    TPrintFromDll call {};
    call.AppHandle = parent;
    call.Recordset = rows;
    call.ReportKind = reportKind;
    call.Reserved = 0;
    return call;
}

} // namespace

QString libraryPath()
{
    return Paths::inProgramDir(QStringLiteral("Dll/libPrint.so"));
}

bool show(QWidget *parent, const PrintRecordset *rows, int reportKind)
{
    const Loaded &library = loaded();
    if (!library.show) {
        showError(QString::fromUtf8("找不到打印库 Dll/libPrint.so！"));
        return false;
    }
    library.show(record(parent, rows, reportKind));
    return true;
}

int exportPdf(const PrintRecordset *rows, int reportKind, const QString &path)
{
    const Loaded &library = loaded();
    if (!library.exportPdf)
        return -1;
    return library.exportPdf(record(nullptr, rows, reportKind), path.toUtf8().constData());
}

} // namespace PrintLibrary
