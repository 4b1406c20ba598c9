#include "Dialects.h"

#include "DbError.h"
#include "Schema.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QSqlRecord>
#include <QtTest>

#include <memory>

// The hotel database as both dialects build it.
class tst_Schema : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void columns_data();
    void columns();
    void seedRows_data();
    void seedRows();
    void defaults_data();
    void defaults();
    void refusals_data();
    void refusals();
    void uniqueIndexes_data();
    void uniqueIndexes();
    void indexPerLookup_data();
    void indexPerLookup();
    void dateDiff_data();
    void dateDiff();
    void dateDiffRefusals_data();
    void dateDiffRefusals();
    void desksTimeOnServerOfAnotherZone();
    void splitScript_data();
    void splitScript();
    void newDatabaseFile();

private:
    std::unique_ptr<Dialects> m_dialects;
};

namespace {
QStringList lowered(QStringList list)
{
    for (QString &s : list)
        s = s.toLower();
    return list;
}

QVariantList column(QSqlQuery query)
{
    QVariantList values;
    while (query.next())
        values << query.value(0);
    return values;
}
} // namespace

void tst_Schema::initTestCase()
{
    m_dialects = std::make_unique<Dialects>();
}

void tst_Schema::cleanupTestCase()
{
    m_dialects.reset();
}

void tst_Schema::columns_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("expected");
    const QStringList rights { "CheckIn", "CheckOut", "ClearCard", "TimeCard", "LostCard", "EmergentCard", "MasterCard",
        "BuildingCard", "FloorCard", "DistrictCard", "SystemInfo", "OperatorManage", "DataCard", "RoomType", "RoomInfo",
        "DistrictInfo" };
    const QList<QPair<QString, QStringList>> tables {
        { "RoomInfo",
            { "Room", "RoomStr", "SystemRoomStr", "Buiding", "Floor", "RoomNumber", "RoomTypeStr", "District",
                "RoomState", "CardSn", "RecID" } },
        { "RoomType", { "ID", "Title", "Size", "Piece" } },
        { "RoomStateType", { "ID", "State_Title" } },
        { "District", { "DistrictNumber", "Notes", "RecID" } },
        { "GuestInRecord",
            { "ID", "GuestName", "GuestID", "Room", "RoomStr", "Rom", "GuestInTime", "GuestLeaveTime", "LeaveTime",
                "enOverride", "InputUser", "InputTime", "MakeName", "CardCounts" } },
        { "MakeCardRecord",
            { "CardType", "Rom", "RoomStr", "Room", "Buiding", "Floor", "District", "Holder", "Explain", "MakeUser",
                "MakeName", "StartTime", "EndTime", "enOverride", "InputTime", "RecID" } },
        { "CardType", { "ID", "C_Title" } },
        { "AllCardSn", { "CardType", "CardSn", "RecID" } },
        { "KeyKindTable", { "KeyID", "KeyKind", "RecID" } },
        { "OpenDoorRecord",
            { "RoomStr", "Rom", "OpenTime", "CardType", "CardTypeStr", "CardHolderStr", "MakeName", "RecID" } },
        { "Operator", QStringList { "ID", "Staffer", "StafferName", "Pass", "Branch", "GroupID" } + rights },
        { "Groups", { "ID", "GroupName" } },
        { "SchemaVersion", { "Version" } },
    };
    for (const auto &[table, expected] : tables)
        m_dialects->newRows(qPrintable(table), [&](QTestData &row) { row << table << expected; });
}

void tst_Schema::columns()
{
    QFETCH(QString, dialect);
    QFETCH(QString, table);
    QFETCH(QStringList, expected);
    const QSqlDatabase db = m_dialects->db(dialect);
    const QSqlRecord record = db.record(Sql::isPostgres(db) ? table.toLower() : table);
    QStringList actual;
    for (int i = 0; i < record.count(); ++i)
        actual << record.fieldName(i);
    QCOMPARE(lowered(actual), lowered(expected));
}

