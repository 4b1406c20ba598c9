// Builds the starting translation database from its text source:
//   make_language_db <output Language.db> <LanguageID>.txt...
// Each text file holds one language's Dialog_Table and Component_Table rows
// (the format is described at the top of data/language/2052.txt).

#include "DbError.h"
#include "Sql.h"
#include "TFileVersion.h"
#include "TLanguage.h"
#include "WriteTransaction.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSqlDatabase>
#include <QTextStream>

#include <cstdio>
#include <stdexcept>

namespace {

constexpr int maxMessageLength = 255;
constexpr int maxNameLength = 50;

struct DialogRow {
    QString formName;
    QString title;
    QMap<int, QString> lines;
    QString origin;
};

struct ComponentRow {
    QString formName;
    QString componentName;
    QString componentClass;
    QStringList lines;
};

struct Source {
    int languageId = 0;
    QList<DialogRow> dialogs;
    QList<ComponentRow> components;
};

[[noreturn]] void fail(const QString &where, const QString &what)
{
    throw std::runtime_error(QString(where + QStringLiteral(": ") + what).toStdString());
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value.trimmed();
}

void checkName(const QString &where, const QString &name)
{
    if (name.isEmpty() || name.size() > maxNameLength)
        fail(where, QStringLiteral("a name must have 1 to %1 characters: \"%2\"").arg(maxNameLength).arg(name));
}

Source readSource(const QString &path)
{
    Source source;
    bool ok = false;
    source.languageId = QFileInfo(path).completeBaseName().toInt(&ok);
    if (!ok)
        fail(path, QStringLiteral("the file must be named after its LanguageID (2052.txt)"));

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(path, file.errorString());
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);

    DialogRow *dialog = nullptr;
    ComponentRow *component = nullptr;
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        const QString where = QStringLiteral("%1:%2").arg(path).arg(lineNo);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QStringList words = trimmed.mid(1, trimmed.size() - 2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            dialog = nullptr;
            component = nullptr;
            if (words.size() == 2 && words[0] == QLatin1String("Dialog")) {
                checkName(where, words[1]);
                source.dialogs.append({ words[1], {}, {}, where });
                dialog = &source.dialogs.last();
            } else if (words.size() == 4 && words[0] == QLatin1String("Component")) {
                for (int i = 1; i < 4; ++i)
                    checkName(where, words[i]);
                source.components.append({ words[1], words[2], words[3], {} });
                component = &source.components.last();
            } else {
                fail(where, QStringLiteral("expected [Dialog FormName] or [Component FormName Name Class]"));
            }
            continue;
        }
        if (component) {
            component->lines.append(line);
            continue;
        }
        if (!dialog)
            fail(where, QStringLiteral("a text outside a [Dialog] or [Component] block"));
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            fail(where, QStringLiteral("expected Title=text or <number>=text"));
        const QString key = line.left(eq).trimmed();
        const QString value = unquoted(line.mid(eq + 1));
        if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n')))
            fail(where, QStringLiteral("a message holds no line break"));
        if (key == QLatin1String("Title")) {
            dialog->title = value;
            continue;
        }
        bool isNumber = false;
        const int number = key.toInt(&isNumber);
        if (!isNumber || number < 0 || number > 255)
            fail(where, QStringLiteral("a message number is 0 to 255: \"%1\"").arg(key));
        if (dialog->lines.contains(number))
            fail(where, QStringLiteral("message %1 is given twice").arg(number));
        dialog->lines.insert(number, value);
    }
    return source;
}

QString messageStr(const DialogRow &row)
{
    if (row.lines.isEmpty())
        return {};
    QStringList lines(row.lines.lastKey() + 1);
    for (auto it = row.lines.cbegin(); it != row.lines.cend(); ++it)
        lines[it.key()] = it.value();
    return lines.join(QStringLiteral("\r\n"));
}

void writeDatabase(const QString &path, const QList<Source> &sources)
{
    const QString appName = TFileVersion().productName();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
    db.setDatabaseName(path);
    if (!db.open())
        throw DbError::fromDatabase(db);
    TLanguage::createTables(db);
    WriteTransaction tx(db);
    for (const Source &source : sources) {
        for (const DialogRow &row : source.dialogs) {
            const QString text = messageStr(row);
            if (text.size() > maxMessageLength)
                fail(row.origin,
                    QStringLiteral("the messages of %1 make %2 characters, more than %3")
                        .arg(row.formName)
                        .arg(text.size())
                        .arg(maxMessageLength));
            if (row.title.size() > maxMessageLength)
                fail(row.origin, QStringLiteral("the title is longer than %1 characters").arg(maxMessageLength));
            Sql::exec(db,
                QStringLiteral("insert into Dialog_Table (AppName, FormName, DialogID, LanguageID, Title, "
                               "MessageStr) values (?, ?, 0, ?, ?, ?)"),
                { appName, row.formName, source.languageId, row.title, text });
        }
        for (const ComponentRow &row : source.components) {
            QString text;
            for (const QString &line : row.lines)
                text += line + QStringLiteral("\r\n");
            Sql::exec(db,
                QStringLiteral("insert into Component_Table (AppName, FormName, ComponentName, LanguageID, "
                               "ComponentClass, ComponentProperty) values (?, ?, ?, ?, ?, ?)"),
                { appName, row.formName, row.componentName, source.languageId, row.componentClass, text });
        }
    }
    tx.commit();
    db.close();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: make_language_db <Language.db> <LanguageID>.txt...\n");
        return 2;
    }
    const QString output = args.at(1);
    const QString partial = output + QStringLiteral(".part");
    try {
        QList<Source> sources;
        for (qsizetype i = 2; i < args.size(); ++i)
            sources.append(readSource(args.at(i)));
        QFile::remove(partial);
        writeDatabase(partial, sources);
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));
        QFile::remove(output);
        if (!QFile::rename(partial, output))
            fail(output, QStringLiteral("cannot be replaced"));
    } catch (const DbError &e) {
        std::fprintf(stderr, "make_language_db: %s\n", qPrintable(e.text()));
        QFile::remove(partial);
        return 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "make_language_db: %s\n", e.what());
        QFile::remove(partial);
        return 1;
    }
    return 0;
}
