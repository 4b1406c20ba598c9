#include "MainForm.h"

#include "AppState.h"
#include "Backup.h"
#include "BitmapIcon.h"
#include "Clock.h"
#include "Connection.h"
#include "DataModule.h"
#include "MenuTable.h"
#include "Operators.h"
#include "Paths.h"
#include "Prompts.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "TFileVersion.h"
#include "TLanguage.h"
#include "ToolPictures.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <exception>
#include <memory>

namespace {

const char *const PictureFiles[] = { "Normal.bmp", "Normal_ModiRoom.bmp", "GuestIn.BMP", "GuestIn_ModiRoom.BMP" };
constexpr int ImageRole = Qt::UserRole + 1;

// Texts the main window shows when the translation database has none.
QString defaultMessage(int number)
{
    switch (number) {
    case 2:
        return QString::fromUtf8("提示");
    case 3:
        return QString::fromUtf8("数据备份成功！");
    case 4:
        return QString::fromUtf8("文件已存在，不能覆盖！");
    case 6:
        return QString::fromUtf8("数据恢复成功！");
    case 7:
        return QString::fromUtf8("文件不存在！");
    case 8:
        return QString::fromUtf8("刷新");
    case 9:
        return QString::fromUtf8("所有楼号");
    case 10:
        return QString::fromUtf8("所有楼层");
    case 11:
        return QString::fromUtf8("数据恢复失败！");
    case 12:
        return QString::fromUtf8("数据备份失败！");
    case 15:
        return QString::fromUtf8("服务器数据库请使用服务器自身的备份与恢复。");
    case 16:
        return QString::fromUtf8("所选文件不是本系统的数据文件！");
    default:
        return {};
    }
}

// A selected board item is remembered by its caption and which of the items
// with that caption it is, since a room with two live stays shows twice.
struct ItemKey {
    QString caption;
    int occurrence = 0;
    bool operator==(const ItemKey &) const = default;
};

ItemKey keyOf(QListWidget *list, int row)
{
    const QString caption = list->item(row)->text();
    int occurrence = 0;
    for (int i = 0; i < row; ++i) {
        if (list->item(i)->text() == caption)
            ++occurrence;
    }
    return { caption, occurrence };
}

} // namespace

