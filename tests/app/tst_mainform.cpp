#include "AppState.h"
#include "HotelFixture.h"
#include "MainForm.h"
#include "MenuTable.h"
#include "Operators.h"
#include "ScriptedPrompts.h"
#include "Settings.h"
#include "Sql.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QDesktopServices>
#include <QDialog>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace {

// Records the windows the main window opens; each closes as soon as it shows.
struct Opened {
    QString key;
    OpenOptions options;
};

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList files;
public Q_SLOTS:
    void record(const QUrl &url) { files << QFileInfo(url.toLocalFile()).fileName(); }
};

// Prompts that let the board's timer tick while the error box is up.
class TickingPrompts : public ScriptedPrompts {
public:
    std::function<void()> whileShown;
    int boxes = 0;
    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton) override
    {
        ++boxes;
        if (whileShown)
            whileShown();
        asked << Asked { Message, icon, title, text, buttons, {}, {} };
        return QMessageBox::Ok;
    }
};

const QStringList windowKeys {
    "EncodeCard_Menu",
    "ReadCard_Menu",
    "ClearCard_Menu",
    "ReadDataCard_Menu",
    "CheckIn_Menu",
    "ClockRoom_Menu",
    "ModifyGuestCard_Menu",
    "CheckOut_Menu",
    "CheckOpenRecord_Menu",
    "CheckMakeCardRecord_Menu",
    "CheckRoomStatus_Menu",
    "OperatorManage_Menu",
    "ChangePass_Menu",
    "SystemSetting_Menu",
    "RoomType_Menu",
    "RoomSetting_Menu",
    "DistrictSetting_Menu",
    "N35",
};

} // namespace

class TestMainForm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void menus_orderCaptionsAndKeys();
    void rights_perOperator_data();
    void rights_perOperator();
    void keys_deadWhenDisabled_andCardWindowOptions();
    void contextMenu_openToEveryOperator();
    void unregisteredEntries_disabled();
    void toolButtons_keepTheirCaptions();
    void help_pagesByEncoderType();
    void missingOperatorRow_endsTheProgram();
    void rightsUnreadable_gatedEntriesStayShut();
    void board_selectionSurvivesATick();
    void board_ticksDuringErrorBox_oneBox();

private:
    std::unique_ptr<TMainForm> makeForm(const QString &staffer);
    void registerAll();

    std::unique_ptr<HotelFixture> m_hotel;
    std::unique_ptr<ScriptedPrompts> m_prompts;
    QList<Opened> m_opened;
    QList<QStringList> m_checkedOut;
};

void TestMainForm::init()
{
    SystemSettings = TSystemSettings();
    RoomsChanged = false;
    clearProgramEndRequest();
    m_opened.clear();
    m_checkedOut.clear();
    m_hotel = std::make_unique<HotelFixture>();
    m_hotel->addRoom(QStringLiteral("101"), 1, 1, 1);
    m_hotel->addRoom(QStringLiteral("102"), 1, 1, 2);
    m_hotel->addRoom(QStringLiteral("103"), 1, 1, 3, 1);
    m_hotel->addStay(QStringLiteral("102"));
    m_hotel->addStay(QStringLiteral("103"));
    m_hotel->addOperator(QStringLiteral("admin"), QStringLiteral("1"), operatorRightColumns());
    m_hotel->addOperator(QStringLiteral("desk'1"), QStringLiteral("1"), { QStringLiteral("CheckIn") });
    m_hotel->addOperator(QStringLiteral("guest"), QStringLiteral("1"), {});
    m_prompts = std::make_unique<ScriptedPrompts>();
    m_prompts->setAnswerAll(true);
    windowRegistry().clear();
    windowRegistry().quickCheckOut = nullptr;
    windowRegistry().pickRooms = nullptr;
}

void TestMainForm::cleanup()
{
    windowRegistry().clear();
    windowRegistry().quickCheckOut = nullptr;
    m_prompts.reset();
    m_hotel.reset();
    clearProgramEndRequest();
}

void TestMainForm::registerAll()
{
    for (const QString &key : windowKeys) {
        windowRegistry().add(key, [this, key](QWidget *parent, const OpenOptions &options) {
            m_opened << Opened { key, options };
            auto *dialog = new QDialog(parent);
            QTimer::singleShot(0, dialog, &QDialog::reject);
            return dialog;
        });
    }
    windowRegistry().quickCheckOut = [this](const QStringList &rooms) {
        m_checkedOut << rooms;
        return int(rooms.size());
    };
}

