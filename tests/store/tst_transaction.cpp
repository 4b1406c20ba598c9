#include "Dialects.h"

#include "Connection.h"
#include "DbError.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "WriteTransaction.h"

#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

// Write transactions, refused statements and what two desks see of each other.
class tst_Transaction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void commitOrRollback_data();
    void commitOrRollback();
    void refusedStatementShownAndRolledBack_data();
    void refusedStatementShownAndRolledBack();
    void commitAfterCaughtRefusalOnServer();
    void secondWriterWaits();
    void finishedQuerySeesOtherDesksCommit();
    void keptServerStatements();

private:
    int count(const QString &dialect, const QString &roomStr) const;
    QSqlDatabase openSecondDesk(const QString &name) const;

    std::unique_ptr<Dialects> m_dialects;
};

namespace {
const QString InsertRoom
    = QStringLiteral("INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES (?, 1, 1, 1)");
}

void tst_Transaction::initTestCase()
{
    m_dialects = std::make_unique<Dialects>();
}

void tst_Transaction::cleanupTestCase()
{
    m_dialects.reset();
}

void tst_Transaction::init()
{
    for (const QString &dialect : m_dialects->names())
        Sql::exec(m_dialects->db(dialect), QStringLiteral("DELETE FROM RoomInfo"));
}

int tst_Transaction::count(const QString &dialect, const QString &roomStr) const
{
    QSqlQuery query = Sql::exec(
        m_dialects->db(dialect), QStringLiteral("SELECT count(*) FROM RoomInfo WHERE RoomStr = ?"), { roomStr });
    return query.next() ? query.value(0).toInt() : -1;
}

QSqlDatabase tst_Transaction::openSecondDesk(const QString &name) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(m_dialects->sqlitePath());
    if (!db.open())
        qFatal("cannot open a second connection");
    configureConnection(db);
    return db;
}

void tst_Transaction::commitOrRollback_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<bool>("commitInner");
    QTest::addColumn<bool>("commitOuter");
    QTest::addColumn<bool>("stored");
    m_dialects->newRows("both committed", [](QTestData &row) { row << true << true << true; });
    m_dialects->newRows("outer left", [](QTestData &row) { row << true << false << false; });
    m_dialects->newRows("inner left", [](QTestData &row) { row << false << true << false; });
}

void tst_Transaction::commitOrRollback()
{
    QFETCH(QString, dialect);
    QFETCH(bool, commitInner);
    QFETCH(bool, commitOuter);
    QFETCH(bool, stored);
    const QSqlDatabase db = m_dialects->db(dialect);
    bool outerThrew = false;
    {
        WriteTransaction outer(db);
        Sql::exec(db, InsertRoom, { QStringLiteral("301") });
        {
            // A routine that joins its caller's transaction.
            WriteTransaction inner(db);
            QVERIFY(!inner.isOutermost());
            Sql::exec(db, InsertRoom, { QStringLiteral("302") });
            if (commitInner)
                inner.commit();
        }
        if (commitOuter) {
            try {
                outer.commit();
            } catch (const DbError &) {
                outerThrew = true;
            }
        }
    }
    QCOMPARE(outerThrew, commitOuter && !commitInner);
    QVERIFY(!WriteTransaction::isActive(db));
    QCOMPARE(count(dialect, QStringLiteral("301")), stored ? 1 : 0);
    QCOMPARE(count(dialect, QStringLiteral("302")), stored ? 1 : 0);
}

void tst_Transaction::refusedStatementShownAndRolledBack_data()
{
    QTest::addColumn<QString>("dialect");
    m_dialects->newRows("duplicate door-plate", [](QTestData &) {});
}

// A statement refused half-way: the operator sees the database's text in the
// standard error box, and the rows before it are not kept.
void tst_Transaction::refusedStatementShownAndRolledBack()
{
    QFETCH(QString, dialect);
    const QSqlDatabase db = m_dialects->db(dialect);
    ScriptedPrompts prompts;
    prompts.answerOk();
    const bool ran = runGuarded([&] {
        WriteTransaction tx(db);
        Sql::exec(db, InsertRoom, { QStringLiteral("401") });
        Sql::exec(db, InsertRoom, { QStringLiteral("402") });
        Sql::exec(db, InsertRoom, { QStringLiteral("401") });
        tx.commit();
    });
    QVERIFY(!ran);
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.last().icon, QMessageBox::Critical);
    QCOMPARE(prompts.last().title, QString::fromLatin1(ApplicationTitle));
    QVERIFY2(
        prompts.last().text.contains(QLatin1String("unique"), Qt::CaseInsensitive), qPrintable(prompts.last().text));
    QCOMPARE(count(dialect, QStringLiteral("401")), 0);
    QCOMPARE(count(dialect, QStringLiteral("402")), 0);
    // The connection is usable again.
    WriteTransaction tx(db);
    Sql::exec(db, InsertRoom, { QStringLiteral("403") });
    tx.commit();
    QCOMPARE(count(dialect, QStringLiteral("403")), 1);
}

