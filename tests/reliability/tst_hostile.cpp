#include "CheckIn.h"
#include "CsvExport.h"
#include "DoorRecordQuery.h"
#include "HotelFixture.h"
#include "HotelSetup.h"
#include "LockTestSupport.h"
#include "Login.h"
#include "OperatorAdmin.h"
#include "Operators.h"
#include "PasswordChange.h"
#include "Paths.h"
#include "ReliabilitySupport.h"
#include "Settings.h"
#include "WriteTransaction.h"

#include <QFile>
#include <QSqlTableModel>
#include <QTest>

#include <sodium.h>

namespace {

// Texts that have broken statements, lookups and spreadsheets elsewhere.
QStringList hostileTexts()
{
    return {
        QStringLiteral("O'Brien"),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'; DROP TABLE RoomInfo; --"),
        QStringLiteral("100%_off"),
        QStringLiteral("back\\slash\\"),
        QString(10000, QLatin1Char('x')),
        QStringLiteral("tab\there\nnew line\x01\x7f"),
        QString::fromUtf8("emoji 🙂 and עברית right-to-left"),
        QStringLiteral("  spaces around  "),
        QStringLiteral("=1+2"),
        QStringLiteral("+SUM(A1)"),
        QStringLiteral("-2"),
        QStringLiteral("@cmd"),
        // Profile-file lines: a section, a comment, a key smuggled behind a line break.
        QStringLiteral("[Client Config]"),
        QStringLiteral("; x=1"),
        QStringLiteral("x\r\nDbPath=/tmp/other.db"),
    };
}

// The change-password window's edits hold at most this many characters.
constexpr int ChangedPasswordLength = 8;

// Row counts of every table a desk writes, to see that nothing else changed.
QMap<QString, int> tableCounts(const QSqlDatabase &db)
{
    QMap<QString, int> counts;
    for (const char *table : { "RoomInfo", "GuestInRecord", "MakeCardRecord", "Operator", "District", "RoomType",
             "OpenDoorRecord", "AllCardSn" })
        counts.insert(
            QLatin1String(table), scalarOf(db, QStringLiteral("SELECT count(*) FROM ") + QLatin1String(table)).toInt());
    return counts;
}

QString stored(const QSqlDatabase &db, const QString &sql, const QVariant &key)
{
    QSqlQuery query = Sql::exec(db, sql, { key });
    return query.next() ? query.value(0).toString() : QStringLiteral("<no row>");
}

// The login takes exactly the password, and not the same one with its last
// character changed (hashing costs a tenth of a second: one near miss only).
void checkLoginTakesOnly(const QSqlDatabase &db, const QString &login, const QString &password)
{
    QVERIFY(checkLogin(db, login, password));
    QString nearMiss = password;
    nearMiss.back() = nearMiss.back() == QLatin1Char('y') ? QLatin1Char('z') : QLatin1Char('y');
    QVERIFY2(!checkLogin(db, login, nearMiss), qPrintable(nearMiss.left(20)));
}

// Adds a room type as the room-type window does: a new row of the shared
// table object, posted inside one write transaction.
void addRoomType(const QString &title)
{
    DataSource *types = dm().RoomType_Ds();
    types->append();
    QSqlTableModel *model = types->model();
    model->setData(model->index(types->currentRow(), model->fieldIndex(QStringLiteral("Title"))), title);
    WriteTransaction tx(model->database());
    QVERIFY(types->post());
    tx.commit();
}

QByteArray profileBytes()
{
    QFile file(Paths::profilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The settings window's save: the hotel name comes back from Keldrix.ini as
// typed, or the save is refused and the file left as it was. A hostile leave
// time is always refused.
void saveHotelName(const QString &text)
{
    SystemInfoEdit edit;
    edit.LockType = 2;
    edit.HotelName = text;
    edit.DayCount = 3;
    edit.LeaveTimeText = QStringLiteral("13:30:00");
    edit.UseRoomID = true;
    const QByteArray before = profileBytes();
    const QString refusal = saveSystemInfo(edit);
    TSystemSettings read;
    loadSettings(read);
    if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) {
        QVERIFY(refusal.startsWith(QStringLiteral("Unable to write to ")));
        QCOMPARE(profileBytes(), before);
    } else {
        QCOMPARE(refusal, QString());
        QCOMPARE(read.HotelName, text);
        QCOMPARE(read.DayCount, 3);
        QCOMPARE(read.LeaveTime, QTime(13, 30));
        QVERIFY(read.UseRoomID);
        TLock_Info lock;
        loadLockInfo(lock);
        QCOMPARE(lock.LockType, uint8_t(2));
    }
    // The connection keys nobody writes stay absent.
    QCOMPARE(loadClientConfig().DbPath, Paths::inProgramDir(QStringLiteral("db/lock.db")));

    const QByteArray kept = profileBytes();
    edit.LeaveTimeText = text;
    QCOMPARE(saveSystemInfo(edit), QStringLiteral("'%1' is not a valid time").arg(text));
    QCOMPARE(profileBytes(), kept);
}

} // namespace

// Every hostile text is stored exactly as typed, or refused, and changes no
// other row; look-ups with it find nothing and fail nothing.
class TestHostile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(sodium_init() >= 0); }
    void texts_data();
    void texts();
    void csv_defusesFormulaStarts();
};

