// Door-opening record collection: what a data card or data collector carries
// ends up in OpenDoorRecord, completed from the rooms, key kinds and journal.
#include "AppState.h"
#include "DbError.h"
#include "DoorRecordCollection.h"
#include "DoorRecordQuery.h"
#include "Encoder.h"
#include "HotelFixture.h"
#include "HotelLock.h"
#include "LockTestSupport.h"
#include "ReadDataCard_Form.h"
#include "ScriptedPrompts.h"
#include "Sql.h"

#include <QLabel>
#include <QLibrary>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <vector>

namespace {

HLSim_DoorRecord record(int building, int floor, int room, int cardType, QList<int> cardNo = { 1, 0, 0, 0 },
    int minute = 0, int secondWord = 0)
{
    HLSim_DoorRecord r {};
    r.building = int16_t(building);
    r.floor = int16_t(floor);
    r.room = int16_t(room);
    r.cardType = int16_t(cardType);
    const int16_t time[6] = { 2024, 3, 5, 14, int16_t(minute), int16_t(secondWord) };
    std::copy(time, time + 6, r.time);
    for (int i = 0; i < 4; ++i)
        r.cardNo[i] = int16_t(cardNo.value(i));
    return r;
}

struct StoredRow {
    QString roomStr, rom, openTime, cardTypeStr, holder, maker;
    int cardType = 0;
};

} // namespace