TMainForm::TMainForm(EncoderPort encoder, QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setWindowState(windowState() | Qt::WindowMaximized);

    buildMenus();
    buildToolBar();

    Room_ListView = new QListWidget(this);
    Room_ListView->setObjectName(QStringLiteral("Room_ListView"));
    Room_ListView->setViewMode(QListView::IconMode);
    Room_ListView->setIconSize(QSize(32, 32));
    Room_ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Room_ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Room_ListView->setMovement(QListView::Static);
    Room_ListView->setResizeMode(QListView::Adjust);
    Room_ListView->setUniformItemSizes(true);
    Room_ListView->setGridSize(QSize(72, 60));
    Room_ListView->setWordWrap(true);
    Room_ListView->setContextMenuPolicy(Qt::CustomContextMenu);
    setCentralWidget(Room_ListView);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addSeparator();
    CheckIn_MfPopMenu = PopupMenu1->addAction(QString::fromUtf8("发客人卡"));
    CheckIn_MfPopMenu->setObjectName(QStringLiteral("CheckIn_MfPopMenu"));
    CheckIn_MfPopMenu->setEnabled(false);
    PopupMenu1->addSeparator();
    mi_GuestLeave = PopupMenu1->addAction(QString::fromUtf8("宾客退房"));
    mi_GuestLeave->setObjectName(QStringLiteral("mi_GuestLeave"));
    PopupMenu1->addSeparator();
    connect(CheckIn_MfPopMenu, &QAction::triggered, this, guarded([this] { CheckIn_MfPopMenuClick(); }));
    connect(mi_GuestLeave, &QAction::triggered, this, guarded([this] { mi_GuestLeaveClick(); }));
    connect(Room_ListView, &QWidget::customContextMenuRequested, this, guarded([this](const QPoint &pos) {
        PopupMenu1Popup();
        PopupMenu1->popup(Room_ListView->viewport()->mapToGlobal(pos));
    }));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(24);
    StatusBar1->setSizeGripEnabled(false);
    setStatusBar(StatusBar1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(3000);
    connect(Timer1, &QTimer::timeout, this, guarded([this] { Timer1Timer(); }));

    FormCreate(encoder);
    Timer1->start();
}

TMainForm::~TMainForm() = default;

void TMainForm::buildMenus()
{
    for (const MenuDef &def : mainMenus()) {
        QMenu *menu = menuBar()->addMenu(def.caption);
        menu->setObjectName(def.name);
        for (const MenuEntry &entry : def.entries) {
            if (entry.separatorBefore)
                menu->addSeparator();
            QAction *action = menu->addAction(entry.caption);
            action->setObjectName(entry.name);
            action->setShortcut(entry.shortcut);
            action->setShortcutContext(Qt::WindowShortcut);
            // Rights are granted by InitMenu; until then a gated entry stays shut.
            const bool available = isBuiltInEntry(entry.name) || windowRegistry().has(entry.name);
            action->setEnabled(available && entry.right.isEmpty());
            m_actions.insert(entry.name, action);
            connect(action, &QAction::triggered, this, guarded([this, name = entry.name] { openEntry(name); }));
        }
    }
}

void TMainForm::buildToolBar()
{
    CoolBar1 = new QToolBar(this);
    CoolBar1->setObjectName(QStringLiteral("CoolBar1"));
    CoolBar1->setMovable(false);
    CoolBar1->setFloatable(false);
    CoolBar1->setFixedHeight(73);
    CoolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    addToolBar(Qt::TopToolBarArea, CoolBar1);
    bool first = true;
    for (const ToolButtonDef &def : mainToolButtons()) {
        if (!first)
            CoolBar1->addSeparator();
        first = false;
        auto *button = new QToolButton(CoolBar1);
        button->setObjectName(def.name);
        button->setText(def.caption);
        button->setIcon(toolPicture(def.name));
        button->setIconSize(QSize(32, 32));
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setAutoRaise(true);
        button->setFixedSize(73, 60);
        button->setFocusPolicy(Qt::NoFocus);
        CoolBar1->addWidget(button);
        m_toolButtons.insert(def.name, button);
        if (def.entry.isEmpty()) {
            connect(button, &QToolButton::clicked, this, guarded([this] { A_SysExitExecute(); }));
            continue;
        }
        // The button triggers its entry's action and follows its enabled state;
        // setDefaultAction would overwrite the button's own caption.
        QAction *action = m_actions.value(def.entry);
        button->setEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, &QToolButton::setEnabled);
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    }
}

