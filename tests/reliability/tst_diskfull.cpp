#include "CheckIn.h"
#include "Connection.h"
#include "DbError.h"
#include "HotelSetup.h"
#include "LockTestSupport.h"
#include "Operators.h"
#include "ReliabilitySupport.h"
#include "Settings.h"
#include "SpecialCard.h"
#include "WriteTransaction.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlRecord>
#include <QTest>

#include <functional>

// The embedded database file stops taking writes: the disk fills up, or the
// file becomes read-only. Every write says so with SQLite's own text, keeps
// nothing of itself, and once the file takes writes again the same operation
// goes through and everything committed before is intact.
namespace {

const SpecialCardKind &floorCard()
{
    return specialCardKind(FloorCardPage);
}

// What the desk has committed, and the rules that tie its parts together.
struct Books {
    RoomCards guest;
    qlonglong floorCounter = 0;
    int floorJournal = 0;
    int districts = 0;
    QString stays; // every stay but its card count (one more card updates it), in ID order
    QString journal; // every journal row, in ID order

    static QString dump(const QSqlDatabase &db, const QString &sql)
    {
        QString rows;
        QSqlQuery query = Sql::exec(db, sql);
        while (query.next())
            for (int i = 0; i < query.record().count(); ++i)
                rows += query.value(i).toString() + (i + 1 < query.record().count() ? u'|' : u'\n');
        return rows;
    }

    static Books of(const QSqlDatabase &db)
    {
        Books books;
        books.guest = roomCards(db).value(QStringLiteral("101"));
        books.floorCounter = scalarOf(
            db, QStringLiteral("SELECT CardSn FROM AllCardSn WHERE CardType = %1").arg(floorCard().counterCode))
                                 .toLongLong();
        books.floorJournal = scalarOf(
            db, QStringLiteral("SELECT count(*) FROM MakeCardRecord WHERE CardType = %1").arg(floorCard().journalType))
                                 .toInt();
        books.districts = scalarOf(db, QStringLiteral("SELECT count(*) FROM District")).toInt();
        books.stays = dump(db, QStringLiteral("SELECT ID, RoomStr, GuestName, GuestID FROM GuestInRecord ORDER BY ID"));
        books.journal
            = dump(db, QStringLiteral("SELECT RecID, CardType, Rom, RoomStr FROM MakeCardRecord ORDER BY RecID"));
        return books;
    }
};

// A journal row for every counter advance and a stay card for every guest
// journal row: no card half-recorded.
void verifyWhole(const Books &books, qlonglong floorCounterBase)
{
    QCOMPARE(books.guest.journal, int(books.guest.counter));
    QCOMPARE(books.guest.staysCount, books.guest.journal);
    QCOMPARE(books.guest.distinct, books.guest.journal);
    QCOMPARE(books.floorCounter - floorCounterBase, qlonglong(books.floorJournal));
}

// Runs an operation until the database refuses it; SQLite's text, or empty
// when it never did. Operations that went through are counted; an encoder
// refusal ends the run with no text.
QString untilRefused(const std::function<int16_t()> &operation, int *succeeded)
{
    for (int i = 0; i < 500; ++i) {
        try {
            const int16_t result = operation();
            if (result != 1) {
                qWarning("encoder answered %d", result);
                return {};
            }
            ++*succeeded;
        } catch (const DbError &error) {
            return error.text();
        }
    }
    return {};
}

bool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// The program's connection closed and opened again, as at the next start.
void reopen(QSqlDatabase db)
{
    db.close();
    QVERIFY2(db.open(), qPrintable(db.lastError().text()));
    try {
        configureConnection(db);
    } catch (const DbError &) {
        // As at start-up: the first statement says what is wrong.
    }
}

// One way of making the file refuse writes, and of undoing it.
struct Obstacle {
    const char *name;
    QString expectedText; // part of SQLite's text
    std::function<void()> apply;
    std::function<void()> remove;
};

} // namespace

class TestDiskFull : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pageLimit();
    void fullFileSystem();
    void readOnlyFile();

private:
    struct Desk {
        HotelFixture hotel;
        std::unique_ptr<Simulator> sim;
        qlonglong floorCounterBase = 0;
        int district = 0;
        QSqlDatabase db() const { return hotel.db(); }
    };
    void setUp(Desk &desk);
    void survive(Desk &desk, const Obstacle &obstacle);
};