std::unique_ptr<TMainForm> TestMainForm::makeForm(const QString &staffer)
{
    SystemSettings.Staffer = staffer;
    return std::make_unique<TMainForm>();
}

void TestMainForm::menus_orderCaptionsAndKeys()
{
    registerAll();
    auto form = makeForm(QStringLiteral("admin"));
    QStringList menus;
    QStringList entries;
    QMap<QString, QString> keys;
    for (QAction *top : form->menuBar()->actions()) {
        menus << top->menu()->objectName();
        for (QAction *entry : top->menu()->actions()) {
            if (entry->isSeparator())
                continue;
            entries << entry->objectName();
            if (!entry->shortcut().isEmpty())
                keys.insert(entry->shortcut().toString(), entry->objectName());
        }
    }
    QCOMPARE(menus, (QStringList { "CardOperate", "N3", "N5", "N13", "N14" }));
    QCOMPARE(entries.first(), QStringLiteral("EncodeCard_Menu"));
    QCOMPARE(entries.mid(entries.indexOf("N5") + 0, 0), QStringList());
    QCOMPARE(entries.at(entries.indexOf("OperatorManage_Menu") + 1), QStringLiteral("ChangePass_Menu"));
    QCOMPARE(entries.mid(entries.indexOf("DistrictSetting_Menu"), 3),
        (QStringList { "DistrictSetting_Menu", "N39", "N40" }));
    QCOMPARE(entries.last(), QStringLiteral("FAQ_Menu"));
    QCOMPARE(entries.size(), 22);
    const QMap<QString, QString> expected { { "F1", "CheckIn_Menu" }, { "F2", "ModifyGuestCard_Menu" },
        { "F3", "CheckOut_Menu" }, { "F4", "ReadCard_Menu" }, { "F5", "ClearCard_Menu" } };
    QCOMPARE(keys, expected);
    QCOMPARE(form->action("ClearCard_Menu")->text(), QString::fromUtf8("注销卡"));
    QCOMPARE(form->CheckIn_MfPopMenu->text(), QString::fromUtf8("发客人卡"));
    QCOMPARE(form->mi_GuestLeave->text(), QString::fromUtf8("宾客退房"));
}

void TestMainForm::rights_perOperator_data()
{
    QTest::addColumn<QString>("staffer");
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("disabled");
    const QStringList gated { "ReadDataCard_Menu", "CheckIn_Menu", "ClockRoom_Menu", "CheckOut_Menu",
        "OperatorManage_Menu", "SystemSetting_Menu", "RoomType_Menu", "RoomSetting_Menu", "DistrictSetting_Menu" };
    const QStringList open { "EncodeCard_Menu", "ReadCard_Menu", "ClearCard_Menu", "ModifyGuestCard_Menu",
        "CheckOpenRecord_Menu", "CheckMakeCardRecord_Menu", "CheckRoomStatus_Menu", "ChangePass_Menu", "N39", "N40",
        "N35", "OprManual_Menu", "FAQ_Menu" };
    QTest::newRow("every right") << QStringLiteral("admin") << gated + open << QStringList();
    QTest::newRow("name in other case") << QStringLiteral("ADMIN") << gated + open << QStringList();
    QStringList deskOff = gated;
    deskOff.removeAll("CheckIn_Menu");
    deskOff.removeAll("ClockRoom_Menu");
    QTest::newRow("check-in only, quoted name")
        << QStringLiteral("Desk'1") << open + QStringList { "CheckIn_Menu", "ClockRoom_Menu" } << deskOff;
    QTest::newRow("no rights") << QStringLiteral("guest") << open << gated;
}

void TestMainForm::rights_perOperator()
{
    QFETCH(QString, staffer);
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, disabled);
    registerAll();
    auto form = makeForm(staffer);
    QVERIFY(!programEndRequested());
    for (const QString &name : enabled)
        QVERIFY2(form->action(name)->isEnabled(), qPrintable(name));
    for (const QString &name : disabled)
        QVERIFY2(!form->action(name)->isEnabled(), qPrintable(name));
    const auto button = [&](const char *name) { return form->findChild<QToolButton *>(QLatin1String(name)); };
    QCOMPARE(button("CheckIn_SB")->isEnabled(), form->action("CheckIn_Menu")->isEnabled());
    QCOMPARE(button("CheckOut2_SB")->isEnabled(), form->action("CheckOut_Menu")->isEnabled());
    QVERIFY(button("GuestContinueIn2_SpeedButton")->isEnabled());
    QVERIFY(button("QuitSystem_SpeedBt")->isEnabled());
}

