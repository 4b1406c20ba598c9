#include "TLanguage.h"

#include "DbError.h"
#include "Paths.h"
#include "Prompts.h"
#include "PublishedProperties.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

#include <atomic>

namespace {

const QString selection
    = QStringLiteral(" where AppName=? COLLATE NOCASE and FormName=? COLLATE NOCASE and LanguageID=?");

QString nextConnectionName()
{
    static std::atomic<int> counter { 0 };
    return QStringLiteral("Language1-%1").arg(++counter);
}

// Every named descendant, depth first in child order; Qt's own parts excluded.
void collectComponents(QObject *parent, QList<QObject *> &out)
{
    for (QObject *child : parent->children()) {
        const QString name = child->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            out.append(child);
        collectComponents(child, out);
    }
}

QObject *findComponent(QObject *window, const QString &name)
{
    QList<QObject *> components;
    collectComponents(window, components);
    for (QObject *c : components) {
        if (c->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    if (window->objectName().compare(name, Qt::CaseInsensitive) == 0)
        return window;
    return nullptr;
}

} // namespace

TLanguage::TLanguage(QObject *owner)
    : QObject(owner)
    , m_connectionName(nextConnectionName())
{
    setObjectName(QStringLiteral("Language1"));
    try {
        openDatabase();
    } catch (const DbError &e) {
        m_openError = e.text().isEmpty() ? QStringLiteral("Language.db") : e.text();
        m_db.close();
    }
}

TLanguage::~TLanguage()
{
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void TLanguage::openDatabase()
{
    const QString folder = Paths::inProgramDir(QStringLiteral("db"));
    QDir().mkpath(folder); // when this fails, opening the file below reports it
    const QString path = QDir(folder).filePath(QStringLiteral("Language.db"));
    if (!QFileInfo::exists(path)) {
        CreateLanguageDatabase(path);
        return;
    }
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open())
        throw DbError::fromDatabase(m_db);
    // A file that is not a database opens; its first read fails.
    Sql::execDirect(m_db, QStringLiteral("select count(*) from sqlite_master"));
}

void TLanguage::CreateLanguageDatabase(const QString &path)
{
    if (!m_db.isValid())
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    m_db.close();
    m_db.setDatabaseName(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open())
        throw DbError::fromDatabase(m_db);
    try {
        createTables(m_db);
    } catch (const DbError &) {
        // A half-made file would be taken for a database next time.
        m_db.close();
        QFile::remove(path);
        throw;
    }
}

void TLanguage::createTables(const QSqlDatabase &db)
{
    WriteTransaction tx(db);
    Sql::execDirect(db,
        QStringLiteral("Create Table Component_Table\n"
                       "(ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "AppName varchar(50) not null,\n"
                       "FormName varchar(50) not null,\n"
                       "ComponentName varchar(50) not null,\n"
                       "LanguageID int not null,\n"
                       "ComponentClass varchar(50) null,\n"
                       "ComponentProperty Text null)"));
    Sql::execDirect(db,
        QStringLiteral("Create Table Dialog_Table\n"
                       "(ID INTEGER PRIMARY KEY AUTOINCREMENT,\n"
                       "AppName varchar(50) Not null,\n"
                       "FormName varchar(50) Not null,\n"
                       "DialogID int Not null,\n"
                       "LanguageID int Not null,\n"
                       "Title varchar(255) Not null,\n"
                       "MessageStr varchar(255) Not null)"));
    tx.commit();
}

QSqlDatabase TLanguage::database() const
{
    if (!m_openError.isEmpty())
        throw DbError(m_openError);
    return m_db;
}

QString TLanguage::formName() const
{
    return parent() ? parent()->objectName() : QString();
}

void TLanguage::setActive(bool on)
{
    if (on)
        ApplyLanguage();
}

void TLanguage::ApplyLanguage()
{
    const QSqlDatabase db = database();
    const QVariantList key { appName(), formName(), m_languageId };

    // Both reads finish before anything changes, so a failing database
    // leaves the designed texts and the messages as they were.
    std::optional<QStringList> messages;
    QSqlQuery dialogs = Sql::exec(
        db, QStringLiteral("Select MessageStr From Dialog_Table") + selection + QStringLiteral(" order by ID"), key);
    while (dialogs.next())
        messages = splitLines(dialogs.value(0).toString());

    QList<std::pair<QString, QString>> rows;
    QSqlQuery components = Sql::exec(db,
        QStringLiteral("Select ComponentName, ComponentProperty From Component_Table") + selection
            + QStringLiteral(" order by ID"),
        key);
    while (components.next())
        rows.append({ components.value(0).toString(), components.value(1).toString() });

    if (messages)
        m_variable = *messages;
    QObject *window = parent();
    if (!window)
        return;
    for (const auto &[name, text] : rows) {
        if (QObject *target = findComponent(window, name))
            applyPropertyLines(target, window, splitLines(text));
    }
}

QString TLanguage::MessageText(int n) const
{
    if (n < 0 || n > 255)
        return {};
    return m_variable.value(n);
}

QString TLanguage::DialogTitle(int d)
{
    if (!m_openError.isEmpty())
        return {}; // shown once when the window was made
    QSqlQuery query = Sql::exec(m_db,
        QStringLiteral("Select Title from Dialog_Table") + selection + QStringLiteral(" and DialogID=? order by ID"),
        { appName(), formName(), m_languageId, d });
    return query.next() ? query.value(0).toString() : QString();
}

void TLanguage::CaptureForm()
{
    auto *window = qobject_cast<QWidget *>(parent());
    if (!window)
        return;
    const QSqlDatabase db = database();
    const QVariantList key { appName(), formName(), m_languageId };

    bool exists = false;
    {
        QSqlQuery query = Sql::exec(db, QStringLiteral("Select count(*) From Component_Table") + selection, key);
        exists = query.next() && query.value(0).toInt() > 0;
    }
    if (exists
        && !prompts().confirm(window, QMessageBox::Critical, QString::fromUtf8("提示"),
            QString::fromUtf8("窗体中的内容已经存在是否清除重建？")))
        return;

    struct Row {
        QString name, className, text;
    };
    QList<Row> rows;
    QList<QObject *> components;
    collectComponents(window, components);
    for (QObject *c : components)
        rows.append(
            { c->objectName(), QString::fromLatin1(c->metaObject()->className()), propertyText(c, window, true) });
    rows.append({ window->objectName(), QString::fromLatin1(window->metaObject()->className()),
        propertyText(window, window, false) });

    // One transaction: a failure half-way keeps the window's old rows.
    WriteTransaction tx(db);
    Sql::exec(db, QStringLiteral("Delete From Component_Table") + selection, key);
    QSqlQuery insert = Sql::prepare(db,
        QStringLiteral("Insert into Component_Table (AppName, FormName, "
                       "ComponentName, LanguageID, ComponentClass, "
                       "ComponentProperty) values (?, ?, ?, ?, ?, ?)"));
    for (const Row &row : rows) {
        insert.bindValue(0, appName());
        insert.bindValue(1, formName());
        insert.bindValue(2, row.name);
        insert.bindValue(3, m_languageId);
        insert.bindValue(4, row.className);
        insert.bindValue(5, row.text);
        if (!insert.exec())
            throw DbError::fromQuery(insert);
    }
    tx.commit();
}
