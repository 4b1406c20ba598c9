// The room picker: its query and filters on both dialects, and the window as
// the check-in windows and the room status query open it.
#include "DeskInSupport.h"
#include "DeskWindows.h"
#include "GuestQuickIn_Form.h"
#include "RoomList_Form.h"
#include "RoomListQuery.h"
#include "ScriptedPrompts.h"
#include "TarvaneApplication.h"
#include "WindowRegistry.h"
#include "WriteTransaction.h"

#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>

#include <functional>

namespace {

// Rooms over two buildings; 1102 and 2101 occupied, 1102 by two live stays.
void addHotel(DeskInHotel &desk)
{
    desk.hotel.addRoom(QStringLiteral("2101"), 2, 1, 1);
    desk.hotel.addRoom(QStringLiteral("1201"), 1, 2, 1);
    desk.hotel.addRoom(QStringLiteral("1102"), 1, 1, 2);
    desk.hotel.addRoom(QStringLiteral("1101"), 1, 1, 1);
    desk.hotel.addRoom(QStringLiteral("2202"), 2, 2, 2);
    desk.hotel.addStay(QStringLiteral("1102"));
    desk.hotel.addStay(QStringLiteral("1102"));
    desk.hotel.addStay(QStringLiteral("2101"));
    desk.hotel.addStay(QStringLiteral("1201"), true);
}

QStringList roomStrs(const std::vector<RoomListRow> &rows)
{
    QStringList list;
    for (const RoomListRow &row : rows)
        list << row.roomStr + (row.occupied() ? QStringLiteral("*") : QString());
    return list;
}

// Runs once the modal picker is up; a picker the action left open is cancelled.
void whenPickerOpens(const std::function<void(TRoomList_Form *)> &act, int attempts = 200)
{
    QTimer::singleShot(10, [act, attempts] {
        auto *picker = qobject_cast<TRoomList_Form *>(QApplication::activeModalWidget());
        if (!picker) {
            if (attempts > 0)
                whenPickerOpens(act, attempts - 1);
            return;
        }
        act(picker);
        if (picker->isVisible()) {
            qWarning("picker left open");
            picker->reject();
        }
    });
}

void clickRow(TRoomList_Form *picker, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTableView *grid = picker->RoomInfo_DBGrid;
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
}

} // namespace

