#include "CsvExport.h"

#include <QSaveFile>

namespace CsvExport {

namespace {

bool startsLikeFormula(const QString &cell)
{
    if (cell.isEmpty())
        return false;
    static const QString starters = QStringLiteral("=+-@\t\r") + QString::fromUtf8("＝＋－＠");
    return starters.contains(cell.front());
}

} // namespace

QString field(const QString &cell)
{
    QString text = startsLikeFormula(cell) ? QLatin1Char('\'') + cell : cell;
    if (text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) || text.contains(QLatin1Char('\r'))
        || text.contains(QLatin1Char('\n'))) {
        text.replace(QLatin1String("\""), QLatin1String("\"\""));
        text = QLatin1Char('"') + text + QLatin1Char('"');
    }
    return text;
}

QByteArray document(const QStringList &header, const QList<QStringList> &rows)
{
    QString text;
    auto appendLine = [&text](const QStringList &cells) {
        for (qsizetype i = 0; i < cells.size(); ++i) {
            if (i > 0)
                text += QLatin1Char(',');
            text += field(cells[i]);
        }
        text += QLatin1String("\r\n");
    };
    appendLine(header);
    for (const QStringList &row : rows)
        appendLine(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool write(const QString &path, const QByteArray &content, QString *reason)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

} // namespace CsvExport
