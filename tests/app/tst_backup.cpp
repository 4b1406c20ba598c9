#include "AppState.h"
#include "Backup.h"
#include "Clock.h"
#include "HotelFixture.h"
#include "MainForm.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"

#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QTest>

namespace {

// Another desk's connection on the same file.
class OtherDesk {
public:
    explicit OtherDesk(const QString &file)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(file);
        QVERIFY(db.open());
        Sql::execDirect(db, QStringLiteral("PRAGMA busy_timeout=5000"));
    }
    ~OtherDesk()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(QStringLiteral("other"), false);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
    }
    QSqlDatabase db() const { return QSqlDatabase::database(QStringLiteral("other"), false); }
};

int countIn(const QString &file, const QString &table)
{
    int n = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(file);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open()) {
            QSqlQuery integrity = Sql::exec(db, QStringLiteral("PRAGMA integrity_check"));
            if (integrity.next() && integrity.value(0).toString() == QLatin1String("ok")) {
                QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT count(*) FROM ") + table);
                n = query.next() ? query.value(0).toInt() : -1;
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
    return n;
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void names();
    void backup_snapshotOfCommittedRows();
    void backup_existingTargetUntouched();
    void backup_failureLeavesNoFile();
    void restore_missingFile();
    void restore_notOurs();
    void restore_replacesAndKeepsTheOld();
    void restore_refusedWhileAnotherDeskHasTheFile();
    void restore_boardShowsRestoredStays();

private:
    std::unique_ptr<HotelFixture> m_hotel;
};

void TestBackup::init()
{
    SystemSettings = TSystemSettings();
    RoomsChanged = false;
    m_hotel = std::make_unique<HotelFixture>();
    m_hotel->addRoom(QStringLiteral("101"), 1, 1, 1);
    m_hotel->addRoom(QStringLiteral("102"), 1, 1, 2);
    Clock::set(QDateTime(QDate(2026, 3, 5), QTime(9, 8, 7)));
}

void TestBackup::cleanup()
{
    m_hotel.reset();
    Clock::reset();
}

void TestBackup::names()
{
    const QDateTime when(QDate(2026, 3, 5), QTime(9, 8, 7));
    QCOMPARE(backupFileName(when), QStringLiteral("260305090807_BackUp.db"));
    QCOMPARE(beforeRestoreFileName(when), QStringLiteral("260305090807_BeforeRestore.db"));
}

// A backup taken while another desk holds an open write holds every
// committed row and none of the open write's.
void TestBackup::backup_snapshotOfCommittedRows()
{
    OtherDesk other(m_hotel->databaseFile());
    Sql::execDirect(other.db(), QStringLiteral("BEGIN IMMEDIATE"));
    Sql::exec(other.db(), QStringLiteral("UPDATE RoomInfo SET RoomState = 1"));
    Sql::exec(other.db(),
        QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, "
                       "RoomNumber) VALUES (10103, '103', '010103', 1, 1, 3)"));
    const QString target = m_hotel->env().programFile(QStringLiteral("b.db"));
    const BackupResult result = backupDatabase(m_hotel->db(), target);
    QCOMPARE(result.outcome, BackupOutcome::Done);
    Sql::execDirect(other.db(), QStringLiteral("COMMIT"));
    QCOMPARE(countIn(target, QStringLiteral("RoomInfo")), 2);
    QCOMPARE(countIn(target, QStringLiteral("RoomInfo WHERE RoomState = 1")), 0);
    QVERIFY(validateHotelDatabase(target).isEmpty());
}

void TestBackup::backup_existingTargetUntouched()
{
    const QString target = m_hotel->env().programFile(QStringLiteral("b.db"));
    QFile file(target);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("keep me");
    file.close();
    QCOMPARE(backupDatabase(m_hotel->db(), target).outcome, BackupOutcome::TargetExists);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("keep me"));
}

void TestBackup::backup_failureLeavesNoFile()
{
    const QString target = m_hotel->env().programFile(QStringLiteral("no such folder/b.db"));
    const BackupResult result = backupDatabase(m_hotel->db(), target);
    QCOMPARE(result.outcome, BackupOutcome::Failed);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY(!QFile::exists(target));
    QCOMPARE(QDir(m_hotel->env().programDir()).entryList({ QStringLiteral("*.db") }, QDir::Files).size(), 0);
}

void TestBackup::restore_missingFile()
{
    const RestoreResult result = restoreDatabase(m_hotel->env().programFile(QStringLiteral("gone.db")));
    QCOMPARE(result.outcome, RestoreOutcome::Missing);
    QVERIFY(m_hotel->db().isOpen());
    QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 2);
    QVERIFY(!RoomsChanged);
}