void tst_Schema::seedRows_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QStringList>("expected");
    const QStringList titles { "1 清除卡", "2 校时卡", "3 应急卡", "4 客人卡", "5 楼层卡", "6 区域卡", "8 楼号卡",
        "10 总控卡", "12 终止卡", "14 采集启动卡" };
    m_dialects->newRows("room states", [](QTestData &row) {
        row << "SELECT ID || ' ' || State_Title FROM RoomStateType ORDER BY ID" << QStringList { "0 正常", "1 维修" };
    });
    m_dialects->newRows("card types",
        [&](QTestData &row) { row << "SELECT ID || ' ' || C_Title FROM CardType ORDER BY ID" << titles; });
    m_dialects->newRows("key kinds",
        [&](QTestData &row) { row << "SELECT KeyID || ' ' || KeyKind FROM KeyKindTable ORDER BY KeyID" << titles; });
    m_dialects->newRows("counters", [](QTestData &row) {
        row << "SELECT CardType || ' ' || CardSn FROM AllCardSn ORDER BY CardType"
            << QStringList { "1 0", "2 0", "3 0", "4 0", "5 0", "6 0", "7 0", "9 0", "13 0" };
    });
    m_dialects->newRows(
        "schema version", [](QTestData &row) { row << "SELECT Version FROM SchemaVersion" << QStringList { "1" }; });
    m_dialects->newRows("no operators, rooms or groups", [](QTestData &row) {
        row << "SELECT (SELECT count(*) FROM Operator) + (SELECT count(*) FROM RoomInfo) + (SELECT count(*) FROM "
               "Groups)"
            << QStringList { "0" };
    });
}

void tst_Schema::seedRows()
{
    QFETCH(QString, dialect);
    QFETCH(QString, sql);
    QFETCH(QStringList, expected);
    QStringList actual;
    for (const QVariant &v : column(Sql::exec(m_dialects->db(dialect), sql)))
        actual << v.toString();
    QCOMPARE(actual, expected);
}

void tst_Schema::defaults_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("insert");
    QTest::addColumn<QString>("select");
    QTest::addColumn<QString>("expected");
    m_dialects->newRows("room: state 0, counter 0", [](QTestData &row) {
        row << "INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES ('101', 1, 1, 1)"
            << "SELECT RoomState || ' ' || CardSn || ' ' || (RoomStateType.ID IS NOT NULL) FROM RoomInfo "
               "LEFT JOIN RoomStateType ON RoomStateType.ID = RoomInfo.RoomState"
            << "0 0 1";
    });
    m_dialects->newRows("stay: live, one card", [](QTestData &row) {
        row << "INSERT INTO GuestInRecord (RoomStr) VALUES ('101')"
            << "SELECT enOverride || ' ' || CardCounts FROM GuestInRecord"
            << "0 1";
    });
    m_dialects->newRows("counter: 0", [](QTestData &row) {
        row << "INSERT INTO AllCardSn (CardType) VALUES (20)"
            << "SELECT CardSn FROM AllCardSn WHERE CardType = 20"
            << "0";
    });
    m_dialects->newRows("operator: no rights, no group", [](QTestData &row) {
        row << "INSERT INTO Operator (Staffer) VALUES ('a')"
            << "SELECT (GroupID IS NULL) || ' ' || (CheckIn OR CheckOut OR SystemInfo OR DistrictInfo) FROM Operator"
            << "1 0";
    });
}

void tst_Schema::defaults()
{
    QFETCH(QString, dialect);
    QFETCH(QString, insert);
    QFETCH(QString, select);
    QFETCH(QString, expected);
    const QSqlDatabase db = m_dialects->db(dialect);
    WriteTransaction tx(db); // left uncommitted: rolled back
    Sql::exec(db, insert);
    QSqlQuery query = Sql::exec(db, select);
    QVERIFY(query.next());
    QString actual = query.value(0).toString();
    // The server writes booleans as true/false.
    actual.replace(QLatin1String("true"), QLatin1String("1")).replace(QLatin1String("false"), QLatin1String("0"));
    QCOMPARE(actual, expected);
}