void TMainForm::FormCreate(const EncoderPort &encoder)
{
    // Status bar: refresh button and filters on panels 0-2, then texts.
    BoardRefresh_Bt = new QPushButton(StatusBar1);
    BoardRefresh_Bt->setObjectName(QStringLiteral("BoardRefresh_Bt"));
    BoardRefresh_Bt->setFixedWidth(50);
    BoardRefresh_Bt->setAutoDefault(false);
    BuildingFilter_Cb = new QComboBox(StatusBar1);
    BuildingFilter_Cb->setObjectName(QStringLiteral("BuildingFilter_Cb"));
    BuildingFilter_Cb->setFixedWidth(50);
    FloorFilter_Cb = new QComboBox(StatusBar1);
    FloorFilter_Cb->setObjectName(QStringLiteral("FloorFilter_Cb"));
    FloorFilter_Cb->setFixedWidth(50);
    StatusBar1->addWidget(BoardRefresh_Bt);
    StatusBar1->addWidget(BuildingFilter_Cb);
    StatusBar1->addWidget(FloorFilter_Cb);
    const int widths[] = { 50, 150, 150, 150, 150 };
    for (int width : widths) {
        auto *label = new QLabel(StatusBar1);
        label->setFixedWidth(width);
        label->setFrameShape(width == 50 ? QFrame::NoFrame : QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(label);
        m_panels << label;
    }
    const TFileVersion version;
    setStatusText(4, version.productName() + QLatin1Char(' ') + version.fileVersion());
    setStatusText(5, version.value(QStringLiteral("CompanyName")));
    setStatusText(6, SystemSettings.StafferName);

    translateWindow(this);
    installCapturePrompt(this);

    runGuarded([this] { InitializeForm(); });
    LoadICon();
    SetRoom_LV();

    const int16_t port = encoder.openPort ? encoder.openPort() : int16_t(-2);
    if (port == 1) {
        if (encoder.bind)
            runGuarded([&] { encoder.bind(this); });
    } else {
        prompts().message(this, QMessageBox::Information, QString::number(port), QString::fromUtf8("未检测到发卡机！"),
            QMessageBox::Ok, QMessageBox::Ok);
    }
    runGuarded([this] { InitMenu(); });
}

QString TMainForm::MessageText(int number) const
{
    const auto *language = findChild<TLanguage *>(QStringLiteral("Language1"), Qt::FindDirectChildrenOnly);
    const QString text = language ? language->MessageText(number) : QString();
    return text.isEmpty() ? defaultMessage(number) : text;
}

void TMainForm::setStatusText(int panel, const QString &text)
{
    if (panel >= 3 && panel - 3 < m_panels.size())
        m_panels.at(panel - 3)->setText(text);
}

void TMainForm::InitializeForm()
{
    BoardRefresh_Bt->setText(MessageText(8));
    connect(BoardRefresh_Bt, &QPushButton::clicked, this, guarded([this] { SetRoom_LV(); }));
    dm().GetDataTypeItems(4, BuildingFilter_Cb);
    BuildingFilter_Cb->addItem(MessageText(9));
    BuildingFilter_Cb->setCurrentIndex(BuildingFilter_Cb->count() - 1);
    dm().GetDataTypeItems(5, FloorFilter_Cb);
    FloorFilter_Cb->addItem(MessageText(10));
    FloorFilter_Cb->setCurrentIndex(FloorFilter_Cb->count() - 1);
    connect(BuildingFilter_Cb, &QComboBox::currentIndexChanged, this, guarded([this](int) { SetRoom_LV(); }));
    connect(FloorFilter_Cb, &QComboBox::currentIndexChanged, this, guarded([this](int) { SetRoom_LV(); }));
}

void TMainForm::LoadICon()
{
    Room_ImageList.clear();
    const QIcon programIcon = windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon) : windowIcon();
    for (const char *file : PictureFiles) {
        const QString path = QDir(Paths::inProgramDir(QStringLiteral("pic/build"))).filePath(QLatin1String(file));
        const QIcon icon = QFileInfo(path).isFile() ? BitmapFileToIcon(path) : QIcon();
        Room_ImageList << (icon.isNull() ? programIcon : icon);
    }
}

BoardFilter TMainForm::currentFilter() const
{
    BoardFilter filter;
    auto pick = [](QComboBox *combo) -> std::optional<int> {
        const int index = combo->currentIndex();
        if (index < 0 || index == combo->count() - 1)
            return std::nullopt;
        bool ok = false;
        const int value = combo->currentText().toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    };
    if (BuildingFilter_Cb)
        filter.building = pick(BuildingFilter_Cb);
    if (FloorFilter_Cb)
        filter.floor = pick(FloorFilter_Cb);
    return filter;
}

void TMainForm::SetRoom_LV()
{
    rebuildBoard();
}

