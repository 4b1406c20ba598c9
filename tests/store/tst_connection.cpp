#include "Connection.h"
#include "DataModule.h"
#include "DbError.h"
#include "Schema.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"
#include "TestEnv.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimeZone>
#include <QtTest>

#include <memory>

// Opening the data module's connection as Keldrix.ini says.
class tst_Connection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void embeddedFile_data();
    void embeddedFile();
    void missingFileLeavesConnectionAlone();
    void damagedFileFailsSilently();
    void otherConnTypeTriesNothing();
    void embeddedConnectionSettings();
    void idleCheckpoint();
    void server_data();
    void server();
    void switchesFromFileToServer();

private:
    QSqlDatabase conn() const { return QSqlDatabase::database(QString::fromLatin1(Tdm::ConnectionName), false); }
    void writeClientConfig(const QString &lines);
    QString makeDatabase(const QString &relative);

    QTemporaryDir m_templateDir;
    QString m_template;
    std::unique_ptr<TestEnv> m_env;
};

void tst_Connection::initTestCase()
{
    m_template = QDir(m_templateDir.path()).filePath(QStringLiteral("template.db"));
    createEmbeddedDatabase(m_template);
}

void tst_Connection::init()
{
    m_env = std::make_unique<TestEnv>();
    SystemSettings.ConnType = 0;
}

void tst_Connection::cleanup()
{
    if (QSqlDatabase::contains(QString::fromLatin1(Tdm::ConnectionName))) {
        conn().close();
        QSqlDatabase::removeDatabase(QString::fromLatin1(Tdm::ConnectionName));
    }
    m_env.reset();
}

void tst_Connection::writeClientConfig(const QString &lines)
{
    m_env->writeProfile((QStringLiteral("[Client Config]\n") + lines).toUtf8());
}

QString tst_Connection::makeDatabase(const QString &relative)
{
    const QString path = m_env->programFile(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!QFile::copy(m_template, path))
        qFatal("cannot copy the template database");
    return path;
}

void tst_Connection::embeddedFile_data()
{
    QTest::addColumn<QString>("profile"); // "-": no Keldrix.ini
    QTest::addColumn<QString>("file"); // made beside the program; empty: none
    QTest::addColumn<bool>("opens");
    QTest::newRow("no profile, default file") << "-"
                                              << "db/lock.db" << true;
    QTest::newRow("no profile, no file") << "-"
                                         << "" << false;
    QTest::newRow("relative, backslashes") << "DbPath=data\\hotel.db\n"
                                           << "data/hotel.db" << true;
    QTest::newRow("a folder") << "DbPath=db\n"
                              << "db/lock.db" << false;
    QTest::newRow("missing") << "DbPath=db/other.db\n"
                             << "db/lock.db" << false;
    // Characters that would end or extend a connection text or a URI.
    for (const char *name : { "a;Mode=ro.db", "a#b.db", "a?mode=ro.db", "a b.db", "100%.db" })
        QTest::newRow(name) << QStringLiteral("DbPath=%1\n").arg(QLatin1String(name)) << QString::fromLatin1(name)
                            << true;
}