void tst_Schema::refusals_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sql");
    const QList<QPair<const char *, QString>> cases {
        { "room without door-plate",
            "INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES (NULL, 1, 1, 1)" },
        { "room with empty door-plate",
            "INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES ('', 1, 1, 1)" },
        { "room without floor", "INSERT INTO RoomInfo (RoomStr, Buiding, RoomNumber) VALUES ('102', 1, 1)" },
        { "room number as text",
            "INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES ('103', 1, 1, 'abc')" },
        { "room counter NULL",
            "INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber, CardSn) VALUES ('104', 1, 1, 1, NULL)" },
        { "room type without title", "INSERT INTO RoomType (Size) VALUES (2)" },
        { "stay override NULL", "INSERT INTO GuestInRecord (RoomStr, enOverride) VALUES ('101', NULL)" },
        { "operator right NULL", "INSERT INTO Operator (Staffer, CheckIn) VALUES ('b', NULL)" },
        { "date-time not a date", "INSERT INTO GuestInRecord (GuestInTime) VALUES ('abc')" },
        { "date-time with a day that does not exist",
            "INSERT INTO GuestInRecord (GuestInTime) VALUES ('2023-02-29 10:00:00')" },
    };
    for (const auto &[name, sql] : cases)
        m_dialects->newRows(name, [&](QTestData &row) { row << sql; });
    // The embedded file keeps one text form only, so that text order stays time order.
    QTest::newRow("sqlite: date-time with T")
        << "sqlite"
        << "INSERT INTO GuestInRecord (GuestInTime) VALUES ('2024-01-01T10:00:00')";
    QTest::newRow("sqlite: date-time without seconds")
        << "sqlite"
        << "INSERT INTO GuestInRecord (GuestInTime) VALUES ('2024-01-01 10:00')";
    QTest::newRow("sqlite: right 2") << "sqlite"
                                     << "INSERT INTO Operator (Staffer, CheckIn) VALUES ('c', 2)";
}

void tst_Schema::refusals()
{
    QFETCH(QString, dialect);
    QFETCH(QString, sql);
    const QSqlDatabase db = m_dialects->db(dialect);
    WriteTransaction tx(db);
    QVERIFY_THROWS_EXCEPTION(DbError, Sql::exec(db, sql));
}

void tst_Schema::uniqueIndexes_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    m_dialects->newRows("door-plate", [](QTestData &row) {
        row << "INSERT INTO RoomInfo (RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) VALUES ('201', '010201', 1, "
               "2, 1)"
            << "INSERT INTO RoomInfo (RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) VALUES ('201', '010202', 1, "
               "2, 2)";
    });
    m_dialects->newRows("system room number", [](QTestData &row) {
        row << "INSERT INTO RoomInfo (RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) VALUES ('201', '010201', 1, "
               "2, 1)"
            << "INSERT INTO RoomInfo (RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) VALUES ('202', '010201', 1, "
               "2, 1)";
    });
    m_dialects->newRows("district number", [](QTestData &row) {
        row << "INSERT INTO District (DistrictNumber) VALUES (3)"
            << "INSERT INTO District (DistrictNumber) VALUES (3)";
    });
    m_dialects->newRows("counter code", [](QTestData &row) {
        row << "SELECT 1"
            << "INSERT INTO AllCardSn (CardType, CardSn) VALUES (4, 7)";
    });
    m_dialects->newRows("login name in another case", [](QTestData &row) {
        row << "INSERT INTO Operator (Staffer) VALUES ('Admin')"
            << "INSERT INTO Operator (Staffer) VALUES ('aDMIN')";
    });
}

void tst_Schema::uniqueIndexes()
{
    QFETCH(QString, dialect);
    QFETCH(QString, first);
    QFETCH(QString, second);
    const QSqlDatabase db = m_dialects->db(dialect);
    WriteTransaction tx(db);
    Sql::exec(db, first);
    try {
        Sql::exec(db, second);
        QFAIL("the second row was stored");
    } catch (const DbError &error) {
        QVERIFY2(error.isUniqueViolation(), qPrintable(error.text() + " / " + error.nativeCode()));
    }
}