void TestDiskFull::setUp(Desk &desk)
{
    QVERIFY(desk.hotel.isOpen());
    desk.hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
    desk.hotel.env().copyFromBin(QStringLiteral("Dll"));
    desk.sim = std::make_unique<Simulator>(desk.hotel.env().programFile(QStringLiteral("libHotelLock.so")));
    desk.sim->Reset();
    desk.sim->PutBlankCard();
    addTestRooms(desk.hotel, 1);
    desk.hotel.addOperator(QStringLiteral("admin"), QStringLiteral("pw"), operatorRightColumns());
    SystemSettings.Staffer = QStringLiteral("admin");
    desk.floorCounterBase = Books::of(desk.db()).floorCounter;
}

void TestDiskFull::survive(Desk &desk, const Obstacle &obstacle)
{
    const QSqlDatabase db = desk.db();
    CheckInRequest guest;
    guest.roomStr = QStringLiteral("101");
    guest.start = QDateTime::currentDateTime();
    guest.end = guest.start.addDays(1);
    guest.guestName = QStringLiteral("Guest of 101");
    guest.guestId = QStringLiteral("ID-42");
    SpecialCardRequest floor;
    floor.page = FloorCardPage;
    floor.start = guest.start;
    floor.end = guest.end;
    floor.building = 1;
    floor.floor = 1;
    floor.holder = QStringLiteral("Housekeeping");
    // A blank card goes on the encoder for every issue, as at the desk.
    const auto checkIn = [&] {
        desk.sim->PutBlankCard();
        return issueCheckInCard(guest, db);
    };
    const auto special = [&] {
        desk.sim->PutBlankCard();
        return issueSpecialCard(floor, db);
    };
    const auto addDistrict = [&] {
        (void)Districts::add(db, QString::number(++desk.district), QStringLiteral("wing"));
        return int16_t(1);
    };
    const QList<std::function<int16_t()>> operations { checkIn, special, addDistrict };

    // Business as usual first.
    for (const auto &operation : operations)
        QCOMPARE(operation(), int16_t(1));
    const Books committed = Books::of(db);
    verifyWhole(committed, desk.floorCounterBase);

    obstacle.apply();
    if (QTest::currentTestFailed())
        return;
    int succeeded = 0;
    for (const auto &operation : operations) {
        const QString text = untilRefused(operation, &succeeded);
        QVERIFY2(!text.isEmpty(), "the write was never refused");
        QVERIFY2(text.contains(obstacle.expectedText), qPrintable(text));
        QVERIFY(!WriteTransaction::isActive(db));
    }
    // Writes that still fitted before the refusal stay; nothing of the refused ones.
    const Books refused = Books::of(db);
    verifyWhole(refused, desk.floorCounterBase);
    QVERIFY(refused.stays.startsWith(committed.stays));
    QVERIFY(refused.journal.startsWith(committed.journal));
    if (succeeded == 0) {
        QCOMPARE(refused.stays, committed.stays);
        QCOMPARE(refused.journal, committed.journal);
    }

    obstacle.remove();
    if (QTest::currentTestFailed())
        return;
    for (const auto &operation : operations)
        QCOMPARE(operation(), int16_t(1));
    const Books after = Books::of(db);
    verifyWhole(after, desk.floorCounterBase);
    QVERIFY(after.stays.startsWith(refused.stays));
    QVERIFY(after.journal.startsWith(refused.journal));
    QCOMPARE(after.guest.journal, refused.guest.journal + 1);
    QCOMPARE(after.floorJournal, refused.floorJournal + 1);
    QCOMPARE(after.districts, refused.districts + 1);
    QCOMPARE(scalarOf(db, QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    qInfo("reliability: %s survived yes", obstacle.name);
}

// The file may grow no further than a few pages: SQLite answers as for a full disk.
void TestDiskFull::pageLimit()
{
    Desk desk;
    setUp(desk);
    const QSqlDatabase db = desk.db();
    Obstacle limit { "disk full", QStringLiteral("database or disk is full"),
        [&] {
            const qlonglong pages = scalarOf(db, QStringLiteral("PRAGMA page_count")).toLongLong();
            scalarOf(db, QStringLiteral("PRAGMA max_page_count = %1").arg(pages + 2));
        },
        [&] { scalarOf(db, QStringLiteral("PRAGMA max_page_count = 1073741823")); } };
    survive(desk, limit);
}

// The database's folder on a small file system of its own, filled to the last byte.
void TestDiskFull::fullFileSystem()
{
    Desk desk;
    setUp(desk);
    QSqlDatabase db = desk.db();
    const QString folder = QFileInfo(desk.hotel.databaseFile()).absolutePath();
    const QString saved = desk.hotel.env().programFile(QStringLiteral("lock.db.saved"));
    db.close();
    QVERIFY(QFile::rename(desk.hotel.databaseFile(), saved));
    const qint64 size = QFileInfo(saved).size() + 1024 * 1024;
    if (!run(QStringLiteral("mount"),
            { QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), QStringLiteral("size=%1").arg(size),
                QStringLiteral("tmpfs"), folder })) {
        QVERIFY(QFile::rename(saved, desk.hotel.databaseFile()));
        QSKIP("mounting a file system is not permitted here");
    }
    const auto unmount = qScopeGuard([&] {
        db.close();
        run(QStringLiteral("umount"), { QStringLiteral("-l"), folder });
    });
    QVERIFY(QFile::copy(saved, desk.hotel.databaseFile()));
    reopen(db);

    const QString filler = QDir(folder).filePath(QStringLiteral("filler"));
    Obstacle full { "disk full on a file system", QStringLiteral("database or disk is full"),
        [&] {
            // An empty write-ahead log, so that the next write needs new space.
            QSqlQuery checkpoint = Sql::exec(db, QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
            QVERIFY(checkpoint.next() && checkpoint.value(0).toInt() == 0);
            checkpoint.finish();
            QFile file(filler);
            QVERIFY(file.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'f');
            while (file.write(block) == block.size() && file.flush()) { }
        },
        [&] { QVERIFY(QFile::remove(filler)); } };
    survive(desk, full);
}

// The file on a read-only mount at the next start; where mounting is not
// permitted, the connection opened read-only. Root ignores file modes, so
// chmod proves nothing. Another desk's connection stays open meanwhile, so
// the write-ahead files stay and the file can still be read.
void TestDiskFull::readOnlyFile()
{
    Desk desk;
    setUp(desk);
    QSqlDatabase db = desk.db();
    const QString folder = QFileInfo(desk.hotel.databaseFile()).absolutePath();
    const QString uri = db.databaseName();
    const QString otherDesk = QStringLiteral("other desk");
    bool mounted = false;
    const auto cleanUp = qScopeGuard([&] {
        if (mounted) {
            db.close();
            run(QStringLiteral("umount"), { QStringLiteral("-l"), folder });
        }
        QSqlDatabase::database(otherDesk, false).close();
        QSqlDatabase::removeDatabase(otherDesk);
    });
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), otherDesk);
        other.setDatabaseName(desk.hotel.databaseFile());
        QVERIFY(other.open());
        configureConnection(other);
        QCOMPARE(scalarOf(other, QStringLiteral("SELECT count(*) FROM RoomInfo")).toInt(), 1);
    }
    Obstacle readOnly { "read-only file", QStringLiteral("readonly"),
        [&] {
            db.close();
            mounted = run(QStringLiteral("mount"), { QStringLiteral("--bind"), folder, folder });
            if (mounted
                && !run(QStringLiteral("mount"), { QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), folder })) {
                run(QStringLiteral("umount"), { folder });
                mounted = false;
            }
            if (!mounted) {
                QVERIFY(uri.contains(QStringLiteral("mode=rw")));
                db.setDatabaseName(QString(uri).replace(QStringLiteral("mode=rw"), QStringLiteral("mode=ro")));
            }
            qInfo("reliability: read-only by %s", mounted ? "a read-only mount" : "opening read-only");
            reopen(db);
        },
        [&] {
            db.close();
            if (mounted) {
                QVERIFY(run(QStringLiteral("umount"), { folder }));
                mounted = false;
            }
            db.setDatabaseName(uri);
            reopen(db);
        } };
    survive(desk, readOnly);
}

QTEST_GUILESS_MAIN(TestDiskFull)
#include "tst_diskfull.moc"
