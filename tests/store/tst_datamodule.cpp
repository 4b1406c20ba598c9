#include "Dialects.h"

#include "Connection.h"
#include "DataModule.h"
#include "DbError.h"
#include "ScriptedPrompts.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QApplication>
#include <QComboBox>
#include <QSignalSpy>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QtTest>

#include <memory>

// The data module on both dialects: table objects, their data sources and
// the list fill.
class tst_DataModule : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void roomTypeStates_data() { dialectRows(); }
    void roomTypeStates();
    void refusedRowIsKept_data() { dialectRows(); }
    void refusedRowIsKept();
    void tableObjects_data() { dialectRows(); }
    void tableObjects();
    void listItems_data();
    void listItems();
    void fillIsQuiet_data() { dialectRows(); }
    void fillIsQuiet();
    void tableObjectLetsGoOfItsRows();

private:
    void dialectRows();
    Tdm &open(const QString &dialect);
    int rows(const QString &sql);

    std::unique_ptr<Dialects> m_dialects;
    std::unique_ptr<Tdm> m_dm;
};

void tst_DataModule::initTestCase()
{
    m_dialects = std::make_unique<Dialects>();
}

void tst_DataModule::cleanupTestCase()
{
    m_dialects.reset();
}

void tst_DataModule::init()
{
    for (const QString &dialect : m_dialects->names()) {
        const QSqlDatabase db = m_dialects->db(dialect);
        for (const char *table : { "RoomType", "RoomInfo", "District", "Operator", "MakeCardRecord" })
            Sql::exec(db, QStringLiteral("DELETE FROM ") + QLatin1String(table));
    }
}

void tst_DataModule::cleanup()
{
    m_dm.reset();
}

void tst_DataModule::dialectRows()
{
    QTest::addColumn<QString>("dialect");
    for (const QString &dialect : m_dialects->names())
        QTest::newRow(qPrintable(dialect)) << dialect;
}

Tdm &tst_DataModule::open(const QString &dialect)
{
    m_dm = std::make_unique<Tdm>();
    const QString name = QString::fromLatin1(Tdm::ConnectionName);
    if (dialect == QLatin1String("sqlite")) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(m_dialects->sqlitePath());
        if (!db.open())
            qFatal("cannot open the test database");
        configureConnection(db);
    } else {
        m_dialects->server()->open(name);
    }
    return dm();
}

int tst_DataModule::rows(const QString &sql)
{
    QSqlQuery query = Sql::exec(dm().conn(), sql);
    return query.next() ? query.value(0).toInt() : -1;
}

void tst_DataModule::roomTypeStates()
{
    QFETCH(QString, dialect);
    DataSource *ds = open(dialect).RoomType_Ds();
    QSqlTableModel *model = ds->model();
    QCOMPARE(model, dm().RoomType_ado());
    QCOMPARE(ds->state(), DataSource::Browse);
    QSignalSpy states(ds, &DataSource::stateChanged);
    const int title = model->fieldIndex(QStringLiteral("Title"));
    const int size = model->fieldIndex(QStringLiteral("Size"));

    ScriptedPrompts prompts;
    ds->append();
    QCOMPARE(ds->state(), DataSource::Insert);
    model->setData(model->index(ds->currentRow(), size), 2);
    // No title: refused with one box, the row stays as typed.
    prompts.answerOk();
    QVERIFY(!ds->post());
    QCOMPARE(prompts.asked.size(), 1);
    QCOMPARE(prompts.last().text, QStringLiteral("请输入房号！"));
    QCOMPARE(prompts.last().title, QString());
    QCOMPARE(prompts.last().icon, QMessageBox::Critical);
    QCOMPARE(ds->state(), DataSource::Insert);
    QCOMPARE(model->data(model->index(ds->currentRow(), size)).toInt(), 2);
    QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM RoomType")), 0);

    model->setData(model->index(ds->currentRow(), title), QStringLiteral("标准间"));
    QVERIFY(ds->post());
    QCOMPARE(ds->state(), DataSource::Browse);
    QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM RoomType WHERE Title = '标准间' AND Size = 2")), 1);

    // An emptied title in an edit is refused too; cancel brings the stored one back.
    ds->edit(0);
    QCOMPARE(ds->state(), DataSource::Edit);
    model->setData(model->index(0, title), QString());
    prompts.answerOk();
    QVERIFY(!ds->post());
    QCOMPARE(prompts.asked.size(), 2);
    QCOMPARE(ds->state(), DataSource::Edit);
    ds->cancel();
    QCOMPARE(ds->state(), DataSource::Browse);
    QCOMPARE(model->data(model->index(0, title)).toString(), QStringLiteral("标准间"));
    QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM RoomType WHERE Title = '标准间'")), 1);

    QList<DataSource::State> seen;
    for (const QList<QVariant> &args : std::as_const(states))
        seen << args.at(0).value<DataSource::State>();
    QCOMPARE(seen,
        (QList<DataSource::State> { DataSource::Insert, DataSource::Browse, DataSource::Edit, DataSource::Browse }));
}