void tst_Schema::indexPerLookup_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("lookup");
    QTest::addColumn<QString>("index"); // empty: any index
    const QList<QPair<QString, QString>> lookups {
        { "SELECT * FROM GuestInRecord WHERE RoomStr = '101' AND enOverride = 0", "GuestInRecord_RoomStr" },
        { "SELECT * FROM GuestInRecord WHERE Rom = '0102030A' AND enOverride = 0", "GuestInRecord_Rom" },
        { "SELECT * FROM GuestInRecord WHERE Room = 1 AND enOverride = 0", "GuestInRecord_LiveRoom" },
        { "SELECT * FROM MakeCardRecord WHERE InputTime >= '2024-01-01 00:00:00' AND InputTime < '2024-02-01 "
          "00:00:00'",
            "MakeCardRecord_InputTime" },
        { "SELECT * FROM MakeCardRecord WHERE CardType = 4 AND Rom = '0102030A' ORDER BY InputTime DESC",
            "MakeCardRecord_Card" },
        { "SELECT * FROM MakeCardRecord WHERE CardType IN (4) AND InputTime >= '2024-01-01 00:00:00' AND InputTime "
          "< '2024-01-08 00:00:00'",
            "MakeCardRecord_TypeTime" },
        { "SELECT * FROM OpenDoorRecord WHERE RoomStr = '101'", "OpenDoorRecord_RoomStr" },
        { "SELECT * FROM RoomInfo WHERE Buiding = 1 AND Floor = 2 AND RoomNumber = 3", "RoomInfo_Place" },
        { "SELECT * FROM RoomInfo WHERE Room = 1", "RoomInfo_Room" },
        { "SELECT * FROM RoomInfo WHERE RoomStr = '101'", "" },
        { "SELECT * FROM AllCardSn WHERE CardType = 4", "" },
        { "SELECT * FROM Operator WHERE lower(Staffer) = lower('Admin')", "Operator_Staffer" },
    };
    for (const auto &[lookup, index] : lookups)
        m_dialects->newRows(qPrintable(lookup.section(QLatin1String(" WHERE"), 0, 0).section(' ', -1) + " "
                                + lookup.section(QLatin1String("WHERE "), 1)),
            [&](QTestData &row) { row << lookup << index; });
}

void tst_Schema::indexPerLookup()
{
    QFETCH(QString, dialect);
    QFETCH(QString, lookup);
    QFETCH(QString, index);
    const QSqlDatabase db = m_dialects->db(dialect);
    const bool server = Sql::isPostgres(db);
    // The server would scan a table this small whatever its indexes.
    if (server)
        Sql::execDirect(db, QStringLiteral("SET enable_seqscan = off"));
    QStringList plan;
    QSqlQuery query(db); // not prepared: the server prepares no EXPLAIN
    QVERIFY(query.exec((server ? "EXPLAIN " : "EXPLAIN QUERY PLAN ") + lookup));
    while (query.next())
        plan << query.value(server ? 0 : 3).toString();
    if (server)
        Sql::execDirect(db, QStringLiteral("RESET enable_seqscan"));
    const QString text = plan.join(QLatin1Char('\n'));
    QVERIFY2(text.contains(QLatin1String("index"), Qt::CaseInsensitive), qPrintable(text));
    QVERIFY2(!text.contains(QLatin1String("Seq Scan")) && !text.contains(QRegularExpression("^SCAN \\w+$")),
        qPrintable(text));
    if (!index.isEmpty())
        QVERIFY2(text.contains(index, Qt::CaseInsensitive), qPrintable(text));
}

