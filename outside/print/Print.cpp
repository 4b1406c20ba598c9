// The report printing library: lays out the rows a window hands over as a
// paged A4 report, shows it in a print preview and exports it as PDF.
#include "PrintFromDll.h"

#include <QAction>
#include <QDateTime>
#include <QFileDialog>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>
#include <QPrintPreviewDialog>
#include <QString>
#include <QStringList>
#include <QToolBar>

#include <algorithm>
#include <optional>

#define PRINT_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Named explicitly: a fallback face would print boxes for the Chinese texts.
const char *const ReportFontFamily = "Noto Sans CJK SC";

struct ReportColumn {
    const char *name;
    const char *title;
    double share; // of the page width
};

// Kind 0: the door-opening records of one room, as the browser's grid shows them.
const ReportColumn DoorRecordColumns[] = {
    { "CardTypeStr", "卡类型", 1.2 },
    { "Rom", "卡号", 1.1 },
    { "CardHolderStr", "持卡人", 1.3 },
    { "OpenTime", "开门时间", 1.7 },
    { "MakeName", "发卡人", 1.0 },
};

struct Report {
    QString title;
    QString roomLine;
    QString timeLine;
    QStringList headers;
    QList<double> shares;
    QList<QStringList> rows;
};

int columnIndex(const PrintRecordset &rs, const char *name)
{
    for (int c = 0; c < rs.columnCount; ++c) {
        if (rs.columnNames && rs.columnNames[c]
            && QString::fromUtf8(rs.columnNames[c]).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return c;
    }
    return -1;
}

QString cell(const PrintRecordset &rs, int row, int column)
{
    if (column < 0 || !rs.cells)
        return {};
    const char *text = rs.cells[qsizetype(row) * rs.columnCount + column];
    return text ? QString::fromUtf8(text) : QString();
}

std::optional<Report> doorRecordReport(const PrintRecordset *rs)
{
    Report report;
    report.title = QString::fromUtf8("开门记录");
    QStringList rooms;
    for (const ReportColumn &column : DoorRecordColumns) {
        QString title = QString::fromUtf8(column.title);
        if (rs) {
            const int c = columnIndex(*rs, column.name);
            if (c >= 0 && rs->columnTitles && rs->columnTitles[c] && *rs->columnTitles[c])
                title = QString::fromUtf8(rs->columnTitles[c]);
        }
        report.headers << title;
        report.shares << column.share;
    }
    if (rs && rs->rowCount > 0 && rs->columnCount > 0) {
        QList<int> indexes;
        for (const ReportColumn &column : DoorRecordColumns)
            indexes << columnIndex(*rs, column.name);
        const int roomColumn = columnIndex(*rs, "RoomStr");
        for (int r = 0; r < rs->rowCount; ++r) {
            QStringList row;
            for (int c : indexes)
                row << cell(*rs, r, c);
            report.rows << row;
            const QString room = cell(*rs, r, roomColumn);
            if (!rooms.contains(room))
                rooms << room;
        }
    }
    report.roomLine = QString::fromUtf8("房间号：") + rooms.join(QString::fromUtf8("、"));
    report.timeLine = QString::fromUtf8("打印时间：")
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return report;
}

std::optional<Report> reportFor(const TPrintFromDll &call)
{
    switch (call.ReportKind) {
    case 0:
        return doorRecordReport(call.Recordset);
    default:
        return std::nullopt;
    }
}

QFont reportFont(double points, bool bold = false)
{
    QFont font(QString::fromUtf8(ReportFontFamily));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void setUpPrinter(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    printer.setDocName(QString::fromUtf8("开门记录"));
}

// Paints every page; returns the number of pages, 0 when painting could not start.
int paintReport(QPrinter *printer, const Report &report)
{
    QPainter painter;
    if (!painter.begin(printer))
        return 0;

    const QRectF page = printer->pageLayout()
                            .paintRectPixels(printer->resolution())
                            .translated(-printer->pageLayout().paintRectPixels(printer->resolution()).topLeft());
    const QFont titleFont = reportFont(16, true);
    const QFont textFont = reportFont(10);
    const QFont headerFont = reportFont(10, true);
    const QFontMetricsF titleMetrics(titleFont, printer);
    const QFontMetricsF textMetrics(textFont, printer);
    const double line = textMetrics.height() * 1.5;
    const double headerHeight = titleMetrics.height() * 1.6 + line * 2 + line;
    const double footerHeight = line * 1.5;
    const int rowsPerPage = std::max(1, int((page.height() - headerHeight - footerHeight) / line));
    const int rowCount = int(report.rows.size());
    const int pages = std::max(1, (rowCount + rowsPerPage - 1) / rowsPerPage);

    double shareSum = 0;
    for (double share : report.shares)
        shareSum += share;
    QList<double> lefts;
    QList<double> widths;
    double x = page.left();
    for (double share : report.shares) {
        lefts << x;
        widths << page.width() * share / shareSum;
        x += widths.last();
    }

    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            printer->newPage();
        double y = page.top();
        painter.setFont(titleFont);
        painter.drawText(
            QRectF(page.left(), y, page.width(), titleMetrics.height() * 1.4), Qt::AlignCenter, report.title);
        y += titleMetrics.height() * 1.6;
        painter.setFont(textFont);
        painter.drawText(QRectF(page.left(), y, page.width(), line), Qt::AlignLeft | Qt::AlignVCenter, report.roomLine);
        painter.drawText(
            QRectF(page.left(), y, page.width(), line), Qt::AlignRight | Qt::AlignVCenter, report.timeLine);
        y += line * 2;

        painter.setFont(headerFont);
        for (int c = 0; c < report.headers.size(); ++c)
            painter.drawText(
                QRectF(lefts[c] + 2, y, widths[c] - 4, line), Qt::AlignLeft | Qt::AlignVCenter, report.headers[c]);
        painter.drawLine(QPointF(page.left(), y + line), QPointF(page.right(), y + line));
        y += line;

        painter.setFont(textFont);
        const int first = p * rowsPerPage;
        const int last = std::min(rowCount, first + rowsPerPage);
        for (int r = first; r < last; ++r) {
            const QStringList &row = report.rows[r];
            for (int c = 0; c < row.size() && c < widths.size(); ++c) {
                const QString text = textMetrics.elidedText(row[c], Qt::ElideRight, widths[c] - 4);
                painter.drawText(QRectF(lefts[c] + 2, y, widths[c] - 4, line), Qt::AlignLeft | Qt::AlignVCenter, text);
            }
            y += line;
        }

        const QString footer = QString::fromUtf8("第 %1 页 / 共 %2 页").arg(p + 1).arg(pages);
        painter.drawText(QRectF(page.left(), page.bottom() - footerHeight, page.width(), footerHeight),
            Qt::AlignHCenter | Qt::AlignBottom, footer);
    }
    painter.end();
    return pages;
}

int exportPdf(const Report &report, const QString &path)
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    const int pages = paintReport(&printer, report);
    return pages > 0 ? pages : -1;
}

} // namespace

