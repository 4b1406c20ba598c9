#include "AppState.h"
#include "BitmapIcon.h"
#include "HotelFixture.h"
#include "HotelSetup.h"
#include "RoomInfo_Form.h"
#include "ScriptedPrompts.h"
#include "Sql.h"

#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {
QString u8(const char *text)
{
    return QString::fromUtf8(text);
}

QStringList twoDigitList(int from, int to)
{
    QStringList list;
    for (int n = from; n <= to; ++n)
        list << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
    return list;
}

QStringList captions(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList column(const QSqlDatabase &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery query = Sql::exec(db, sql, values);
    QStringList texts;
    while (query.next())
        texts << (query.value(0).isNull() ? QStringLiteral("<null>") : query.value(0).toString());
    return texts;
}

// A second desk on the same hotel database.
class SecondDesk {
public:
    explicit SecondDesk(HotelFixture &fixture)
    {
        if (fixture.isPostgres()) {
            m_db = QSqlDatabase::cloneDatabase(fixture.db(), QStringLiteral("second-desk"));
        } else {
            m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("second-desk"));
            m_db.setDatabaseName(fixture.databaseFile());
        }
        if (!m_db.open())
            qFatal("second desk cannot connect");
    }
    ~SecondDesk()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("second-desk"));
    }
    QSqlDatabase db() const { return m_db; }

private:
    QSqlDatabase m_db;
};
} // namespace

class TestRooms : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;

    void openHotel(bool postgres)
    {
        m_hotel = std::make_unique<HotelFixture>(postgres);
        QVERIFY(m_hotel->isOpen());
    }

    std::unique_ptr<TRoomInfo_Form> makeForm()
    {
        auto form = std::make_unique<TRoomInfo_Form>();
        form->show();
        return form;
    }

    static void typeFloor(TRoomInfo_Form *form, const QString &building, const QString &floor)
    {
        form->Building_Edit->setText(building);
        form->Floor_Edit->setText(floor);
    }

    // Lists the floor and double-clicks the free number given.
    static void createRoom(TRoomInfo_Form *form, const QString &building, const QString &floor, const QString &number)
    {
        typeFloor(form, building, floor);
        QTest::mouseClick(form->GenRoomNumber_Bt, Qt::LeftButton);
        const QList<QListWidgetItem *> found = form->RoomInfo_LV->findItems(number, Qt::MatchExactly);
        QVERIFY(!found.isEmpty());
        form->RoomInfo_LV->setCurrentItem(found.first());
        form->RoomInfo_LVDblClick();
    }

    static void typeDoorPlate(TRoomInfo_Form *form, int row, const QString &roomStr)
    {
        QAbstractItemModel *model = form->RoomInfo_ado;
        QVERIFY(model->setData(model->index(row, form->column("RoomStr")), roomStr));
    }

    int rowOf(TRoomInfo_Form *form, const QString &systemRoomStr) const
    {
        for (int r = 0; r < form->RoomInfo_ado->rowCount(); ++r)
            if (form->RoomInfo_ado->index(r, form->column("SystemRoomStr")).data().toString() == systemRoomStr)
                return r;
        return -1;
    }

    void runStoreRules(bool postgres)
    {
        openHotel(postgres);
        const QSqlDatabase db = m_hotel->db();
        const Rooms::NewRoom room = Rooms::newRoom(QStringLiteral("1"), QStringLiteral("3"), 15);
        QCOMPARE(Rooms::storeNew(db, room, QStringLiteral("8'01"), u8("标准间")), QString());
        QCOMPARE(column(db,
                     QStringLiteral("SELECT RoomStr || '/' || SystemRoomStr || '/' || Room || '/' || "
                                    "RoomTypeStr FROM RoomInfo")),
            QStringList { u8("8'01/010315/1315/标准间") });

        // Empty door-plate, repeated door-plate: nothing stored.
        const Rooms::NewRoom other = Rooms::newRoom(QStringLiteral("1"), QStringLiteral("3"), 16);
        QCOMPARE(Rooms::storeNew(db, other, QString(), QString()), u8("实际门牌号码不能空！"));
        QCOMPARE(Rooms::storeNew(db, other, QStringLiteral("8'01"), QString()), u8("实际门牌号码8'01不能重复！"));
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 1);

        // Another desk stores the same door-plate, then the same place, after this desk listed the floor.
        {
            SecondDesk desk(*m_hotel);
            Sql::exec(desk.db(),
                QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber) "
                               "VALUES (1316, '316', '010316', 1, 3, 16)"));
        }
        QCOMPARE(Rooms::storeNew(db, other, QStringLiteral("316"), QString()), u8("实际门牌号码316不能重复！"));
        QCOMPARE(Rooms::storeNew(db, other, QStringLiteral("999"), QString()), u8("实际门牌号码不能空！"));
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 2);

        // Editing keeps the room's own door-plate free for itself, not another's.
        const qint64 recId
            = column(db, QStringLiteral("SELECT RecID FROM RoomInfo WHERE RoomStr = '316'")).value(0).toLongLong();
        QCOMPARE(Rooms::storeEdited(db, recId, QStringLiteral("316"), u8("套房")), QString());
        QCOMPARE(Rooms::storeEdited(db, recId, QStringLiteral("8'01"), QString()), u8("实际门牌号码8'01不能重复！"));
        QCOMPARE(column(db, QStringLiteral("SELECT RoomTypeStr FROM RoomInfo WHERE RecID = ?"), { recId }),
            QStringList { u8("套房") });
    }

