// Card issue: the counter read under a lock, advanced and journalled in one
// transaction with the card that used it, on both dialects.
#include "CardIssue.h"
#include "CardOperations.h"
#include "Connection.h"
#include "DbError.h"
#include "Dialects.h"
#include "Identifiers.h"
#include "LockTestSupport.h"
#include "Settings.h"

#include <QSet>
#include <QtTest>

#include <memory>
#include <mutex>
#include <thread>

namespace {

int countOf(const CardNumber &number)
{
    return (number[0] & 0xFF) + 256 * number[1];
}

// A special card as the special-card window fills it.
TCardData specialCard(const CardNumber &number, int16_t cardType)
{
    TCardData card = guestCard(number, 0, 0, 0);
    card.CardType[0] = cardType;
    return card;
}

int journalRows(const QSqlDatabase &db)
{
    return scalar(db, QStringLiteral("SELECT COUNT(*) FROM MakeCardRecord")).toInt();
}

int roomCounter(const QSqlDatabase &db, const QString &roomStr)
{
    return scalar(db, QStringLiteral("SELECT CardSn FROM RoomInfo WHERE RoomStr = ?"), { roomStr }).toInt();
}

QVariant codeCounter(const QSqlDatabase &db, int code)
{
    return scalar(db, QStringLiteral("SELECT CardSn FROM AllCardSn WHERE CardType = ?"), { code });
}

} // namespace

class TestCardIssue : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Dialects> m_dialects;

    // A connection of a worker thread of its own, configured as the program's.
    QSqlDatabase openWorkerConnection(const QString &dialect, const QString &name)
    {
        QSqlDatabase db;
        if (dialect == QLatin1String("sqlite")) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(m_dialects->sqlitePath());
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
            db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
            db.setPort(qEnvironmentVariable("TARVANE_PG_PORT").toInt());
            db.setDatabaseName(m_dialects->server()->name());
            db.setUserName(qEnvironmentVariable("TARVANE_PG_USER"));
            db.setPassword(qEnvironmentVariable("TARVANE_PG_PASSWORD"));
        }
        if (!db.open())
            throw DbError::fromDatabase(db);
        configureConnection(db);
        return db;
    }

    void addDialectRows()
    {
        QTest::addColumn<QString>("dialect");
        m_dialects->newRows("database", [](QTestData &) {});
    }