// The database refuses a row (a login name taken): the error reaches the
// caller and the typed row is still there to put right.
void tst_DataModule::refusedRowIsKept()
{
    QFETCH(QString, dialect);
    Sql::exec(m_dialects->db(dialect), QStringLiteral("INSERT INTO Operator (Staffer) VALUES ('Admin')"));
    DataSource *ds = open(dialect).Operator_Ds();
    QSqlTableModel *model = ds->model();
    ds->append();
    const int row = ds->currentRow();
    model->setData(model->index(row, model->fieldIndex(QStringLiteral("Staffer"))), QStringLiteral("admin"));
    model->setData(model->index(row, model->fieldIndex(QStringLiteral("StafferName"))), QStringLiteral("王"));
    try {
        ds->post();
        QFAIL("a second admin was stored");
    } catch (const DbError &error) {
        QVERIFY2(error.isUniqueViolation(), qPrintable(error.text()));
    }
    QCOMPARE(ds->state(), DataSource::Insert);
    model->setData(model->index(row, model->fieldIndex(QStringLiteral("Staffer"))), QStringLiteral("wang"));
    QVERIFY(ds->post());
    QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM Operator WHERE Staffer = 'wang' AND StafferName = '王'")), 1);
}

void tst_DataModule::tableObjects()
{
    QFETCH(QString, dialect);
    Tdm &data = open(dialect);
    QCOMPARE(data.RoomState_ado()->rowCount(), 2);
    QCOMPARE(data.Groups_ado()->rowCount(), 0);
    QCOMPARE(data.Operator_ado()->record().count(), 22);
    // Columns by the names the windows use, whatever case the server keeps.
    QSqlTableModel *journal = data.MakeCardRecord_ado();
    QSqlRecord row = journal->record();
    row.setValue(QStringLiteral("CardType"), 10);
    row.setValue(QStringLiteral("Rom"), QStringLiteral("0A000001"));
    row.setValue(QStringLiteral("Holder"), QStringLiteral("李"));
    row.setGenerated(QStringLiteral("RecID"), false);
    row.setGenerated(QStringLiteral("InputTime"), false);
    QVERIFY2(journal->insertRecord(-1, row), qPrintable(journal->lastError().text()));
    QVERIFY2(journal->submitAll(), qPrintable(journal->lastError().text()));
    QCOMPARE(rows(QStringLiteral("SELECT count(*) FROM MakeCardRecord WHERE CardType = 10 AND Rom = '0A000001' "
                                 "AND Holder = '李' AND InputTime IS NOT NULL")),
        1);
}

void tst_DataModule::listItems_data()
{
    QTest::addColumn<QString>("dialect");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("expected");
    for (const QString &dialect : m_dialects->names()) {
        QTest::newRow(qPrintable(dialect + ": no rooms")) << dialect << 4 << QStringList();
        QTest::newRow(qPrintable(dialect + ": buildings")) << dialect << -4 << QStringList { "1", "2" };
        QTest::newRow(qPrintable(dialect + ": floors")) << dialect << -5 << QStringList { "1", "3", "12" };
        QTest::newRow(qPrintable(dialect + ": districts")) << dialect << -6 << QStringList { "7", "9" };
    }
}