private Q_SLOTS:
    void init()
    {
        m_prompts = std::make_unique<ScriptedPrompts>();
        RoomsChanged = false;
    }
    void cleanup()
    {
        m_hotel.reset();
        m_prompts.reset();
        RoomsChanged = false;
    }

    void twoDigitForm_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString zero = u8("楼号或楼层不能为0。");
        const QString digits = u8("请输入数字。");
        QTest::newRow("one digit") << "3"
                                   << "03"
                                   << "";
        QTest::newRow("two digits") << "12"
                                    << "12"
                                    << "";
        QTest::newRow("leading zero kept") << "01"
                                           << "01"
                                           << "";
        QTest::newRow("zero") << "0"
                              << "" << zero;
        QTest::newRow("double zero") << "00"
                                     << "" << zero;
        QTest::newRow("negative") << "-1"
                                  << "" << zero;
        QTest::newRow("letter") << "a"
                                << "" << digits;
        QTest::newRow("empty") << ""
                               << "" << digits;
        QTest::newRow("plus sign") << "+1"
                                   << "" << digits;
        QTest::newRow("leading blank") << " 1"
                                       << "" << digits;
    }
    void twoDigitForm()
    {
        QFETCH(QString, typed);
        QFETCH(QString, value);
        QFETCH(QString, message);
        const Rooms::TwoDigits result = Rooms::FormatStrTo2Digits(typed);
        QCOMPARE(result.value, value);
        QCOMPARE(result.message, message);
    }

    void derivedIdentifiers_data()
    {
        QTest::addColumn<QString>("building");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("systemRoomStr");
        QTest::addColumn<int>("room");
        QTest::newRow("1/3/15") << "1"
                                << "3" << 15 << "010315" << 1315;
        QTest::newRow("01/03/15") << "01"
                                  << "03" << 15 << "010315" << 10315;
        QTest::newRow("1/12/5") << "1"
                                << "12" << 5 << "011205" << 11205;
        QTest::newRow("11/2/5") << "11"
                                << "2" << 5 << "110205" << 11205;
    }
    void derivedIdentifiers()
    {
        QFETCH(QString, building);
        QFETCH(QString, floor);
        QFETCH(int, number);
        const Rooms::NewRoom room = Rooms::newRoom(building, floor, number);
        QTEST(room.systemRoomStr, "systemRoomStr");
        QTEST(room.room, "room");
        QCOMPARE(room.building, building.toInt());
        QCOMPARE(room.floor, floor.toInt());
        QCOMPARE(room.roomNumber, number);
    }

    void freeNumbersOfOneFloor()
    {
        openHotel(false);
        for (int n = 1; n <= 10; ++n)
            m_hotel->addRoom(QStringLiteral("3%1").arg(n, 2, 10, QLatin1Char('0')), 1, 3, n);
        m_hotel->addRoom(QStringLiteral("B-311"), 2, 3, 11); // another building
        m_hotel->addRoom(QStringLiteral("411"), 1, 4, 11); // another floor
        QList<int> expected;
        for (int n = 11; n <= 99; ++n)
            expected << n;
        QCOMPARE(Rooms::freeRoomNumbers(m_hotel->db(), 1, 3), expected);

        for (int n = 1; n <= 99; ++n)
            m_hotel->addRoom(QStringLiteral("5-%1").arg(n), 1, 5, n);
        QVERIFY(Rooms::freeRoomNumbers(m_hotel->db(), 1, 5).isEmpty());
    }

    void storeRulesEmbedded() { runStoreRules(false); }
    void storeRulesServer()
    {
        if (!HotelFixture::postgresConfigured())
            QSKIP("no PostgreSQL server configured");
        runStoreRules(true);
    }

    void listsFreeNumbersWithPicture()
    {
        openHotel(false);
        const QString picture = m_hotel->env().programFile(QStringLiteral("pic/build/Normal.bmp"));
        QDir().mkpath(QFileInfo(picture).absolutePath());
        QImage bitmap(16, 16, QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        bitmap.setPixel(5, 5, qRgb(200, 0, 0));
        QVERIFY(bitmap.save(picture, "BMP"));
        for (int n = 1; n <= 10; ++n)
            m_hotel->addRoom(QStringLiteral("3%1").arg(n, 2, 10, QLatin1Char('0')), 1, 3, n);

        auto form = makeForm();
        QCOMPARE(form->windowTitle(), u8("房间设置"));
        QVERIFY(!form->GenRoomNumber_Bt->isEnabled());
        form->Building_Edit->setText(QStringLiteral("1"));
        QVERIFY(!form->GenRoomNumber_Bt->isEnabled());
        form->Floor_Edit->setText(QStringLiteral("3"));
        QVERIFY(form->GenRoomNumber_Bt->isEnabled());
        QTest::mouseClick(form->GenRoomNumber_Bt, Qt::LeftButton);
        QCOMPARE(captions(form->RoomInfo_LV), twoDigitList(11, 99));
        QVERIFY(!form->GenRoomNumber_Bt->isEnabled());
        const QImage expected = BitmapFileToIcon(picture).pixmap(32, 32).toImage();
        QVERIFY(!expected.isNull());
        QCOMPARE(form->RoomInfo_LV->item(0)->icon().pixmap(32, 32).toImage(), expected);
        QVERIFY(m_prompts->asked.isEmpty());
    }

    void withoutPictureTheWindowIconIsShown()
    {
        openHotel(false);
        auto form = makeForm();
        QCOMPARE(form->roomPicture().cacheKey(), form->windowIcon().cacheKey());
        typeFloor(form.get(), QStringLiteral("2"), QStringLiteral("1"));
        form->GenRoomNumber();
        QCOMPARE(form->RoomInfo_LV->count(), 99);
    }

    void badBuildingOrFloorLeavesTheList_data()
    {
        QTest::addColumn<QString>("building");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<QString>("message");
        QTest::newRow("floor 0") << "1"
                                 << "0" << u8("楼号或楼层不能为0。");
        QTest::newRow("building -1") << "-1"
                                     << "3" << u8("楼号或楼层不能为0。");
        QTest::newRow("floor letter") << "1"
                                      << "a" << u8("请输入数字。");
        QTest::newRow("building +1") << "+1"
                                     << "3" << u8("请输入数字。");
        QTest::newRow("floor blank") << "1"
                                     << " 3" << u8("请输入数字。");
    }
    void badBuildingOrFloorLeavesTheList()
    {
        QFETCH(QString, building);
        QFETCH(QString, floor);
        QFETCH(QString, message);
        openHotel(false);
        auto form = makeForm();
        typeFloor(form.get(), QStringLiteral("1"), QStringLiteral("1"));
        form->GenRoomNumber();
        QCOMPARE(form->RoomInfo_LV->count(), 99);

        typeFloor(form.get(), building, floor);
        form->Floor_Edit->setFocus();
        m_prompts->answerOk();
        form->GenRoomNumber();
        QCOMPARE(m_prompts->texts(), QStringList { message });
        QCOMPARE(form->RoomInfo_LV->count(), 99);
        QCOMPARE(form->focusWidget(), form->Building_Edit);

        // A double-click checks the texts again and makes no room.
        form->RoomInfo_LV->setCurrentRow(0);
        m_prompts->answerOk();
        form->RoomInfo_LVDblClick();
        QCOMPARE(m_prompts->texts(), QStringList({ message, message }));
        QCOMPARE(form->RoomInfo_ado->rowCount(), 0);
        QVERIFY(!form->Ok_Bt->isEnabled());
    }

    void newRoomIsStoredAndTheBoardTold_data()
    {
        QTest::addColumn<QString>("building");
        QTest::addColumn<QString>("floor");
        QTest::addColumn<int>("room");
        QTest::addColumn<bool>("postgres");
        QTest::newRow("typed 1/3") << QStringLiteral("1") << QStringLiteral("3") << 1315 << false;
        QTest::newRow("typed 01/03") << QStringLiteral("01") << QStringLiteral("03") << 10315 << false;
        QTest::newRow("server") << QStringLiteral("1") << QStringLiteral("3") << 1315 << true;
    }
    void newRoomIsStoredAndTheBoardTold()
    {
        QFETCH(QString, building);
        QFETCH(QString, floor);
        QFETCH(int, room);
        QFETCH(bool, postgres);
        if (postgres && !HotelFixture::postgresConfigured())
            QSKIP("no PostgreSQL server configured");
        openHotel(postgres);
        Sql::exec(m_hotel->db(), QStringLiteral("INSERT INTO RoomType (Title) VALUES (?), (?)"),
            { u8("标准间"), u8("套房") });
        auto form = makeForm();

        // Nothing selected: a double-click makes nothing.
        typeFloor(form.get(), building, floor);
        form->GenRoomNumber();
        form->RoomInfo_LV->clearSelection();
        form->RoomInfo_LVDblClick();
        QCOMPARE(form->RoomInfo_ado->rowCount(), 0);

        createRoom(form.get(), building, floor, QStringLiteral("15"));
        QVERIFY(form->isNewRoomPending());
        QVERIFY(form->Ok_Bt->isEnabled());
        QVERIFY(!form->RoomInfo_LV->isEnabled());
        QVERIFY(!form->Building_Edit->isEnabled());
        QVERIFY(!form->Floor_Edit->isEnabled());
        QVERIFY(!form->Delete_Bt->isEnabled());
        QVERIFY(form->RoomInfo_LV->findItems(QStringLiteral("15"), Qt::MatchExactly).isEmpty());
        const QModelIndex roomStr = form->RoomInfo_ado->index(0, form->column("RoomStr"));
        QVERIFY(form->RoomInfo_ado->flags(roomStr) & Qt::ItemIsEditable);
        QVERIFY(!(form->RoomInfo_ado->flags(form->RoomInfo_ado->index(0, form->column("SystemRoomStr")))
            & Qt::ItemIsEditable));
        typeDoorPlate(form.get(), 0, QStringLiteral("315"));
        form->RoomInfo_ado->setData(form->RoomInfo_ado->index(0, form->column("RoomTypeStr")), u8("套房"));
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);

        QVERIFY(m_prompts->asked.isEmpty());
        QVERIFY(RoomsChanged);
        QCOMPARE(column(m_hotel->db(),
                     QStringLiteral("SELECT SystemRoomStr || '/' || Buiding || '/' || Floor || '/' "
                                    "|| RoomNumber || '/' || Room || '/' || RoomTypeStr "
                                    "FROM RoomInfo WHERE RoomStr = '315'")),
            QStringList { QStringLiteral("010315/1/3/15/%1/").arg(room) + u8("套房") });
        QVERIFY(!form->Ok_Bt->isEnabled());
        QVERIFY(form->RoomInfo_LV->isEnabled());
        QVERIFY(form->Building_Edit->isEnabled());
        QCOMPARE(form->RoomInfo_LV->count(), 98);
        QVERIFY(form->RoomInfo_LV->findItems(QStringLiteral("15"), Qt::MatchExactly).isEmpty());
        // Stored rows keep their door-plate until a new room is begun.
        QVERIFY(
            !(form->RoomInfo_ado->flags(form->RoomInfo_ado->index(0, form->column("RoomStr"))) & Qt::ItemIsEditable));
    }

    void emptyDoorPlateIsToldOnce()
    {
        openHotel(false);
        auto form = makeForm();
        createRoom(form.get(), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("15"));
        m_prompts->answerOk();
        QTest::mouseClick(form->Ok_Bt, Qt::LeftButton);
        QCOMPARE(m_prompts->texts(), QStringList { u8("实际门牌号码不能空！") });
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 0);
        QCOMPARE(form->RoomInfo_ado->rowCount(), 0);
        QCOMPARE(captions(form->RoomInfo_LV), twoDigitList(1, 99));
        QVERIFY(!form->Ok_Bt->isEnabled());
        QVERIFY(form->RoomInfo_LV->isEnabled());
        QVERIFY(!RoomsChanged);
    }

    void repeatedDoorPlateDropsTheNewRoom()
    {
        openHotel(false);
        m_hotel->addRoom(QStringLiteral("8'01"), 1, 3, 1);
        auto form = makeForm();
        createRoom(form.get(), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("15"));
        typeDoorPlate(form.get(), 1, QStringLiteral("8'01"));
        // While the new room waits, the other rooms are not edited.
        QVERIFY(!(
            form->RoomInfo_ado->flags(form->RoomInfo_ado->index(0, form->column("RoomTypeStr"))) & Qt::ItemIsEditable));
        m_prompts->answerOk();
        form->Ok_BtClick();
        QCOMPARE(m_prompts->texts(), QStringList { u8("实际门牌号码8'01不能重复！") });
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 1);
        QCOMPARE(form->RoomInfo_ado->rowCount(), 1);
        QVERIFY(!form->RoomInfo_LV->findItems(QStringLiteral("15"), Qt::MatchExactly).isEmpty());
        QVERIFY(!form->isNewRoomPending());
        QVERIFY(!RoomsChanged);
    }

    void editedDoorPlateRepeatedRevertsTheRoom()
    {
        openHotel(false);
        m_hotel->addRoom(QStringLiteral("101"), 1, 1, 1);
        m_hotel->addRoom(QStringLiteral("102"), 1, 1, 2);
        auto form = makeForm();
        const int row = rowOf(form.get(), QStringLiteral("010102"));
        typeDoorPlate(form.get(), row, QStringLiteral("101"));
        QVERIFY(form->isEditPending());
        QVERIFY(form->Ok_Bt->isEnabled());
        QVERIFY(!form->Delete_Bt->isEnabled());
        m_prompts->answerOk();
        form->Ok_BtClick();
        QCOMPARE(m_prompts->texts(), QStringList { u8("实际门牌号码101不能重复！") });
        QCOMPARE(form->RoomInfo_ado->rowCount(), 2);
        QCOMPARE(form->RoomInfo_ado->index(row, form->column("RoomStr")).data().toString(), QStringLiteral("102"));
        QCOMPARE(column(m_hotel->db(), QStringLiteral("SELECT RoomStr FROM RoomInfo ORDER BY RoomNumber")),
            QStringList({ QStringLiteral("101"), QStringLiteral("102") }));
        QVERIFY(!form->Ok_Bt->isEnabled());

        // Moving to another row stores an edit; a refusal comes in the standard error box.
        const QModelIndex edited = form->RoomInfo_ado->index(row, form->column("RoomStr"));
        const QModelIndex other = form->RoomInfo_ado->index(1 - row, form->column("RoomStr"));
        form->RoomInfo_Dbg->setCurrentIndex(edited);
        typeDoorPlate(form.get(), row, QStringLiteral("101"));
        m_prompts->answerOk();
        form->RoomInfo_Dbg->setCurrentIndex(other);
        QCOMPARE(m_prompts->last().text, u8("实际门牌号码101不能重复！"));
        QCOMPARE(m_prompts->last().icon, QMessageBox::Critical);
        QCOMPARE(edited.data().toString(), QStringLiteral("102"));
        QVERIFY(!RoomsChanged);

        form->RoomInfo_Dbg->setCurrentIndex(edited);
        typeDoorPlate(form.get(), row, QStringLiteral("1-02"));
        form->RoomInfo_Dbg->setCurrentIndex(other);
        QCOMPARE(m_prompts->asked.size(), 2);
        QCOMPARE(column(m_hotel->db(), QStringLiteral("SELECT RoomStr FROM RoomInfo ORDER BY RoomNumber")),
            QStringList({ QStringLiteral("101"), QStringLiteral("1-02") }));
        QVERIFY(RoomsChanged);
        // Once a row is stored, door-plates are no longer edited in place.
        QVERIFY(
            !(form->RoomInfo_ado->flags(form->RoomInfo_ado->index(0, form->column("RoomStr"))) & Qt::ItemIsEditable));
    }

    void deleteRemovesTheCurrentRoomAndTellsTheBoard()
    {
        openHotel(false);
        m_hotel->addRoom(QStringLiteral("201"), 2, 1, 1);
        m_hotel->addRoom(QStringLiteral("101"), 1, 1, 1);
        auto form = makeForm();
        QVERIFY(!form->Delete_Bt->isEnabled());
        const QModelIndex cell = form->RoomInfo_ado->index(0, form->column("RoomStr"));
        QTest::mouseClick(
            form->RoomInfo_Dbg->viewport(), Qt::LeftButton, {}, form->RoomInfo_Dbg->visualRect(cell).center());
        QVERIFY(form->Delete_Bt->isEnabled());
        QTest::mouseClick(form->Delete_Bt, Qt::LeftButton);
        QVERIFY(m_prompts->asked.isEmpty());
        QCOMPARE(column(m_hotel->db(), QStringLiteral("SELECT RoomStr FROM RoomInfo")), QStringList { "201" });
        QCOMPARE(form->RoomInfo_ado->rowCount(), 1);
        QVERIFY(RoomsChanged);
    }

    void closingAbandonsTheNewRoom()
    {
        openHotel(false);
        {
            auto form = makeForm();
            createRoom(form.get(), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("15"));
            typeDoorPlate(form.get(), 0, QStringLiteral("315"));
            form->reject();
        }
        QCOMPARE(m_hotel->count(QStringLiteral("RoomInfo")), 0);
        QVERIFY(!RoomsChanged);
    }
};

QTEST_MAIN(TestRooms)
#include "tst_rooms.moc"