void tst_Schema::dateDiff_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QVariant>("expected");
    struct Case {
        const char *name, *unit, *from, *to;
        QVariant expected;
    };
    const QList<Case> cases {
        { "a second past midnight is a day", "d", "2024-05-01 23:59:59", "2024-05-02 00:00:00", 1 },
        { "the same day", "dd", "2024-05-01 00:00:00", "2024-05-01 23:59:59", 0 },
        { "backwards", "day", "2024-05-03 12:00:00", "2024-05-01 12:00:00", -2 },
        { "across a leap day", "DAY", "2024-02-28 10:00:00", "2024-03-01 09:00:00", 2 },
        { "across a year", "Dd", "2023-12-31 23:00:00", "2024-01-01 01:00:00", 1 },
        { "a minute to the hour", "h", "2024-05-01 10:59:00", "2024-05-01 11:00:00", 1 },
        { "within the hour", "hh", "2024-05-01 10:00:00", "2024-05-01 10:59:59", 0 },
        { "hours across midnight", "HOUR", "2024-05-01 22:30:00", "2024-05-02 01:10:00", 3 },
        { "hours backwards", "Hh", "2024-05-01 11:00:00", "2024-05-01 10:59:59", -1 },
        { "a second to the minute", "n", "2024-05-01 10:00:59", "2024-05-01 10:01:00", 1 },
        { "minutes across a day", "MI", "2024-05-01 23:58:30", "2024-05-02 00:02:00", 4 },
        { "minutes backwards", "Minute", "2024-05-01 10:05:00", "2024-05-01 10:00:00", -5 },
        { "no start", "d", nullptr, "2024-05-01 10:00:00", QVariant() },
        { "no end", "n", "2024-05-01 10:00:00", nullptr, QVariant() },
    };
    for (const Case &c : cases)
        m_dialects->newRows(c.name, [&](QTestData &row) {
            row << QString::fromLatin1(c.unit) << QString::fromLatin1(c.from) << QString::fromLatin1(c.to)
                << c.expected;
        });
    QTest::newRow("sqlite: date without time") << "sqlite"
                                               << "d"
                                               << "2024-05-01"
                                               << "2024-05-03 00:00" << QVariant(2);
}

void tst_Schema::dateDiff()
{
    QFETCH(QString, dialect);
    QFETCH(QString, unit);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QVariant, expected);
    const QSqlDatabase db = m_dialects->db(dialect);
    const QString cast = Sql::isPostgres(db) ? QStringLiteral("CAST(? AS timestamp)") : QStringLiteral("?");
    const QVariant nullText(QMetaType(QMetaType::QString));
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT DateDiff(?, %1, %1)").arg(cast),
        { unit, from.isNull() ? nullText : from, to.isNull() ? nullText : to });
    QVERIFY(query.next());
    if (expected.isNull())
        QVERIFY(query.value(0).isNull());
    else
        QCOMPARE(query.value(0).toLongLong(), expected.toLongLong());
}

void tst_Schema::dateDiffRefusals_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<QString>("sql");
    m_dialects->newRows("unknown unit", [](QTestData &row) {
        row << "SELECT DateDiff('week', InputTime, InputTime) FROM (SELECT CAST('2024-01-01 00:00:00' AS "
               "timestamp) AS InputTime) t";
    });
    for (const char *text : { "2024-1-1 10:00:00", "2024-01-01T10:00:00", "2024-13-01 10:00:00", "yesterday" })
        QTest::newRow(qPrintable(QStringLiteral("sqlite: ") + QLatin1String(text)))
            << "sqlite" << QStringLiteral("SELECT DateDiff('d', '%1', '2024-01-01 10:00:00')").arg(QLatin1String(text));
}

void tst_Schema::dateDiffRefusals()
{
    QFETCH(QString, dialect);
    QFETCH(QString, sql);
    const QSqlDatabase db = m_dialects->db(dialect);
    QVERIFY_THROWS_EXCEPTION(DbError, {
        QSqlQuery query = Sql::exec(db, sql);
        query.next();
        if (query.lastError().isValid())
            throw DbError::fromQuery(query);
    });
}