void TestBackup::restore_notOurs()
{
    const QString text = m_hotel->env().programFile(QStringLiteral("notes.db"));
    QFile file(text);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("just some notes, not a database at all");
    file.close();
    QCOMPARE(restoreDatabase(text).outcome, RestoreOutcome::NotOurs);

    const QString foreign = m_hotel->env().programFile(QStringLiteral("foreign.db"));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        db.setDatabaseName(foreign);
        QVERIFY(db.open());
        Sql::execDirect(db, QStringLiteral("CREATE TABLE RoomInfo (ID INTEGER)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    QCOMPARE(restoreDatabase(foreign).outcome, RestoreOutcome::NotOurs);

    QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 2);
    QVERIFY(QDir(m_hotel->env().programFile(QStringLiteral("db")))
                .entryList({ QStringLiteral("*_BeforeRestore.db") }, QDir::Files)
                .isEmpty());
}

void TestBackup::restore_replacesAndKeepsTheOld()
{
    const QString saved = m_hotel->env().programFile(QStringLiteral("saved.db"));
    QCOMPARE(backupDatabase(m_hotel->db(), saved).outcome, BackupOutcome::Done);
    m_hotel->addStay(QStringLiteral("101"));

    bool reopened = false;
    connect(&dm(), &Tdm::connectionReopened, this, [&] { reopened = true; });
    const RestoreResult result = restoreDatabase(saved);
    QCOMPARE(result.outcome, RestoreOutcome::Done);
    QVERIFY(reopened);
    QVERIFY(RoomsChanged);
    QVERIFY(m_hotel->db().isOpen());
    QCOMPARE(m_hotel->count(QStringLiteral("GuestInRecord")), 0);
    QCOMPARE(result.beforeRestoreFile, m_hotel->env().programFile(QStringLiteral("db/260305090807_BeforeRestore.db")));
    QCOMPARE(countIn(result.beforeRestoreFile, QStringLiteral("GuestInRecord")), 1);
    QVERIFY(!QFile::exists(m_hotel->databaseFile() + QStringLiteral(".restoring")));
    // The reopened connection writes as before.
    m_hotel->addStay(QStringLiteral("102"));
    QCOMPARE(m_hotel->count(QStringLiteral("GuestInRecord")), 1);
}

void TestBackup::restore_refusedWhileAnotherDeskHasTheFile()
{
    const QString saved = m_hotel->env().programFile(QStringLiteral("saved.db"));
    QCOMPARE(backupDatabase(m_hotel->db(), saved).outcome, BackupOutcome::Done);
    m_hotel->addStay(QStringLiteral("101"));
    OtherDesk other(m_hotel->databaseFile());
    QSqlQuery read = Sql::exec(other.db(), QStringLiteral("SELECT count(*) FROM GuestInRecord"));
    QVERIFY(read.next());
    read.finish();

    const RestoreResult result = restoreDatabase(saved);
    QCOMPARE(result.outcome, RestoreOutcome::Failed);
    QVERIFY(!result.reason.isEmpty());
    QVERIFY(m_hotel->db().isOpen());
    QCOMPARE(m_hotel->count(QStringLiteral("GuestInRecord")), 1);
    QVERIFY(!QFile::exists(m_hotel->databaseFile() + QStringLiteral(".restoring")));
}

// Through the menu: the message comes after the reopen, and the board shows
// the restored stays on the next tick.
void TestBackup::restore_boardShowsRestoredStays()
{
    m_hotel->addOperator(QStringLiteral("admin"), QStringLiteral("1"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    const QString saved = m_hotel->env().programFile(QStringLiteral("saved.db"));
    m_hotel->addStay(QStringLiteral("102"));
    QCOMPARE(backupDatabase(m_hotel->db(), saved).outcome, BackupOutcome::Done);
    Sql::exec(m_hotel->db(), QStringLiteral("DELETE FROM GuestInRecord"));

    ScriptedPrompts prompts;
    prompts.setAnswerAll(true);
    TMainForm form;
    RoomsChanged = false;
    const auto occupied = [&] {
        int n = 0;
        for (const BoardItem &item : form.boardItems())
            n += item.imageIndex == 2 ? 1 : 0;
        return n;
    };
    QCOMPARE(occupied(), 0);
    prompts.clear();
    prompts.setAnswerAll(false);
    prompts.answerFile(saved);
    prompts.answerOk();
    form.N40Click();
    QCOMPARE(prompts.last().text, form.MessageText(6));
    form.Timer1Timer();
    QCOMPARE(occupied(), 1);
    QVERIFY(!RoomsChanged);
}

QTEST_MAIN(TestBackup)
#include "tst_backup.moc"