// A negative kind: the same list with rooms and districts stored.
void tst_DataModule::listItems()
{
    QFETCH(QString, dialect);
    QFETCH(int, kind);
    QFETCH(QStringList, expected);
    Tdm &data = open(dialect);
    if (kind < 0) {
        for (const QVariantList &room :
            QList<QVariantList> { { "101", 1, 1 }, { "102", 1, 1 }, { "2301", 2, 3 }, { "1201", 1, 12 } })
            Sql::exec(data.conn(),
                QStringLiteral("INSERT INTO RoomInfo (RoomStr, Buiding, Floor, RoomNumber) VALUES (?, ?, ?, 1)"), room);
        Sql::exec(data.conn(), QStringLiteral("INSERT INTO District (DistrictNumber) VALUES (9), (7)"));
    }
    QStringList items = data.GetDataTypeItems(qAbs(kind));
    std::sort(items.begin(), items.end(), [](const QString &a, const QString &b) { return a.toInt() < b.toInt(); });
    QCOMPARE(items, expected);
}

// Filling a list runs no change handler and leaves nothing chosen; a failed
// fill leaves the list as it was and its signals working.
void tst_DataModule::fillIsQuiet()
{
    QFETCH(QString, dialect);
    Tdm &data = open(dialect);
    Sql::exec(data.conn(), QStringLiteral("INSERT INTO District (DistrictNumber) VALUES (5), (6)"));
    QComboBox list;
    list.addItems({ "old", "older" });
    list.setCurrentIndex(1);
    QSignalSpy index(&list, &QComboBox::currentIndexChanged);
    QSignalSpy text(&list, &QComboBox::currentTextChanged);

    data.GetDataTypeItems(6, &list);
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.currentIndex(), -1);
    QCOMPARE(index.count(), 0);
    QCOMPARE(text.count(), 0);
    QVERIFY(list.updatesEnabled());
    QVERIFY(!list.signalsBlocked());

    list.setCurrentIndex(0);
    index.clear();
    {
        WriteTransaction tx(data.conn()); // rolled back: the table comes back
        Sql::execDirect(data.conn(), QStringLiteral("ALTER TABLE District RENAME TO District_gone"));
        QVERIFY_THROWS_EXCEPTION(DbError, data.GetDataTypeItems(6, &list));
    }
    QCOMPARE(list.count(), 2);
    QCOMPARE(list.currentIndex(), 0);
    QVERIFY(list.updatesEnabled());
    QVERIFY(!list.signalsBlocked());
    list.setCurrentIndex(1);
    QCOMPARE(index.count(), 1);
}

// A table object longer than one fetch is read whole: a statement left with
// rows unread would hide every other desk's commit from this desk.
void tst_DataModule::tableObjectLetsGoOfItsRows()
{
    const QSqlDatabase db = m_dialects->db(QStringLiteral("sqlite"));
    {
        WriteTransaction tx(db);
        for (int i = 0; i < 300; ++i)
            Sql::exec(db, QStringLiteral("INSERT INTO RoomType (Title) VALUES (?)"), {QString::number(i)});
        tx.commit();
    }
    Tdm &data = open(QStringLiteral("sqlite"));
    QCOMPARE(data.RoomType_ado()->rowCount(), 300);
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-desk"));
        other.setDatabaseName(m_dialects->sqlitePath());
        QVERIFY(other.open());
        configureConnection(other);
        Sql::exec(other, QStringLiteral("INSERT INTO District (DistrictNumber) VALUES (8)"));
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other-desk"));
    QCOMPARE(data.GetDataTypeItems(6), QStringList{"8"});
}

QTEST_MAIN(tst_DataModule)
#include "tst_datamodule.moc"