// The desk is in Shanghai, the server keeps UTC: what the desk stores and
// what the database stamps are both the desk's clock.
void tst_Schema::desksTimeOnServerOfAnotherZone()
{
    if (!m_dialects->server())
        QSKIP("no test server");
    QCOMPARE(QTimeZone::systemTimeZoneId(), QByteArray("Asia/Shanghai"));
    const QSqlDatabase admin = m_dialects->server()->open(QStringLiteral("zone-admin"), true);
    Sql::execDirect(admin, QStringLiteral("ALTER DATABASE %1 SET TimeZone = 'UTC'").arg(m_dialects->server()->name()));
    const QSqlDatabase db = m_dialects->server()->open(QStringLiteral("zone-desk"));
    QSqlQuery zone = Sql::exec(db, QStringLiteral("SELECT current_setting('TimeZone')"));
    QVERIFY(zone.next());
    QCOMPARE(zone.value(0).toString(), QStringLiteral("Asia/Shanghai"));
    zone.finish();

    WriteTransaction tx(db);
    const QDateTime guestIn(QDate(2024, 3, 1), QTime(8, 30, 15));
    QSqlQuery insert
        = Sql::prepare(db, QStringLiteral("INSERT INTO GuestInRecord (RoomStr, GuestInTime) VALUES ('9', ?)"));
    Sql::bindDateTime(insert, 0, guestIn);
    Sql::exec(insert);
    QSqlQuery read = Sql::exec(db,
        QStringLiteral("SELECT GuestInTime, InputTime, CAST(GuestInTime AS text) FROM "
                       "GuestInRecord WHERE RoomStr = '9'"));
    QVERIFY(read.next());
    QCOMPARE(Sql::readDateTime(read.value(0)), guestIn);
    QCOMPARE(read.value(2).toString(), QStringLiteral("2024-03-01 08:30:15"));
    const qint64 drift = Sql::readDateTime(read.value(1)).secsTo(QDateTime::currentDateTime());
    QVERIFY2(qAbs(drift) < 120, qPrintable(QString::number(drift)));
}

void tst_Schema::splitScript_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QStringList>("statements");
    QTest::newRow("plain") << "SELECT 1;\nSELECT 2" << QStringList { "SELECT 1", "SELECT 2" };
    QTest::newRow("quoted ;") << "INSERT INTO t VALUES ('a;b', 'it''s;');"
                              << QStringList { "INSERT INTO t VALUES ('a;b', 'it''s;')" };
    QTest::newRow("quoted name") << "SELECT \"a;b\" FROM t;" << QStringList { "SELECT \"a;b\" FROM t" };
    QTest::newRow("comments") << "-- one; two\nSELECT 1; /* three; */ SELECT 2;\n-- four;\n"
                              << QStringList { "SELECT 1", "SELECT 2" };
    QTest::newRow("function body") << "CREATE FUNCTION f() RETURNS int AS $$ BEGIN RETURN 1; END; $$ LANGUAGE plpgsql;"
                                      " SELECT f()"
                                   << QStringList { "CREATE FUNCTION f() RETURNS int AS $$ BEGIN RETURN 1; END; $$ "
                                                    "LANGUAGE plpgsql",
                                          "SELECT f()" };
    QTest::newRow("tagged body") << "SELECT $x$ a; $$ b; $x$; SELECT $1"
                                 << QStringList { "SELECT $x$ a; $$ b; $x$", "SELECT $1" };
    QTest::newRow("empty statements") << " ; ;\n" << QStringList {};
}

void tst_Schema::splitScript()
{
    QFETCH(QString, script);
    QFETCH(QStringList, statements);
    QCOMPARE(splitSqlScript(script), statements);
}

// A new file is built aside and named at the end; an existing one is never touched.
void tst_Schema::newDatabaseFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lock.db"));
    const QString tool = QDir(TestEnv::binDir()).filePath(QStringLiteral("tarvane-newdb"));
    QCOMPARE(QProcess::execute(tool, { path }), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "lock.db" });
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("made"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT Version FROM SchemaVersion"));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toInt(), 1);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("made"));

    QFile existing(path);
    QVERIFY(existing.open(QIODevice::WriteOnly | QIODevice::Truncate));
    existing.write("guest data");
    existing.close();
    QCOMPARE(QProcess::execute(tool, { path }), 1);
    QVERIFY_THROWS_EXCEPTION(DbError, createEmbeddedDatabase(path));
    QVERIFY_THROWS_EXCEPTION(DbError, createEmbeddedDatabase(dir.filePath(QStringLiteral("no/such/lock.db"))));
    QVERIFY(existing.open(QIODevice::ReadOnly));
    QCOMPARE(existing.readAll(), QByteArray("guest data"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "lock.db" });
}

int main(int argc, char *argv[])
{
    // Set before anything reads the zone.
    qputenv("TZ", "Asia/Shanghai");
    QCoreApplication app(argc, argv);
    tst_Schema test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_schema.moc"