bool TMainForm::rebuildBoard(bool fromTimer)
{
    // Never re-entered: a tick during the error box of a failed rebuild waits.
    if (m_rebuilding)
        return false;
    m_rebuilding = true;

    QList<ItemKey> selected;
    std::optional<ItemKey> current;
    for (int row = 0; row < Room_ListView->count(); ++row) {
        if (Room_ListView->item(row)->isSelected())
            selected << keyOf(Room_ListView, row);
    }
    if (Room_ListView->currentRow() >= 0)
        current = keyOf(Room_ListView, Room_ListView->currentRow());
    const int scroll = Room_ListView->verticalScrollBar()->value();

    QList<BoardItem> items;
    std::exception_ptr failure;
    try {
        items = readBoard(dm().conn(), currentFilter());
    } catch (...) {
        failure = std::current_exception();
    }

    Room_ListView->setUpdatesEnabled(false);
    const QSignalBlocker blocker(Room_ListView);
    Room_ListView->clear();
    QHash<QString, int> seen;
    for (const BoardItem &item : items) {
        auto *entry = new QListWidgetItem(Room_ImageList.value(item.imageIndex), item.roomStr, Room_ListView);
        entry->setData(ImageRole, item.imageIndex);
        const ItemKey key { item.roomStr, seen[item.roomStr]++ };
        if (selected.contains(key))
            entry->setSelected(true);
        if (current && *current == key)
            Room_ListView->setCurrentItem(entry, QItemSelectionModel::NoUpdate);
    }
    Room_ListView->verticalScrollBar()->setValue(scroll);
    Room_ListView->setUpdatesEnabled(true);

    if (failure) {
        // The board stays empty and RoomsChanged stays set until a rebuild
        // succeeds. The timer tells of a failure once, not every three seconds
        // while the database is away; the operator's refresh always tells.
        if (!fromTimer || !m_timerFailureShown) {
            m_timerFailureShown = fromTimer;
            try {
                std::rethrow_exception(failure);
            } catch (...) {
                showCurrentException();
            }
        }
        m_rebuilding = false;
        return false;
    }
    m_timerFailureShown = false;
    m_rebuilding = false;
    return true;
}

void TMainForm::Timer1Timer()
{
    if (RoomsChanged && rebuildBoard(/*fromTimer=*/true))
        RoomsChanged = false;
    checkpointWhileIdle(dm().conn());
}

QList<BoardItem> TMainForm::boardItems() const
{
    QList<BoardItem> items;
    for (int row = 0; row < Room_ListView->count(); ++row) {
        const QListWidgetItem *item = Room_ListView->item(row);
        items << BoardItem { item->text(), item->data(ImageRole).toInt() };
    }
    return items;
}

QStringList TMainForm::selectedRoomsInBoardOrder() const
{
    QStringList rooms;
    for (int row = 0; row < Room_ListView->count(); ++row) {
        if (Room_ListView->item(row)->isSelected())
            rooms << Room_ListView->item(row)->text();
    }
    return rooms;
}

void TMainForm::PopupMenu1Popup()
{
    int first = -1;
    for (int row = 0; row < Room_ListView->count(); ++row) {
        if (Room_ListView->item(row)->isSelected()) {
            first = row;
            break;
        }
    }
    if (first < 0)
        return;
    CheckIn_MfPopMenu->setEnabled(static_cast<bool>(windowRegistry().factory(QStringLiteral("CheckIn_Menu"))));
    mi_GuestLeave->setEnabled(
        static_cast<bool>(windowRegistry().quickCheckOut) && Room_ListView->item(first)->data(ImageRole).toInt() == 2);
}

void TMainForm::CheckIn_MfPopMenuClick()
{
    const QStringList rooms = selectedRoomsInBoardOrder();
    const WindowFactory make = windowRegistry().factory(QStringLiteral("CheckIn_Menu"));
    if (rooms.isEmpty() || !make)
        return;
    OpenOptions options;
    options.roomStr = rooms.first();
    std::unique_ptr<QDialog> window(make(this, options));
    if (window)
        window->exec();
}

void TMainForm::mi_GuestLeaveClick()
{
    const QStringList rooms = selectedRoomsInBoardOrder();
    if (rooms.isEmpty() || !windowRegistry().quickCheckOut)
        return;
    if (windowRegistry().quickCheckOut(rooms) > 0)
        SetRoom_LV();
}

void TMainForm::setEntryEnabled(const QString &name, bool enabled)
{
    if (QAction *a = m_actions.value(name))
        a->setEnabled(enabled && (isBuiltInEntry(name) || windowRegistry().has(name)));
}