class TestCollection : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_fx;
    std::unique_ptr<Simulator> m_sim;

    void addOldRows(const QString &roomStr, int count)
    {
        for (int i = 0; i < count; ++i)
            Sql::exec(m_fx->db(),
                QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType) Values (?, ?, ?, 4)"),
                { roomStr, QStringLiteral("OLD%1").arg(i), QStringLiteral("2024-01-01 08:00:00") });
    }
    int rowsOf(const QString &roomStr) const
    {
        QSqlQuery q
            = Sql::exec(m_fx->db(), QStringLiteral("Select Count(*) From OpenDoorRecord Where RoomStr=?"), { roomStr });
        q.next();
        return q.value(0).toInt();
    }
    int oldRowsOf(const QString &roomStr) const
    {
        QSqlQuery q = Sql::exec(m_fx->db(),
            QStringLiteral("Select Count(*) From OpenDoorRecord Where RoomStr=? And Rom Like 'OLD%'"), { roomStr });
        q.next();
        return q.value(0).toInt();
    }
    QList<StoredRow> stored() const
    {
        QSqlQuery q = Sql::exec(m_fx->db(),
            QStringLiteral("Select RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, MakeName "
                           "From OpenDoorRecord Where Rom Not Like 'OLD%' Order By RecID"));
        QList<StoredRow> rows;
        while (q.next()) {
            StoredRow r;
            r.roomStr = q.value(0).toString();
            r.rom = q.value(1).toString();
            r.openTime = Sql::readDateTime(q.value(2)).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
            r.cardType = q.value(3).toInt();
            r.cardTypeStr = q.value(4).toString();
            r.holder = q.value(5).toString();
            r.maker = q.value(6).toString();
            rows.append(r);
        }
        return rows;
    }
    void addJournal(int cardType, const QString &rom, const QString &holder, const QString &maker)
    {
        Sql::exec(m_fx->db(),
            QStringLiteral("Insert Into MakeCardRecord (CardType, Rom, Holder, MakeName, InputTime) "
                           "Values (?, ?, ?, ?, ?)"),
            { cardType, rom, holder, maker, QStringLiteral("2024-02-01 10:00:00") });
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<HotelFixture>();
        QVERIFY(m_fx->isOpen());
        m_fx->env().copyFromBin(QStringLiteral("libHotelLock.so"));
        m_sim = std::make_unique<Simulator>(Encoder::libraryPath());
        m_sim->Reset();
        m_sim->ClearCallLog();
        m_fx->addRoom(QStringLiteral("8101"), 8, 1, 1);
        m_fx->addRoom(QStringLiteral("8102"), 8, 1, 2);
    }
    void cleanup()
    {
        m_sim.reset();
        m_fx.reset();
    }

    // Only the first record's room loses its stored records; every record read is added.
    void replacesTheFirstRoomOnly_data()
    {
        QTest::addColumn<QList<int>>("recordRooms"); // room numbers on floor 1 of building 8; 9 = no such room
        QTest::addColumn<int>("new8101");
        QTest::addColumn<int>("old8101");
        QTest::addColumn<int>("new8102");
        QTest::addColumn<int>("old8102");
        QTest::addColumn<int>("oldUnknown");
        QTest::addColumn<int>("newUnknown");
        QTest::newRow("three of 8101") << QList<int> { 1, 1, 1 } << 3 << 0 << 0 << 2 << 1 << 0;
        QTest::newRow("8101 then 8102") << QList<int> { 1, 2 } << 1 << 0 << 1 << 2 << 1 << 0;
        QTest::newRow("8102 then 8101") << QList<int> { 2, 1 } << 1 << 5 << 1 << 0 << 1 << 0;
        QTest::newRow("unknown room first") << QList<int> { 9, 1 } << 1 << 5 << 0 << 2 << 0 << 1;
    }
    void replacesTheFirstRoomOnly()
    {
        QFETCH(QList<int>, recordRooms);
        addOldRows(QStringLiteral("8101"), 5);
        addOldRows(QStringLiteral("8102"), 2);
        addOldRows(QString(QLatin1String("")), 1);
        std::vector<HLSim_DoorRecord> records;
        for (int room : recordRooms)
            records.push_back(record(8, 1, room, 10, { 44, 1, 0, 0 }));
        m_sim->PutDataCard(records.data(), int(records.size()));

        const CollectionResult result = CollectDoorRecords();
        QCOMPARE(result.outcome, CollectionResult::Stored);
        QCOMPARE(result.records, int(recordRooms.size()));

        QFETCH(int, new8101);
        QFETCH(int, old8101);
        QFETCH(int, new8102);
        QFETCH(int, old8102);
        QFETCH(int, oldUnknown);
        QFETCH(int, newUnknown);
        const QString empty = QLatin1String("");
        QCOMPARE(oldRowsOf(QStringLiteral("8101")), old8101);
        QCOMPARE(rowsOf(QStringLiteral("8101")) - old8101, new8101);
        QCOMPARE(oldRowsOf(QStringLiteral("8102")), old8102);
        QCOMPARE(rowsOf(QStringLiteral("8102")) - old8102, new8102);
        QCOMPARE(oldRowsOf(empty), oldUnknown);
        QCOMPARE(rowsOf(empty) - oldUnknown, newUnknown);
        // No NULL door-plate numbers: an unknown room is stored as empty text.
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")),
            old8101 + new8101 + old8102 + new8102 + oldUnknown + newUnknown);
    }

    // Card number text, key kind, holder and maker of each kind of card.
    void completesEachRow()
    {
        addJournal(10, QStringLiteral("0A00012C"), QStringLiteral("王'五"), QStringLiteral("admin"));
        addJournal(4, QStringLiteral("08010100000005"), QStringLiteral("张三"), QStringLiteral("前台"));
        // A journal row of the guest card's bare number belongs to no card.
        addJournal(4, QStringLiteral("00000006"), QStringLiteral("wrong"), QStringLiteral("wrong"));
        const HLSim_DoorRecord records[] = {
            record(8, 1, 1, 10, { 44, 1, 0, 0 }, 5, 45), // master card 300
            record(8, 1, 1, 4, { 5, 0, 0, 0 }, 6), // guest card of 8101
            record(8, 1, 1, 4, { 6, 0, 0, 0 }, 7), // guest card without a journal row
            record(8, 1, 2, 7, { 1, 2, 3, 0 }, 8), // a type missing from the key kinds
        };
        m_sim->PutDataCard(records, 4);
        QCOMPARE(CollectDoorRecords().outcome, CollectionResult::Stored);

        const QList<StoredRow> rows = stored();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows[0].roomStr, QStringLiteral("8101"));
        QCOMPARE(rows[0].rom, QStringLiteral("0A00012C"));
        QCOMPARE(rows[0].cardType, 10);
        QCOMPARE(rows[0].cardTypeStr, QString::fromUtf8("总控卡"));
        QCOMPARE(rows[0].holder, QString::fromUtf8("王'五"));
        QCOMPARE(rows[0].maker, QStringLiteral("admin"));
        QCOMPARE(rows[0].openTime, QStringLiteral("2024-03-05 14:05:00")); // the seconds word is dropped

        QCOMPARE(rows[1].rom, QStringLiteral("00000005")); // a guest card keeps its fourth word
        QCOMPARE(rows[1].cardTypeStr, QString::fromUtf8("客人卡"));
        QCOMPARE(rows[1].holder, QString::fromUtf8("张三"));
        QCOMPARE(rows[1].maker, QString::fromUtf8("前台"));

        QCOMPARE(rows[2].holder, QStringLiteral("None"));
        QCOMPARE(rows[2].maker, QStringLiteral("None"));

        QCOMPARE(rows[3].roomStr, QStringLiteral("8102"));
        QCOMPARE(rows[3].rom, QStringLiteral("07030201"));
        QCOMPARE(rows[3].cardTypeStr, QStringLiteral("None"));
        for (const StoredRow &row : rows)
            QVERIFY2(row.openTime.endsWith(QLatin1String(":00")), qPrintable(row.openTime));
    }

    // Proximity installations read from an infrared data collector, found first.
    void proximityNeedsACollector()
    {
        const HLSim_DoorRecord records[] = { record(8, 1, 2, 10, { 44, 1, 0, 0 }) };
        m_sim->SetDeviceType(ProximityDeviceType);
        m_sim->PutDataCard(records, 1);
        QCOMPARE(CollectDoorRecords().outcome, CollectionResult::NoCollector);
        QVERIFY(!m_sim->calls().contains(QStringLiteral("ReadDataCard")));
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 0);

        m_sim->AttachCollector(records, 1);
        m_sim->ClearCallLog();
        QCOMPARE(CollectDoorRecords().outcome, CollectionResult::Stored);
        QCOMPARE(m_sim->calls().mid(0, 3),
            (QStringList {
                QStringLiteral("GetParameter"), QStringLiteral("Detect_EncoderA"), QStringLiteral("ReadDataCard") }));
        QCOMPARE(rowsOf(QStringLiteral("8102")), 1);

        // Any other device reads the card without looking for a collector.
        m_sim->SetDeviceType(2);
        m_sim->PutDataCard(records, 1);
        m_sim->ClearCallLog();
        QCOMPARE(CollectDoorRecords().outcome, CollectionResult::Stored);
        QVERIFY(!m_sim->calls().contains(QStringLiteral("Detect_EncoderA")));
    }

    // A card that cannot be read, or carries nothing, leaves the table as it was.
    void unreadableCardTouchesNothing_data()
    {
        QTest::addColumn<QString>("failing"); // "" = no card, "empty" = a data card without records
        QTest::newRow("no card") << QString();
        QTest::newRow("empty data card") << QStringLiteral("empty");
        QTest::newRow("ReadDataCard fails") << QStringLiteral("ReadDataCard");
        QTest::newRow("first record fails") << QStringLiteral("ReadOneOpenDoorRecord");
    }
    void unreadableCardTouchesNothing()
    {
        QFETCH(QString, failing);
        addOldRows(QStringLiteral("8101"), 2);
        const HLSim_DoorRecord records[] = { record(8, 1, 1, 10) };
        if (failing == QLatin1String("empty"))
            m_sim->PutDataCard(records, 0);
        else if (!failing.isEmpty()) {
            m_sim->PutDataCard(records, 1);
            m_sim->FailNext(failing.toUtf8().constData(), -15);
        }
        const CollectionResult result = CollectDoorRecords();
        QCOMPARE(result.outcome, CollectionResult::EncoderFailed);
        QVERIFY(result.code != Encoder::Success);
        QCOMPARE(oldRowsOf(QStringLiteral("8101")), 2);
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 2);
    }

    // A refused insert keeps the old rows and adds none.
    void databaseErrorKeepsOldRows()
    {
        addOldRows(QStringLiteral("8101"), 3);
        Sql::execDirect(m_fx->db(),
            QStringLiteral("CREATE TRIGGER refuse_third BEFORE INSERT ON OpenDoorRecord WHEN NEW.Rom = '0A000003' "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const HLSim_DoorRecord records[] = { record(8, 1, 1, 10, { 1, 0, 0, 0 }), record(8, 1, 1, 10, { 2, 0, 0, 0 }),
            record(8, 1, 1, 10, { 3, 0, 0, 0 }) };
        m_sim->PutDataCard(records, 3);
        QVERIFY_THROWS_EXCEPTION(DbError, CollectDoorRecords());
        QCOMPARE(oldRowsOf(QStringLiteral("8101")), 3);
        QCOMPARE(m_fx->count(QStringLiteral("OpenDoorRecord")), 3);
    }

    // A full card of ten thousand records in one transaction, in read order.
    void manyRecords()
    {
        std::vector<HLSim_DoorRecord> records;
        for (int i = 0; i < 10000; ++i)
            records.push_back(record(8, 1, 1 + i % 2, i % 3 == 0 ? 4 : 10, { i % 256, i / 256, 0, 0 }, i % 60));
        m_sim->PutDataCard(records.data(), int(records.size()));
        const CollectionResult result = CollectDoorRecords();
        QCOMPARE(result.outcome, CollectionResult::Stored);
        QCOMPARE(result.records, 10000);
        const QList<StoredRow> rows = stored();
        QCOMPARE(rows.size(), 10000);
        QCOMPARE(rows.first().rom, QStringLiteral("00000000"));
        QCOMPARE(rows.last().rom, QStringLiteral("0000270F")); // 9999 = 0x270F, a guest card
        QCOMPARE(rowsOf(QStringLiteral("8102")), 5000);
    }

    // The same collection, and the browser's look-up and deletion, on the server.
    void serverDialect()
    {
        if (!HotelFixture::postgresConfigured())
            QSKIP("no PostgreSQL server configured");
        m_sim.reset();
        m_fx.reset();
        m_fx = std::make_unique<HotelFixture>(true);
        QVERIFY(m_fx->isOpen());
        m_fx->env().copyFromBin(QStringLiteral("libHotelLock.so"));
        m_sim = std::make_unique<Simulator>(Encoder::libraryPath());
        m_sim->Reset();
        m_fx->addRoom(QStringLiteral("8101"), 8, 1, 1);
        m_fx->addRoom(QStringLiteral("8102"), 8, 1, 2);
        addOldRows(QStringLiteral("8101"), 2);
        addOldRows(QStringLiteral("8102"), 1);
        addJournal(4, QStringLiteral("08010100000005"), QStringLiteral("张三"), QStringLiteral("前台"));
        const HLSim_DoorRecord records[]
            = { record(8, 1, 1, 4, { 5, 0, 0, 0 }, 1, 33), record(8, 1, 2, 10, { 44, 1, 0, 0 }, 2) };
        m_sim->PutDataCard(records, 2);
        QCOMPARE(CollectDoorRecords().outcome, CollectionResult::Stored);
        const QList<StoredRow> rows = stored();
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0].holder, QString::fromUtf8("张三"));
        QCOMPARE(rows[0].openTime, QStringLiteral("2024-03-05 14:01:00"));
        QCOMPARE(rows[1].rom, QStringLiteral("0A00012C"));
        QCOMPARE(oldRowsOf(QStringLiteral("8101")), 0);
        QCOMPARE(oldRowsOf(QStringLiteral("8102")), 1);

        const QList<DoorRecordRow> shown = DoorRecords::find(QStringLiteral("8102"));
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.last().rom, QStringLiteral("0A00012C"));
        QCOMPARE(shown.last().openTime, QDateTime(QDate(2024, 3, 5), QTime(14, 2)));
        DoorRecords::remove(shown.first().recId);
        QCOMPARE(rowsOf(QStringLiteral("8102")), 1);
    }

    // The window: its status line, no Esc, and the board flag left alone.
    void windowShowsTheOutcome()
    {
        ScriptedPrompts prompts;
        TReadDataCard_Form form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8("读采集卡"));
        auto *button = form.findChild<QPushButton *>(QStringLiteral("ReadDataCard_Bt"));
        auto *label = form.findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(button && label);
        QCOMPARE(button->text(), QString::fromUtf8("读卡"));
        QVERIFY(!button->autoDefault());
        QVERIFY(label->text().isEmpty());

        RoomsChanged = true;
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(label->text(), QString::fromUtf8("操作失败或无开锁记录！"));

        const HLSim_DoorRecord records[] = { record(8, 1, 1, 10) };
        m_sim->PutDataCard(records, 1);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(label->text(), QString::fromUtf8("操作成功！"));
        QVERIFY(RoomsChanged);
        RoomsChanged = false;

        m_sim->SetDeviceType(ProximityDeviceType);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(label->text(), QString::fromUtf8("无数据采集器！"));
        QVERIFY(!RoomsChanged);

        // A database error reaches the operator as the standard error box.
        m_sim->SetDeviceType(2);
        m_sim->PutDataCard(records, 1);
        Sql::execDirect(m_fx->db(), QStringLiteral("DROP TABLE OpenDoorRecord"));
        prompts.answerOk();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(prompts.asked.size(), 1);
        QCOMPARE(prompts.last().icon, QMessageBox::Critical);

        form.show();
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(form.isVisible());
    }
};

QTEST_MAIN(TestCollection)
#include "tst_collection.moc"
