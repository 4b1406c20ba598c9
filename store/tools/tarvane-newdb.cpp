// Makes a new embedded hotel database: every table, index and seed row, no
// rooms and no operators. An existing file is never written over.
#include "DbError.h"
#include "Schema.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() != 1 || args.first().startsWith(QLatin1Char('-'))) {
        err << "usage: tarvane-newdb <file>\n";
        return 2;
    }
    try {
        createEmbeddedDatabase(args.first());
    } catch (const DbError &error) {
        err << "tarvane-newdb: " << error.text() << '\n';
        return 1;
    }
    return 0;
}