void TestHostile::texts_data()
{
    QTest::addColumn<bool>("postgres");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

void TestHostile::texts()
{
    QFETCH(bool, postgres);
    HotelFixture hotel(postgres);
    if (!hotel.isOpen())
        QSKIP("no PostgreSQL server configured");
    hotel.env().copyFromBin(QStringLiteral("libHotelLock.so"));
    hotel.env().copyFromBin(QStringLiteral("Dll"));
    Simulator sim(hotel.env().programFile(QStringLiteral("libHotelLock.so")));
    sim.Reset();
    sim.PutBlankCard();
    const QSqlDatabase db = hotel.db();
    addTestRooms(hotel, 1);
    SystemSettings.Staffer = QStringLiteral("admin");
    const OperatorAdmin operators(db);
    int tried = 0;
    int district = 10;
    int roomNumber = 0;
    for (const QString &text : hostileTexts()) {
        const QMap<QString, int> before = tableCounts(db);

        // Check-in: the guest's name and papers.
        CheckInRequest request;
        request.roomStr = QStringLiteral("101");
        request.start = QDateTime::currentDateTime();
        request.end = request.start.addDays(1);
        request.guestName = text;
        request.guestId = text;
        QCOMPARE(issueCheckInCard(request), int16_t(1));
        Sql::exec(db, QStringLiteral("UPDATE GuestInRecord SET enOverride = 1 WHERE RoomStr = '101'"));
        QSqlQuery stay = Sql::exec(db, QStringLiteral("SELECT GuestName, GuestID FROM GuestInRecord ORDER BY ID DESC"));
        QVERIFY(stay.next());
        // A name that is only blanks is stored as no name; any other exactly as typed.
        QCOMPARE(stay.value(0).toString(), text.trimmed().isEmpty() ? QString() : text);
        QCOMPARE(stay.value(1).toString(), text);
        stay.finish();

        // Operators: login and full name; the login then finds its row.
        const NewOperator op { text, text, {} };
        QCOMPARE(operators.add(op), OperatorAdmin::AddResult::Added);
        QCOMPARE(stored(db, QStringLiteral("SELECT StafferName FROM Operator WHERE Staffer = ?"), text), text);
        QVERIFY(findOperator(db, text));
        QVERIFY(findOperator(db, text)->pass.isEmpty()); // no password yet

        // Passwords: the first one as typed in the operators window, then a
        // change through the change-password window, whose edits hold eight
        // characters and whose rule drops outer blanks. Only their hash reaches
        // the database, so one database kind is enough.
        if (!postgres) {
            const std::optional<OperatorRow> row = findOperator(db, text);
            QVERIFY(row);
            QVERIFY(operators.setFirstPassword(row->id, text));
            checkLoginTakesOnly(db, text, text);
            PasswordChange change(db, text);
            QVERIFY(change.checkCurrent(text));
            const QString typed = text.left(ChangedPasswordLength);
            QCOMPARE(change.change(typed, typed), PasswordChange::Result::Changed);
            QVERIFY(checkLogin(db, text, typed.trimmed()));
            if (typed.trimmed() != text)
                QVERIFY(!checkLogin(db, text, text));
            tried += 2;
        }

        // Room type title, then a room with the text as door-plate and type.
        addRoomType(text);
        QCOMPARE(scalarOf(db, QStringLiteral("SELECT Title FROM RoomType ORDER BY ID DESC")).toString(), text);
        QVERIFY(Rooms::roomTypeTitles(db).contains(text));
        const Rooms::NewRoom room = Rooms::newRoom(QStringLiteral("02"), QStringLiteral("01"), ++roomNumber);
        QCOMPARE(Rooms::storeNew(db, room, text, text), QString());
        QCOMPARE(stored(db, QStringLiteral("SELECT RoomTypeStr FROM RoomInfo WHERE RoomStr = ?"), text), text);
        QCOMPARE(stored(db, QStringLiteral("SELECT SystemRoomStr FROM RoomInfo WHERE RoomStr = ?"), text),
            room.systemRoomStr);
        const Rooms::NewRoom again = Rooms::newRoom(QStringLiteral("02"), QStringLiteral("02"), roomNumber);
        QCOMPARE(Rooms::storeNew(db, again, text, QString()), Rooms::duplicateMessage(text));

        // District notes.
        QCOMPARE(Districts::add(db, QString::number(++district), text), Districts::AddResult::Added);
        QCOMPARE(stored(db, QStringLiteral("SELECT Notes FROM District WHERE DistrictNumber = ?"), district), text);

        // Searches.
        QVERIFY(DoorRecords::find(text, db).isEmpty());

        // Settings: hotel name and leave time.
        saveHotelName(text);
        if (QTest::currentTestFailed())
            return;

        QMap<QString, int> expected = before;
        expected[QStringLiteral("GuestInRecord")] += 1;
        expected[QStringLiteral("MakeCardRecord")] += 1;
        expected[QStringLiteral("Operator")] += 1;
        expected[QStringLiteral("District")] += 1;
        expected[QStringLiteral("RoomType")] += 1;
        expected[QStringLiteral("RoomInfo")] += 1;
        QCOMPARE(tableCounts(db), expected);
        tried += 11;
    }
    QCOMPARE(
        scalarOf(db, QStringLiteral("SELECT RoomStr FROM RoomInfo ORDER BY RecID")).toString(), QStringLiteral("101"));
    qInfo("reliability: hostile strings x fields tried %d", tried);
}

void TestHostile::csv_defusesFormulaStarts()
{
    for (const QString &text : hostileTexts()) {
        const QString cell = CsvExport::field(text);
        const QChar first = cell.startsWith(QLatin1Char('"')) ? cell.at(1) : cell.at(0);
        QVERIFY2(!QStringLiteral("=+-@").contains(first), qPrintable(cell.left(20)));
    }
}

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