void tst_Connection::embeddedFile()
{
    QFETCH(QString, profile);
    QFETCH(QString, file);
    QFETCH(bool, opens);
    if (profile != QLatin1String("-"))
        writeClientConfig(profile);
    if (!file.isEmpty())
        makeDatabase(file);
    const QStringList before = QDir(m_env->programDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    ScriptedPrompts prompts;
    if (!opens)
        prompts.answerOk();
    QCOMPARE(openDatabase(), opens);
    if (opens) {
        QVERIFY(prompts.asked.isEmpty());
        // Writable, and the file itself: its seed rows are there.
        Sql::exec(conn(), QStringLiteral("UPDATE AllCardSn SET CardSn = CardSn + 1 WHERE CardType = 4"));
        QSqlQuery query = Sql::exec(conn(), QStringLiteral("SELECT CardSn FROM AllCardSn WHERE CardType = 4"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
    } else {
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.last().title, QStringLiteral("提示"));
        QCOMPARE(prompts.last().text, QStringLiteral("文件不存在！"));
        QCOMPARE(prompts.last().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QVERIFY(!conn().isOpen());
    }
    conn().close();
    // Nothing made on the way (a database or a file of a cut-off name).
    QCOMPARE(QDir(m_env->programDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void tst_Connection::missingFileLeavesConnectionAlone()
{
    makeDatabase(QStringLiteral("db/lock.db"));
    QVERIFY(openDatabase());
    writeClientConfig(QStringLiteral("DbPath=db/gone.db\n"));
    ScriptedPrompts prompts;
    prompts.answerOk();
    QVERIFY(!openDatabase());
    QVERIFY(conn().isOpen());
    QVERIFY(Sql::exec(conn(), QStringLiteral("SELECT 1")).next());
}

void tst_Connection::damagedFileFailsSilently()
{
    QFile file(m_env->programFile(QStringLiteral("db/lock.db")));
    QDir().mkpath(m_env->programFile(QStringLiteral("db")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(8192, 'x'));
    file.close();
    ScriptedPrompts prompts;
    QVERIFY(!openDatabase());
    QVERIFY(prompts.asked.isEmpty());
    // The next statement says why.
    try {
        Sql::exec(conn(), QStringLiteral("SELECT * FROM RoomInfo"));
        QFAIL("a damaged file answered");
    } catch (const DbError &error) {
        QVERIFY2(error.text().contains(QLatin1String("not a database")), qPrintable(error.text()));
    }
}

void tst_Connection::otherConnTypeTriesNothing()
{
    makeDatabase(QStringLiteral("db/lock.db"));
    SystemSettings.ConnType = 2;
    ScriptedPrompts prompts;
    QVERIFY(!openDatabase());
    QVERIFY(prompts.asked.isEmpty());
    QVERIFY(!QSqlDatabase::contains(QString::fromLatin1(Tdm::ConnectionName)));
}

void tst_Connection::embeddedConnectionSettings()
{
    const QString path = makeDatabase(QStringLiteral("db/lock.db"));
    QVERIFY(openDatabase());
    const QList<QPair<QString, QString>> pragmas { { "journal_mode", "wal" }, { "synchronous", "1" },
        { "foreign_keys", "0" }, { "busy_timeout", "5000" }, { "wal_autocheckpoint", "10000" } };
    for (const auto &[pragma, expected] : pragmas) {
        QSqlQuery query = Sql::exec(conn(), QStringLiteral("PRAGMA ") + pragma);
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), expected);
    }
    // Every connection gets DateDiff, not only the first one.
    {
        QSqlDatabase second = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("second"));
        second.setDatabaseName(path);
        QVERIFY(second.open());
        configureConnection(second);
        QSqlQuery query = Sql::exec(second, QStringLiteral("SELECT DateDiff('d', '2024-01-01', '2024-01-31')"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 30);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("second"));
}

// A commit leaves the log to the desk's idle moments: the clerk does not wait
// for it. The idle checkpoint then takes it into the file.
void tst_Connection::idleCheckpoint()
{
    const QString path = makeDatabase(QStringLiteral("db/lock.db"));
    QVERIFY(openDatabase());
    const qint64 before = QFileInfo(path).size();
    {
        WriteTransaction tx(conn());
        QSqlQuery insert = Sql::prepare(
            conn(), QStringLiteral("INSERT INTO OpenDoorRecord (RoomStr, Rom, CardHolderStr) VALUES (?, ?, ?)"));
        for (int i = 0; i < 3000; ++i)
            Sql::exec(insert, { QString::number(i), QString::number(i), QString(2000, QLatin1Char('x')) });
        tx.commit();
    }
    QCOMPARE(QFileInfo(path).size(), before);
    QVERIFY(QFileInfo(path + QStringLiteral("-wal")).size() > 1000 * 4096);
    checkpointWhileIdle(conn());
    QVERIFY(QFileInfo(path).size() > before + 3000 * 2000);
}

void tst_Connection::server_data()
{
    QTest::addColumn<QString>("serverName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("opens");
    QTest::addColumn<QString>("reason");
    const QString host = qEnvironmentVariable("TARVANE_PG_HOST");
    const QString server = host + QLatin1Char(',') + qEnvironmentVariable("TARVANE_PG_PORT");
    const QString password = qEnvironmentVariable("TARVANE_PG_PASSWORD");
    QTest::newRow("desk role, password with ; ' \\ and blank") << server << password << true << "";
    QTest::newRow("blank around host and port")
        << QStringLiteral(" %1 , %2 ").arg(host, qEnvironmentVariable("TARVANE_PG_PORT")) << password << true << "";
    // Only a wrong password, never another database.
    QTest::newRow("password with attributes")
        << server << "ok;dbname=postgres" << false << "password authentication failed";
    QTest::newRow("password quoted") << server << "x' dbname='postgres" << false << "password authentication failed";
    QTest::newRow("empty server name") << "" << password << false << "";
    QTest::newRow("port not a number") << host + ",abc" << password << false << "";
}

void tst_Connection::server()
{
    if (!PgTestDatabase::configured())
        QSKIP("no test server");
    QFETCH(QString, serverName);
    QFETCH(QString, password);
    QFETCH(bool, opens);
    SystemSettings.ConnType = 1;
    writeClientConfig(QStringLiteral("ServerName=%1\nUserName=%2\nPass=%3\n")
                          .arg(serverName, qEnvironmentVariable("TARVANE_PG_USER"), password));
    ScriptedPrompts prompts;
    QCOMPARE(openDatabase(), opens);
    QVERIFY(prompts.asked.isEmpty());
    if (!opens) {
        QVERIFY(!conn().isOpen());
        try {
            Sql::exec(conn(), QStringLiteral("SELECT 1"));
            QFAIL("a closed connection answered");
        } catch (const DbError &error) {
            // The reason the open failed reaches the error box.
            QFETCH(QString, reason);
            QVERIFY2(error.text().contains(reason), qPrintable(error.text()));
        }
        return;
    }
    QSqlQuery query = Sql::exec(conn(),
        QStringLiteral("SELECT current_user, current_database(), "
                       "current_setting('TimeZone'), current_setting('lock_timeout')"));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), qEnvironmentVariable("TARVANE_PG_USER"));
    QCOMPARE(query.value(1).toString(), QStringLiteral("qzvlock"));
    QCOMPARE(query.value(2).toString(), QString::fromUtf8(QTimeZone::systemTimeZoneId()));
    QCOMPARE(query.value(3).toString(), QStringLiteral("5s"));
}

void tst_Connection::switchesFromFileToServer()
{
    if (!PgTestDatabase::configured())
        QSKIP("no test server");
    makeDatabase(QStringLiteral("db/lock.db"));
    QVERIFY(openDatabase());
    SystemSettings.ConnType = 1;
    writeClientConfig(QStringLiteral("ServerName=%1,%2\nUserName=%3\nPass=%4\n")
                          .arg(qEnvironmentVariable("TARVANE_PG_HOST"), qEnvironmentVariable("TARVANE_PG_PORT"),
                              qEnvironmentVariable("TARVANE_PG_USER"), qEnvironmentVariable("TARVANE_PG_PASSWORD")));
    QVERIFY(openDatabase());
    QCOMPARE(conn().driverName(), QStringLiteral("QPSQL"));
    QVERIFY(Sql::exec(conn(), QStringLiteral("SELECT 1")).next());
}

QTEST_MAIN(tst_Connection)
#include "tst_connection.moc"