PRINT_EXPORT void PrintForm_Show(TPrintFromDll call)
{
    const std::optional<Report> report = reportFor(call);
    if (!report)
        return;
    auto *parent = static_cast<QWidget *>(call.AppHandle);

    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer);
    QPrintPreviewDialog preview(&printer, parent);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(report->title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
        [&report](QPrinter *target) { paintReport(target, *report); });
    if (auto *toolBar = preview.findChild<QToolBar *>()) {
        QAction *exportAction = toolBar->addAction(QString::fromUtf8("导出PDF"));
        exportAction->setObjectName(QStringLiteral("ExportPdf_Action"));
        QObject::connect(exportAction, &QAction::triggered, &preview, [&preview, &report] {
            const QString path = QFileDialog::getSaveFileName(&preview, QString::fromUtf8("导出PDF"),
                report->title + QStringLiteral(".pdf"), QStringLiteral("PDF (*.pdf)"));
            if (!path.isEmpty())
                exportPdf(*report, path);
        });
    }
    preview.exec();
}

PRINT_EXPORT int32_t PrintForm_ExportPdf(TPrintFromDll call, const char *utf8Path)
{
    const std::optional<Report> report = reportFor(call);
    if (!report || !utf8Path)
        return -1;
    return exportPdf(*report, QString::fromUtf8(utf8Path));
}