void TestMainForm::keys_deadWhenDisabled_andCardWindowOptions()
{
    registerAll();
    auto form = makeForm(QStringLiteral("guest"));
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_F1);
    QTest::keyClick(form.get(), Qt::Key_F3);
    QTest::mouseClick(form->findChild<QToolButton *>("CheckIn_SB"), Qt::LeftButton);
    QVERIFY(m_opened.isEmpty());

    // Each window takes the focus while it is open: the next key waits for the main window.
    for (Qt::Key key : { Qt::Key_F4, Qt::Key_F5, Qt::Key_F2 }) {
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), key);
    }
    form->action("EncodeCard_Menu")->trigger();
    QCOMPARE(m_opened.size(), 4);
    QCOMPARE(m_opened[0].key, QStringLiteral("ReadCard_Menu"));
    QVERIFY(!m_opened[0].options.showCancel);
    QCOMPARE(m_opened[1].key, QStringLiteral("ClearCard_Menu"));
    QVERIFY(m_opened[1].options.showCancel);
    QCOMPARE(m_opened[2].key, QStringLiteral("ModifyGuestCard_Menu"));
    QCOMPARE(m_opened[3].key, QStringLiteral("EncodeCard_Menu"));
    QCOMPARE(m_opened[3].options.page, 5);
    QCOMPARE(m_opened[3].options.roomStr, QString());
}

// Rights do not reach the board's context menu; the first selected room is
// the first in board order, whatever order it was clicked in.
void TestMainForm::contextMenu_openToEveryOperator()
{
    registerAll();
    auto form = makeForm(QStringLiteral("guest"));
    QVERIFY(!form->CheckIn_MfPopMenu->isEnabled());
    QVERIFY(form->mi_GuestLeave->isEnabled());
    QListWidget *board = form->Room_ListView;
    QCOMPARE(board->count(), 3);
    form->PopupMenu1Popup(); // nothing selected: states kept
    QVERIFY(!form->CheckIn_MfPopMenu->isEnabled());
    QVERIFY(form->mi_GuestLeave->isEnabled());

    board->item(2)->setSelected(true); // 103: occupied under repair (image 3)
    board->item(0)->setSelected(true); // 101: free
    form->PopupMenu1Popup();
    QVERIFY(form->CheckIn_MfPopMenu->isEnabled());
    QVERIFY(!form->mi_GuestLeave->isEnabled());
    form->CheckIn_MfPopMenuClick();
    QCOMPARE(m_opened.size(), 1);
    QCOMPARE(m_opened[0].key, QStringLiteral("CheckIn_Menu"));
    QCOMPARE(m_opened[0].options.roomStr, QStringLiteral("101"));

    board->clearSelection();
    board->item(2)->setSelected(true);
    board->item(1)->setSelected(true); // 102: occupied (image 2)
    form->PopupMenu1Popup();
    QVERIFY(form->mi_GuestLeave->isEnabled());
    form->mi_GuestLeaveClick();
    QCOMPARE(m_checkedOut, (QList<QStringList> { { "102", "103" } }));
}

void TestMainForm::unregisteredEntries_disabled()
{
    auto form = makeForm(QStringLiteral("admin"));
    for (const QString &key : windowKeys)
        QVERIFY2(!form->action(key)->isEnabled(), qPrintable(key));
    QVERIFY(!form->findChild<QToolButton *>("CheckIn_SB")->isEnabled());
    QVERIFY(form->action("N39")->isEnabled());
    form->Room_ListView->item(0)->setSelected(true);
    form->PopupMenu1Popup();
    QVERIFY(!form->CheckIn_MfPopMenu->isEnabled());
    QVERIFY(!form->mi_GuestLeave->isEnabled());
    form->CheckIn_MfPopMenuClick();
    form->mi_GuestLeaveClick();
}