void TMainForm::InitMenu()
{
    const std::optional<OperatorRow> row = findOperator(dm().conn(), SystemSettings.Staffer);
    if (!row) {
        requestProgramEnd();
        return;
    }
    for (const MenuDef &menu : mainMenus()) {
        for (const MenuEntry &entry : menu.entries) {
            if (!entry.right.isEmpty())
                setEntryEnabled(entry.name, row->right(entry.right));
        }
    }
}

void TMainForm::openEntry(const QString &name)
{
    QAction *a = m_actions.value(name);
    if (!a || !a->isEnabled())
        return;
    if (name == QLatin1String("N39"))
        return N39Click();
    if (name == QLatin1String("N40"))
        return N40Click();
    if (name == QLatin1String("OprManual_Menu"))
        return OprManual_MenuClick();
    if (name == QLatin1String("FAQ_Menu"))
        return FAQ_MenuClick();
    OpenOptions options;
    if (name == QLatin1String("EncodeCard_Menu"))
        options.page = 5;
    else if (name == QLatin1String("ReadCard_Menu"))
        options.showCancel = false;
    windowRegistry().open(name, this, options);
}

void TMainForm::N39Click()
{
    const QSqlDatabase db = dm().conn();
    const QString title = MessageText(2);
    if (Sql::isPostgres(db)) {
        prompts().information(this, title, MessageText(15));
        return;
    }
    const QString folder = dialogFolder(db);
    const QString target = prompts().saveFileName(
        this, QString(), QDir(folder).filePath(backupFileName(Clock::now())), QStringLiteral("Data(*.db)"));
    if (target.isEmpty())
        return;
    const BackupResult result = backupDatabase(db, target);
    switch (result.outcome) {
    case BackupOutcome::Done:
        prompts().information(this, title, MessageText(3));
        break;
    case BackupOutcome::TargetExists:
        prompts().error(this, title, MessageText(4));
        break;
    case BackupOutcome::ServerDatabase:
        prompts().information(this, title, MessageText(15));
        break;
    case BackupOutcome::Failed:
        prompts().error(this, title, MessageText(12) + QLatin1Char('\n') + result.reason);
        break;
    }
}

void TMainForm::N40Click()
{
    const QSqlDatabase db = dm().conn();
    const QString title = MessageText(2);
    if (Sql::isPostgres(db)) {
        prompts().information(this, title, MessageText(15));
        return;
    }
    const QString folder = dialogFolder(db);
    const QString source = prompts().openFileName(this, QString(), folder, QStringLiteral("Data(*.db)"));
    if (source.isEmpty())
        return;
    // A missing file comes back as Missing before anything is touched.
    // No tick may query the connection while it is closed.
    Timer1->stop();
    const RestoreResult result = restoreDatabase(source);
    Timer1->start();
    switch (result.outcome) {
    case RestoreOutcome::Done:
        prompts().information(this, title, MessageText(6));
        break;
    case RestoreOutcome::Missing:
        prompts().error(this, title, MessageText(7));
        break;
    case RestoreOutcome::NotOurs:
        prompts().error(this, title, MessageText(16));
        break;
    case RestoreOutcome::ServerDatabase:
        prompts().information(this, title, MessageText(15));
        break;
    case RestoreOutcome::Failed:
        prompts().information(this, title, MessageText(11) + QLatin1Char('\n') + result.reason);
        break;
    }
}

void TMainForm::OprManual_MenuClick()
{
    QString file;
    if (EncoderType == 2)
        file = QStringLiteral("0802IC02.htm");
    else if (EncoderType == 3)
        file = QStringLiteral("0804Rf03.htm");
    else
        return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(Paths::inProgramDir(file)));
}

void TMainForm::FAQ_MenuClick()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(Paths::inProgramDir(QStringLiteral("Manual.htm"))));
}

void TMainForm::A_SysExitExecute()
{
    close();
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    Timer1->stop();
    event->accept();
}
