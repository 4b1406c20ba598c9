#include "CheckIn.h"
#include "CsvExport.h"
#include "DoorRecordQuery.h"
#include "HotelFixture.h"
#include "HotelSetup.h"
#include "LockTestSupport.h"
#include "OperatorAdmin.h"
#include "Operators.h"
#include "ReliabilitySupport.h"
#include "Settings.h"

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
    };
}

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

        // District notes.
        QCOMPARE(Districts::add(db, QString::number(++district), text), Districts::AddResult::Added);
        QCOMPARE(stored(db, QStringLiteral("SELECT Notes FROM District WHERE DistrictNumber = ?"), district), text);

        // Searches.
        QVERIFY(DoorRecords::find(text, db).isEmpty());

        QMap<QString, int> expected = before;
        expected[QStringLiteral("GuestInRecord")] += 1;
        expected[QStringLiteral("MakeCardRecord")] += 1;
        expected[QStringLiteral("Operator")] += 1;
        expected[QStringLiteral("District")] += 1;
        QCOMPARE(tableCounts(db), expected);
        tried += 6;
    }
    QCOMPARE(scalarOf(db, QStringLiteral("SELECT RoomStr FROM RoomInfo")).toString(), QStringLiteral("101"));
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