// A refusal caught inside a transaction on the server: committing must not
// report rows as stored that the server threw away.
void tst_Transaction::commitAfterCaughtRefusalOnServer()
{
    if (!m_dialects->server())
        QSKIP("no test server");
    const QSqlDatabase db = m_dialects->db(QStringLiteral("postgresql"));
    {
        WriteTransaction tx(db);
        Sql::exec(db, InsertRoom, { QStringLiteral("451") });
        QVERIFY_THROWS_EXCEPTION(DbError, Sql::exec(db, InsertRoom, { QStringLiteral("451") }));
        QVERIFY_THROWS_EXCEPTION(DbError, tx.commit());
    }
    QVERIFY(!WriteTransaction::isActive(db));
    QCOMPARE(count(QStringLiteral("postgresql"), QStringLiteral("451")), 0);
    WriteTransaction tx(db);
    Sql::exec(db, InsertRoom, { QStringLiteral("452") });
    tx.commit();
    QCOMPARE(count(QStringLiteral("postgresql"), QStringLiteral("452")), 1);
}

// Two desks on one file: the second writer waits for the first to commit
// instead of failing half-way.
void tst_Transaction::secondWriterWaits()
{
    const QSqlDatabase first = m_dialects->db(QStringLiteral("sqlite"));
    std::atomic<int> stage { 0 }; // 1: second desk asks, 2: it got the write lock
    QString secondError;
    auto secondDesk = std::unique_ptr<QThread>(QThread::create([&] {
        {
            QSqlDatabase db = openSecondDesk(QStringLiteral("second-desk"));
            try {
                stage = 1;
                WriteTransaction tx(db);
                stage = 2;
                Sql::exec(db, InsertRoom, { QStringLiteral("502") });
                tx.commit();
            } catch (const DbError &error) {
                secondError = error.text();
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("second-desk"));
    }));
    {
        WriteTransaction tx(first);
        Sql::exec(first, InsertRoom, { QStringLiteral("501") });
        secondDesk->start();
        QTRY_COMPARE(stage.load(), 1);
        QTest::qWait(300);
        QCOMPARE(stage.load(), 1); // still waiting for the lock
        tx.commit();
    }
    QVERIFY(secondDesk->wait(10000));
    QCOMPARE(secondError, QString());
    QCOMPARE(stage.load(), 2);
    QCOMPARE(count(QStringLiteral("sqlite"), QStringLiteral("501")), 1);
    QCOMPARE(count(QStringLiteral("sqlite"), QStringLiteral("502")), 1);
}

// A query read to its end or finished lets go of the file's snapshot, so the
// desk's next statement sees what another desk committed meanwhile.
void tst_Transaction::finishedQuerySeesOtherDesksCommit()
{
    const QSqlDatabase desk = m_dialects->db(QStringLiteral("sqlite"));
    {
        QSqlDatabase other = openSecondDesk(QStringLiteral("other-desk"));
        QSqlQuery pinned = Sql::exec(desk, QStringLiteral("SELECT ID FROM CardType"));
        QVERIFY(pinned.next()); // more rows follow: the statement holds a snapshot
        Sql::exec(other, InsertRoom, { QStringLiteral("601") });
        QCOMPARE(count(QStringLiteral("sqlite"), QStringLiteral("601")), 0);
        pinned.finish();
        QCOMPARE(count(QStringLiteral("sqlite"), QStringLiteral("601")), 1);
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-desk"));
}


// The server session keeps its statements prepared: each run answers for its
// own values, and a connection opened again prepares them anew, inside a
// transaction too, without disturbing it.
void tst_Transaction::keptServerStatements()
{
    if (!m_dialects->server())
        QSKIP("no test server");
    QSqlDatabase db = m_dialects->db(QStringLiteral("postgresql"));
    Sql::exec(db, InsertRoom, { QStringLiteral("461") });
    Sql::exec(db, InsertRoom, { QStringLiteral("462") });
    const QString select = QStringLiteral("SELECT RoomStr FROM RoomInfo WHERE RoomStr = ?");
    auto found = [&](const QString &roomStr) {
        QSqlQuery query = Sql::exec(db, select, { roomStr });
        return query.next() ? query.value(0).toString() : QString();
    };
    QCOMPARE(found(QStringLiteral("461")), QStringLiteral("461"));
    QCOMPARE(found(QStringLiteral("462")), QStringLiteral("462"));
    QCOMPARE(found(QStringLiteral("469")), QString());

    db.close();
    QVERIFY(db.open());
    configureConnection(db);
    {
        WriteTransaction tx(db);
        QCOMPARE(found(QStringLiteral("461")), QStringLiteral("461"));
        Sql::exec(db, InsertRoom, { QStringLiteral("463") });
        tx.commit();
    }
    QCOMPARE(count(QStringLiteral("postgresql"), QStringLiteral("463")), 1);

    Sql::forgetStatements(db);
    QCOMPARE(found(QStringLiteral("462")), QStringLiteral("462"));
}

QTEST_MAIN(tst_Transaction)
#include "tst_transaction.moc"