void TestMainForm::toolButtons_keepTheirCaptions()
{
    registerAll();
    auto form = makeForm(QStringLiteral("guest"));
    translateWindow(form.get());
    QStringList captions;
    for (const ToolButtonDef &def : mainToolButtons())
        captions << form->findChild<QToolButton *>(def.name)->text();
    QCOMPARE(captions,
        (QStringList { QString::fromUtf8("开房[F1]"), QString::fromUtf8("续房[F2]"), QString::fromUtf8("退房[F3]"),
            QString::fromUtf8("读卡[F4]"), QString::fromUtf8("注销卡[F5]"), QString::fromUtf8("退出") }));
}

void TestMainForm::help_pagesByEncoderType()
{
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "record");
    auto form = makeForm(QStringLiteral("admin"));
    QCOMPARE(form->EncoderType, 0);
    form->OprManual_MenuClick();
    form->FAQ_MenuClick();
    form->EncoderType = 2;
    form->OprManual_MenuClick();
    form->EncoderType = 3;
    form->OprManual_MenuClick();
    form->EncoderType = 11;
    form->OprManual_MenuClick();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(recorder.files, (QStringList { "Manual.htm", "0802IC02.htm", "0804Rf03.htm" }));
}

void TestMainForm::missingOperatorRow_endsTheProgram()
{
    auto form = makeForm(QStringLiteral("ghost"));
    QVERIFY(programEndRequested());
}

void TestMainForm::rightsUnreadable_gatedEntriesStayShut()
{
    registerAll();
    Sql::execDirect(m_hotel->db(), QStringLiteral("ALTER TABLE Operator RENAME TO OperatorGone"));
    m_prompts->clear();
    auto form = makeForm(QStringLiteral("admin"));
    QVERIFY(m_prompts->texts().size() >= 2); // no encoder, then the refused look-up
    for (const MenuDef &menu : mainMenus()) {
        for (const MenuEntry &entry : menu.entries)
            QCOMPARE(form->action(entry.name)->isEnabled(), entry.right.isEmpty());
    }
    QVERIFY(!programEndRequested());
}

void TestMainForm::board_selectionSurvivesATick()
{
    auto form = makeForm(QStringLiteral("admin"));
    QListWidget *board = form->Room_ListView;
    board->item(1)->setSelected(true);
    board->item(2)->setSelected(true);
    board->setCurrentRow(2, QItemSelectionModel::NoUpdate);
    m_hotel->addStay(QStringLiteral("101"));
    RoomsChanged = true;
    form->Timer1Timer();
    QVERIFY(!RoomsChanged);
    QCOMPARE(form->boardItems().first().imageIndex, 2);
    QCOMPARE(form->selectedRoomsInBoardOrder(), (QStringList { "102", "103" }));
    QCOMPARE(board->currentRow(), 2);
    form->Timer1Timer(); // flag clear: nothing to do
    QCOMPARE(form->selectedRoomsInBoardOrder(), (QStringList { "102", "103" }));
}

// A broken connection: ticks during the error box neither stack boxes nor
// clear the flag; the board comes back with the first rebuild that works.
void TestMainForm::board_ticksDuringErrorBox_oneBox()
{
    auto form = makeForm(QStringLiteral("admin"));
    m_prompts.reset();
    TickingPrompts ticking;
    ticking.whileShown = [&] {
        for (int i = 0; i < 3; ++i)
            form->Timer1Timer();
    };
    Sql::execDirect(m_hotel->db(), QStringLiteral("ALTER TABLE RoomInfo RENAME TO RoomInfoGone"));
    RoomsChanged = true;
    form->Timer1Timer();
    QCOMPARE(ticking.boxes, 1);
    QVERIFY(RoomsChanged);
    QCOMPARE(form->Room_ListView->count(), 0);
    // Later ticks fail quietly; the operator's refresh tells again.
    ticking.whileShown = nullptr;
    form->Timer1Timer();
    form->Timer1Timer();
    QCOMPARE(ticking.boxes, 1);
    form->SetRoom_LV();
    QCOMPARE(ticking.boxes, 2);
    Sql::execDirect(m_hotel->db(), QStringLiteral("ALTER TABLE RoomInfoGone RENAME TO RoomInfo"));
    form->Timer1Timer();
    QCOMPARE(ticking.boxes, 2);
    QVERIFY(!RoomsChanged);
    QCOMPARE(form->Room_ListView->count(), 3);
}

QTEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