private Q_SLOTS:
    void initTestCase()
    {
        SystemSettings.Staffer = QStringLiteral("op1");
        SystemSettings.StafferName = QStringLiteral("操作员一");
        m_dialects = std::make_unique<Dialects>();
        for (const QString &dialect : m_dialects->names()) {
            const QSqlDatabase db = m_dialects->db(dialect);
            addRoom(db, QStringLiteral("1315"), 1315, QStringLiteral("010315"), 1, 3, 15, 5);
            addRoom(db, QStringLiteral("2206"), 2206, QStringLiteral("020206"), 2, 2, 6, 0);
            addRoom(db, QStringLiteral("3101"), 3101, QStringLiteral("030101"), 3, 1, 1, 0);
            Sql::exec(db, QStringLiteral("UPDATE AllCardSn SET CardSn = 300 WHERE CardType = 1"));
            Sql::exec(db, QStringLiteral("DELETE FROM AllCardSn WHERE CardType = 7"));
        }
    }

    void cleanupTestCase() { m_dialects.reset(); }

    void recordAdvancesAndJournals_data() { addDialectRows(); }
    void recordAdvancesAndJournals()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const int rowsBefore = journalRows(db);
        {
            auto issue = CardIssue::forRoom(QStringLiteral("1315"), db);
            QCOMPARE(issue.CardNo(), (CardNumber { 5, 0, 0, 0, 0 }));
            const TCardData card = guestCard(issue.CardNo(), 1, 3, 15);
            issue.recordCard(card, QStringLiteral("Li"), QString());
            issue.commit();
        }
        QCOMPARE(roomCounter(db, QStringLiteral("1315")), 6);
        QCOMPARE(scalar(db,
                     QStringLiteral("SELECT COUNT(*) FROM MakeCardRecord WHERE Rom = '01031500000005' "
                                    "AND CardType = 4 AND RoomStr = '1315'"))
                     .toInt(),
            1);
        {
            auto issue = CardIssue::forCounter(1, db);
            QCOMPARE(issue.CardNo(), (CardNumber { 44, 1, 0, 0, 0 }));
            issue.recordCard(specialCard(issue.CardNo(), 10), QString(), QString());
            issue.commit();
        }
        QCOMPARE(codeCounter(db, 1).toInt(), 301);
        QCOMPARE(scalar(db, QStringLiteral("SELECT COUNT(*) FROM MakeCardRecord WHERE Rom = '0A00012C'")).toInt(), 1);
        QCOMPARE(journalRows(db), rowsBefore + 2);
    }

    // A card not written (no recordCard) or an issue left uncommitted changes nothing.
    void uncommittedLeavesCounter_data() { addDialectRows(); }
    void uncommittedLeavesCounter()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const int counter = roomCounter(db, QStringLiteral("2206"));
        const int rowsBefore = journalRows(db);
        {
            auto issue = CardIssue::forRoom(QStringLiteral("2206"), db);
            QCOMPARE(countOf(issue.CardNo()), counter);
        }
        {
            auto issue = CardIssue::forRoom(QStringLiteral("2206"), db);
            issue.recordCard(guestCard(issue.CardNo(), 2, 2, 6), QString(), QString());
        }
        QCOMPARE(roomCounter(db, QStringLiteral("2206")), counter);
        QCOMPARE(journalRows(db), rowsBefore);
        // The same number is issued again.
        auto issue = CardIssue::forRoom(QStringLiteral("2206"), db);
        QCOMPARE(countOf(issue.CardNo()), counter);
    }

    // A counter code without a row numbers its card 0, and holds 1 after it.
    void codeWithoutRow_data() { addDialectRows(); }
    void codeWithoutRow()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        {
            auto issue = CardIssue::forCounter(7, db);
            QCOMPARE(issue.CardNo(), CardNumber {});
        }
        QVERIFY(codeCounter(db, 7).isNull());
        {
            auto issue = CardIssue::forCounter(7, db);
            QCOMPARE(issue.CardNo(), CardNumber {});
            issue.recordCard(specialCard(issue.CardNo(), 3), QString(), QString());
            issue.commit();
        }
        QCOMPARE(codeCounter(db, 7).toInt(), 1);
        auto issue = CardIssue::forCounter(7, db);
        QCOMPARE(issue.CardNo(), (CardNumber { 1, 0, 0, 0, 0 }));
    }

    // A database error after a written card rolls back the advance with the journal row.
    void journalFailureRollsBack_data() { addDialectRows(); }
    void journalFailureRollsBack()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const int counter = roomCounter(db, QStringLiteral("1315"));
        const int codeBefore = codeCounter(db, 1).toInt();
        const int rowsBefore = journalRows(db);
        Sql::execDirect(db, QStringLiteral("ALTER TABLE MakeCardRecord RENAME TO MakeCardRecordAway"));
        auto restore = qScopeGuard(
            [&] { Sql::execDirect(db, QStringLiteral("ALTER TABLE MakeCardRecordAway RENAME TO MakeCardRecord")); });
        {
            auto issue = CardIssue::forRoom(QStringLiteral("1315"), db);
            QVERIFY_THROWS_EXCEPTION(
                DbError, issue.recordCard(guestCard(issue.CardNo(), 1, 3, 15), QString(), QString()));
        }
        {
            auto issue = CardIssue::forCounter(1, db);
            QVERIFY_THROWS_EXCEPTION(DbError, issue.recordCard(specialCard(issue.CardNo(), 10), QString(), QString()));
        }
        restore.dismiss();
        Sql::execDirect(db, QStringLiteral("ALTER TABLE MakeCardRecordAway RENAME TO MakeCardRecord"));
        QCOMPARE(roomCounter(db, QStringLiteral("1315")), counter);
        QCOMPARE(codeCounter(db, 1).toInt(), codeBefore);
        QCOMPARE(journalRows(db), rowsBefore);
    }

    // Two desks issuing at once never share a number nor lose an advance.
    void concurrentIssues_data() { addDialectRows(); }
    void concurrentIssues()
    {
        QFETCH(QString, dialect);
        const QSqlDatabase db = m_dialects->db(dialect);
        const int roomStart = roomCounter(db, QStringLiteral("3101"));
        const int codeStart = codeCounter(db, 2).toInt();
        const int rowsBefore = journalRows(db);
        constexpr int perDesk = 50;

        std::mutex resultsMutex;
        QList<int> roomNumbers;
        QList<int> codeNumbers;
        QStringList failures;
        const auto desk = [&](int index) {
            const QString name = QStringLiteral("desk-%1-%2").arg(dialect).arg(index);
            try {
                QSqlDatabase conn = openWorkerConnection(dialect, name);
                for (int i = 0; i < perDesk; ++i) {
                    const auto writeStep = [] { return int16_t(1); };
                    {
                        auto issue = CardIssue::forRoom(QStringLiteral("3101"), conn);
                        if (writeStep() == 1) {
                            issue.recordCard(guestCard(issue.CardNo(), 3, 1, 1), QString(), QString());
                            issue.commit();
                        }
                        std::lock_guard lock(resultsMutex);
                        roomNumbers << countOf(issue.CardNo());
                    }
                    {
                        auto issue = CardIssue::forCounter(2, conn);
                        if (writeStep() == 1) {
                            issue.recordCard(specialCard(issue.CardNo(), 2), QString(), QString());
                            issue.commit();
                        }
                        std::lock_guard lock(resultsMutex);
                        codeNumbers << countOf(issue.CardNo());
                    }
                }
                conn.close();
            } catch (const std::exception &error) {
                std::lock_guard lock(resultsMutex);
                failures << QString::fromStdString(error.what());
            }
            QSqlDatabase::removeDatabase(name);
        };
        std::thread first(desk, 1);
        std::thread second(desk, 2);
        first.join();
        second.join();

        QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QLatin1Char('\n'))));
        QCOMPARE(QSet<int>(roomNumbers.begin(), roomNumbers.end()).size(), 2 * perDesk);
        QCOMPARE(QSet<int>(codeNumbers.begin(), codeNumbers.end()).size(), 2 * perDesk);
        QCOMPARE(roomCounter(db, QStringLiteral("3101")), roomStart + 2 * perDesk);
        QCOMPARE(codeCounter(db, 2).toInt(), codeStart + 2 * perDesk);
        QCOMPARE(journalRows(db), rowsBefore + 4 * perDesk);
    }
};

QTEST_MAIN(TestCardIssue)
#include "tst_cardissue.moc"