class TestRoomList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { windowRegistry().pickRooms = nullptr; }

    void query_data()
    {
        addDialectColumn();
        QTest::addColumn<int>("building");
        QTest::addColumn<int>("floor");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("rooms");
        for (const bool postgres : { false, true }) {
            if (postgres && !HotelFixture::postgresConfigured())
                continue;
            const char *d = postgres ? "postgres" : "sqlite";
            const auto row
                = [&](const char *name, int building, int floor, RoomStatusFilter status, const QStringList &rooms) {
                      QTest::addRow("%s: %s", d, name) << postgres << building << floor << int(status) << rooms;
                  };
            row("all", 0, 0, RoomStatusFilter::All, { "1101", "1102*", "1102*", "1201", "2101*", "2202" });
            row("free", 0, 0, RoomStatusFilter::Free, { "1101", "1201", "2202" });
            row("occupied", 0, 0, RoomStatusFilter::Occupied, { "1102*", "1102*", "2101*" });
            row("building 2, every floor", 2, 0, RoomStatusFilter::All, { "2101*", "2202" });
            row("floor 1, every building", 0, 1, RoomStatusFilter::All, { "1101", "1102*", "1102*", "2101*" });
            row("building 1 floor 2 free", 1, 2, RoomStatusFilter::Free, { "1201" });
        }
    }
    void query()
    {
        QFETCH(bool, postgres);
        QFETCH(int, building);
        QFETCH(int, floor);
        QFETCH(int, status);
        QFETCH(QStringList, rooms);
        DeskInHotel desk(postgres);
        addHotel(desk);
        RoomListFilter filter;
        if (building)
            filter.building = building;
        if (floor)
            filter.floor = floor;
        filter.status = RoomStatusFilter(status);
        const std::vector<RoomListRow> rows = FindRoomList(filter, desk.db());
        QCOMPARE(roomStrs(rows), rooms);
        for (const RoomListRow &row : rows) {
            if (row.roomStr == QLatin1String("1102")) {
                QCOMPARE(row.guestName, QStringLiteral("Guest"));
                QCOMPARE(row.rom, QStringLiteral("00000000"));
                QCOMPARE(row.room, 1102);
            }
            if (!row.occupied())
                QVERIFY(row.guestName.isEmpty() && !row.guestLeaveTime.isValid());
        }
    }

    void windowFiltersAndCounter()
    {
        DeskInHotel desk;
        ScriptedPrompts prompts;
        addHotel(desk);
        TRoomList_Form form;
        QCOMPARE(form.windowTitle(), QString::fromUtf8("客房情况"));
        QCOMPARE(form.Buiding_CB->currentText(), QString::fromUtf8("所有楼号"));
        QCOMPARE(form.Buiding_CB->count(), 3);
        QCOMPARE(form.Floor_CB->currentText(), QString::fromUtf8("所有楼层"));
        QCOMPARE(form.rows().size(), size_t(6));
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：1 / 6"));
        QCOMPARE(form.RoomStr_Value->text(), QStringLiteral("1101"));
        QCOMPARE(form.State_Value->text(), QString::fromUtf8("空房"));

        // Occupied rows red, free rows white.
        const auto *model = form.RoomInfo_DBGrid->model();
        QCOMPARE(model->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::white));
        QCOMPARE(model->index(1, 0).data(Qt::BackgroundRole).value<QColor>(), QColor(Qt::red));

        form.RoomInfo_DBGrid->setCurrentIndex(model->index(4, 0));
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：5 / 6"));
        QCOMPARE(form.State_Value->text(), QString::fromUtf8("在住"));
        QCOMPARE(form.Buiding_Value->text(), QStringLiteral("2"));

        form.Buiding_CB->setCurrentText(QStringLiteral("2"));
        form.OccupiedRooms_Radio->setChecked(true);
        QTest::mouseClick(form.Query_Bt, Qt::LeftButton);
        QCOMPARE(roomStrs(form.rows()), QStringList { QStringLiteral("2101*") });
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：1 / 1"));

        // A query without rows keeps the counter's last text.
        form.Buiding_CB->setCurrentText(QStringLiteral("1"));
        form.Floor_CB->setCurrentText(QStringLiteral("2"));
        QTest::mouseClick(form.Query_Bt, Qt::LeftButton);
        QVERIFY(form.rows().empty());
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：1 / 1"));
        QVERIFY(prompts.asked.isEmpty());
    }

    // Every row is fetched: the counter knows the whole list on both dialects.
    void counterOverManyRooms_data()
    {
        addDialectColumn();
        addDialectRow("sqlite", false);
        addDialectRow("postgres", true);
    }
    void counterOverManyRooms()
    {
        QFETCH(bool, postgres);
        DeskInHotel desk(postgres);
        ScriptedPrompts prompts;
        {
            WriteTransaction transaction(desk.db());
            for (int building = 1; building <= 3; ++building)
                for (int floor = 1; floor <= 10; ++floor)
                    for (int number = 1; number <= 10; ++number)
                        desk.hotel.addRoom(
                            QStringLiteral("%1-%2-%3").arg(building).arg(floor).arg(number), building, floor, number);
            transaction.commit();
        }
        desk.hotel.addStay(QStringLiteral("3-10-10"));
        TRoomList_Form form;
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：1 / 300"));
        form.RoomInfo_DBGrid->setCurrentIndex(form.RoomInfo_DBGrid->model()->index(299, 0));
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8("记录：300 / 300"));
        QCOMPARE(form.RoomStr_Value->text(), QStringLiteral("3-10-10"));
        QCOMPARE(form.State_Value->text(), QString::fromUtf8("在住"));
        QCOMPARE(form.Floor_CB->count(), 11);
        QVERIFY(prompts.asked.isEmpty());
    }

    void emptyHotelCounter()
    {
        DeskInHotel desk;
        ScriptedPrompts prompts;
        TRoomList_Form form;
        QCOMPARE(form.StatusPanel1->text(), QString::fromUtf8(" 记录："));
        QCOMPARE(form.Buiding_CB->count(), 1);
    }

    void pickedInGridOrder()
    {
        DeskInHotel desk;
        ScriptedPrompts prompts;
        addHotel(desk);
        whenPickerOpens([](TRoomList_Form *picker) {
            // Clicked bottom first; handed back top first.
            clickRow(picker, 4);
            clickRow(picker, 0, Qt::ControlModifier);
            clickRow(picker, 3, Qt::ControlModifier);
            clickRow(picker, 3, Qt::ControlModifier);
            QTest::mouseClick(picker->Confirm_Bt, Qt::LeftButton);
        });
        QCOMPARE(pickRooms(nullptr), std::optional<QStringList>(QStringList { "1101", "2101" }));

        whenPickerOpens([](TRoomList_Form *picker) {
            clickRow(picker, 1);
            QTest::mouseClick(picker->Close_Bt, Qt::LeftButton);
        });
        QCOMPARE(pickRooms(nullptr), std::nullopt);

        whenPickerOpens([](TRoomList_Form *picker) {
            clickRow(picker, 2);
            // Enter in the grid neither picks nor closes.
            QTest::keyClick(picker->RoomInfo_DBGrid, Qt::Key_Return);
            QVERIFY(picker->isVisible());
            // A double click arrives after the press of its first click.
            clickRow(picker, 5);
            QTest::mouseDClick(picker->RoomInfo_DBGrid->viewport(), Qt::LeftButton, Qt::NoModifier,
                picker->RoomInfo_DBGrid->visualRect(picker->RoomInfo_DBGrid->model()->index(5, 0)).center());
        });
        QCOMPARE(pickRooms(nullptr), std::optional<QStringList>(QStringList { "2202" }));

        whenPickerOpens([](TRoomList_Form *picker) { QTest::keyClick(picker->RoomInfo_DBGrid, Qt::Key_Escape); });
        QCOMPARE(pickRooms(nullptr), std::nullopt);
    }

    void checkInTakesLastPickedRoom()
    {
        DeskInHotel desk;
        ScriptedPrompts prompts;
        addHotel(desk);
        WindowRegistry &registry = windowRegistry();
        registerCheckInWindows(registry);
        TGuestQuickIn_Form form;
        form.se_Room1->setText(QStringLiteral("9"));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        whenPickerOpens([](TRoomList_Form *picker) {
            clickRow(picker, 5);
            clickRow(picker, 0, Qt::ControlModifier);
            clickRow(picker, 3, Qt::ControlModifier);
            QTest::mouseClick(picker->Confirm_Bt, Qt::LeftButton);
        });
        QTest::keyClick(form.se_Room1, Qt::Key_F2);
        QCOMPARE(form.se_Room1->text(), QStringLiteral("2202"));

        // Cancelled, or nothing selected: the box is unchanged.
        whenPickerOpens([](TRoomList_Form *picker) { picker->reject(); });
        QTest::mouseClick(form.RoomList_Bt, Qt::LeftButton);
        QCOMPARE(form.se_Room1->text(), QStringLiteral("2202"));
        whenPickerOpens([](TRoomList_Form *picker) { QTest::mouseClick(picker->Confirm_Bt, Qt::LeftButton); });
        QTest::mouseClick(form.RoomList_Bt, Qt::LeftButton);
        QCOMPARE(form.se_Room1->text(), QStringLiteral("2202"));
        QVERIFY(prompts.asked.isEmpty());
    }
};

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    TestRoomList test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_roomlist.moc"
