#include "RoomInfo_Form.h"

#include "AppState.h"
#include "BitmapIcon.h"
#include "DataModule.h"
#include "DbError.h"
#include "HotelSetup.h"
#include "NamedWidgets.h"
#include "Paths.h"
#include "Prompts.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

namespace {
using Widgets::named;
using Widgets::button;

void showMessage(QWidget *parent, const QString &text)
{
    prompts().message(
        parent, QMessageBox::NoIcon, QString::fromLatin1(ApplicationTitle), text, QMessageBox::Ok, QMessageBox::Ok);
}

// The room type column offers the titles of the room types.
class PickListDelegate : public QStyledItemDelegate {
public:
    PickListDelegate(const QStringList &items, QObject *parent)
        : QStyledItemDelegate(parent)
        , m_items(items)
    {
    }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const override
    {
        auto *box = new QComboBox(parent);
        box->setObjectName(QStringLiteral("RoomTypeStr_PickList"));
        box->addItems(m_items);
        return box;
    }
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        box->setCurrentIndex(box->findText(index.data(Qt::EditRole).toString()));
    }
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override
    {
        auto *box = static_cast<QComboBox *>(editor);
        if (box->currentIndex() >= 0 && box->currentText() != index.data(Qt::EditRole).toString())
            model->setData(index, box->currentText());
    }

private:
    QStringList m_items;
};
} // namespace

RoomInfoQuery::RoomInfoQuery(QObject *parent, const QSqlDatabase &db)
    : QSqlTableModel(parent, db)
{
    setObjectName(QStringLiteral("RoomInfo_ado"));
    setEditStrategy(QSqlTableModel::OnManualSubmit);
    // On the server, names are folded to lower case and the table object quotes its table.
    setTable(Sql::isPostgres(db) ? QStringLiteral("roominfo") : QStringLiteral("RoomInfo"));
    if (lastError().isValid())
        throw DbError(lastError());
}

QString RoomInfoQuery::selectStatement() const
{
    return QStringLiteral("Select * From RoomInfo ORDER BY Buiding,Floor,Room");
}

Qt::ItemFlags RoomInfoQuery::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QSqlTableModel::flags(index) & ~Qt::ItemIsEditable;
    const int roomStr = fieldIndex(QStringLiteral("RoomStr"));
    const int roomType = fieldIndex(QStringLiteral("RoomTypeStr"));
    if (m_editableRow >= 0 && index.row() != m_editableRow)
        return f;
    if (index.column() == roomType || (index.column() == roomStr && m_roomStrEditable))
        f |= Qt::ItemIsEditable;
    return f;
}

void RoomInfoQuery::reload()
{
    if (!select())
        throw DbError(lastError());
    while (canFetchMore())
        fetchMore();
}

TRoomInfo_Form::TRoomInfo_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RoomInfo_Form"));
    setWindowTitle(QString::fromUtf8("房间设置"));

    RoomInfo_LV = named<QListWidget>("RoomInfo_LV", this);
    RoomInfo_LV->setViewMode(QListView::IconMode);
    RoomInfo_LV->setIconSize(QSize(32, 32));
    RoomInfo_LV->setResizeMode(QListView::Adjust);
    RoomInfo_LV->setMovement(QListView::Static);
    RoomInfo_LV->setSelectionMode(QAbstractItemView::SingleSelection);
    Label1 = named<QLabel>("Label1", QString::fromUtf8("楼号："), this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("楼层："), this);
    Building_Edit = named<QLineEdit>("Building_Edit", this);
    Floor_Edit = named<QLineEdit>("Floor_Edit", this);
    Building_Edit->setMaxLength(2);
    Floor_Edit->setMaxLength(2);
    GenRoomNumber_Bt = button("GenRoomNumber_Bt", "生成房间号", this);
    GenRoomNumber_Bt->setEnabled(false);
    RoomInfo_Dbg = named<QTableView>("RoomInfo_Dbg", this);
    RoomInfo_Dbg->setSelectionMode(QAbstractItemView::SingleSelection);
    RoomInfo_Dbg->verticalHeader()->hide();
    Ok_Bt = button("Ok_Bt", "确定(&E)", this);
    Delete_Bt = button("Delete_Bt", "删除(&D)", this);
    Exit_Bt = button("Exit_Bt", "关闭(&C)", this);
    Ok_Bt->setEnabled(false);
    Delete_Bt->setEnabled(false);

    auto *choose = new QHBoxLayout;
    choose->addWidget(Label1);
    choose->addWidget(Building_Edit);
    choose->addWidget(Label2);
    choose->addWidget(Floor_Edit);
    choose->addWidget(GenRoomNumber_Bt);
    choose->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : { Ok_Bt, Delete_Bt, Exit_Bt })
        buttons->addWidget(b);
    auto *right = new QVBoxLayout;
    right->addWidget(RoomInfo_Dbg, 1);
    right->addLayout(buttons);
    auto *left = new QVBoxLayout;
    left->addLayout(choose);
    left->addWidget(RoomInfo_LV, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 3);
    layout->addLayout(right, 2);
    resize(860, 520);

    translateWindow(this);
    installCapturePrompt(this, CapturePrompt::WhileInactive);

    const QString picture = Paths::inProgramDir(QStringLiteral("pic/build/Normal.bmp"));
    if (QFileInfo::exists(picture))
        m_roomPicture = BitmapFileToIcon(picture);
    if (m_roomPicture.isNull())
        m_roomPicture = windowIcon();

    const QSqlDatabase db = dm().conn();
    RoomInfo_ado = new RoomInfoQuery(this, db);
    RoomInfo_ado->setHeaderData(column("SystemRoomStr"), Qt::Horizontal, QString::fromUtf8("系统房号"));
    RoomInfo_ado->setHeaderData(column("RoomStr"), Qt::Horizontal, QString::fromUtf8("实际门牌号码"));
    RoomInfo_ado->setHeaderData(column("RoomTypeStr"), Qt::Horizontal, QString::fromUtf8("房间类型"));
    RoomInfo_Dbg->setModel(RoomInfo_ado);
    const int shown[] = { column("SystemRoomStr"), column("RoomStr"), column("RoomTypeStr") };
    for (int c = 0; c < RoomInfo_ado->columnCount(); ++c)
        RoomInfo_Dbg->setColumnHidden(c, std::find(std::begin(shown), std::end(shown), c) == std::end(shown));
    for (int i = 0; i < 3; ++i)
        RoomInfo_Dbg->horizontalHeader()->moveSection(RoomInfo_Dbg->horizontalHeader()->visualIndex(shown[i]), i);
    RoomInfo_Dbg->setItemDelegateForColumn(
        column("RoomTypeStr"), new PickListDelegate(Rooms::roomTypeTitles(db), RoomInfo_Dbg));
    reload();

    connect(Building_Edit, &QLineEdit::textChanged, this, [this] { Building_EditChange(); });
    connect(Floor_Edit, &QLineEdit::textChanged, this, [this] { Building_EditChange(); });
    connect(GenRoomNumber_Bt, &QPushButton::clicked, this, guarded([this] { GenRoomNumber(); }));
    connect(RoomInfo_LV, &QListWidget::itemDoubleClicked, this, guarded([this] { RoomInfo_LVDblClick(); }));
    connect(Ok_Bt, &QPushButton::clicked, this, guarded([this] { Ok_BtClick(); }));
    connect(Delete_Bt, &QPushButton::clicked, this, guarded([this] { Delete_BtClick(); }));
    connect(Exit_Bt, &QPushButton::clicked, this, &QDialog::reject);
    connect(RoomInfo_Dbg, &QTableView::clicked, this, guarded([this] { RoomInfo_DbgCellClick(); }));
    connect(RoomInfo_ado, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &topLeft) {
        // An editor closed without a change is no edit.
        if (m_filling || m_storing || m_pendingRow >= 0 || !RoomInfo_ado->isDirty(topLeft))
            return;
        m_pendingRow = topLeft.row();
        m_pendingNew = false;
        RoomInfo_DsStateChange();
    });
    connect(RoomInfo_Dbg->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        guarded([this](const QModelIndex &current, const QModelIndex &previous) {
            rowChanged(current.row(), previous.row());
        }));
}

TRoomInfo_Form::~TRoomInfo_Form()
{
    FormClose();
}

void TRoomInfo_Form::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TRoomInfo_Form::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    // A room not yet stored is abandoned.
    m_storing = true;
    RoomInfo_ado->revertAll();
    m_pendingRow = -1;
}

int TRoomInfo_Form::column(const char *name) const
{
    return RoomInfo_ado->fieldIndex(QLatin1String(name));
}

void TRoomInfo_Form::reload()
{
    m_storing = true;
    RoomInfo_ado->reload();
    if (RoomInfo_ado->rowCount() > 0)
        RoomInfo_Dbg->setCurrentIndex(RoomInfo_ado->index(0, column("SystemRoomStr")));
    m_storing = false;
}

void TRoomInfo_Form::Building_EditChange()
{
    GenRoomNumber_Bt->setEnabled(!Building_Edit->text().isEmpty() && !Floor_Edit->text().isEmpty());
}

QString TRoomInfo_Form::twoDigits(QLineEdit *edit)
{
    const Rooms::TwoDigits result = Rooms::FormatStrTo2Digits(edit->text());
    if (!result.message.isEmpty()) {
        showMessage(this, result.message);
        Building_Edit->setFocus();
    }
    return result.value;
}

void TRoomInfo_Form::fillList(int building, int floor)
{
    const QList<int> free = Rooms::freeRoomNumbers(dm().conn(), building, floor);
    RoomInfo_LV->clear();
    for (const int n : free)
        new QListWidgetItem(m_roomPicture, QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')), RoomInfo_LV);
    GenRoomNumber_Bt->setEnabled(false);
}

void TRoomInfo_Form::GenRoomNumber()
{
    const QString building = twoDigits(Building_Edit);
    if (building.isEmpty())
        return;
    const QString floor = twoDigits(Floor_Edit);
    if (floor.isEmpty())
        return;
    fillList(building.toInt(), floor.toInt());
}

void TRoomInfo_Form::listAgain()
{
    const Rooms::TwoDigits building = Rooms::FormatStrTo2Digits(Building_Edit->text());
    const Rooms::TwoDigits floor = Rooms::FormatStrTo2Digits(Floor_Edit->text());
    if (!building.value.isEmpty() && !floor.value.isEmpty())
        fillList(building.value.toInt(), floor.value.toInt());
}

void TRoomInfo_Form::RoomInfo_LVDblClick()
{
    const QList<QListWidgetItem *> selected = RoomInfo_LV->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem *item = selected.first();
    if (twoDigits(Building_Edit).isEmpty() || twoDigits(Floor_Edit).isEmpty())
        return;
    // An edited room is stored before a new one is begun.
    if (isEditPending() && !storePending(true))
        return;
    if (m_pendingRow >= 0)
        return;

    m_newRoom = Rooms::newRoom(Building_Edit->text(), Floor_Edit->text(), item->text().toInt());
    m_filling = true;
    const int row = RoomInfo_ado->rowCount();
    RoomInfo_ado->insertRow(row);
    const auto set = [&](const char *name, const QVariant &value) {
        RoomInfo_ado->setData(RoomInfo_ado->index(row, column(name)), value);
    };
    set("SystemRoomStr", m_newRoom.systemRoomStr);
    set("Buiding", m_newRoom.building);
    set("Floor", m_newRoom.floor);
    set("RoomNumber", m_newRoom.roomNumber);
    set("Room", m_newRoom.room);
    m_pendingRow = row;
    m_pendingNew = true;
    m_filling = false;
    RoomInfo_ado->setRoomStrEditable(true);
    RoomInfo_ado->setEditableRow(row);

    delete item;
    RoomInfo_LV->setEnabled(false);
    Building_Edit->setEnabled(false);
    Floor_Edit->setEnabled(false);
    Delete_Bt->setEnabled(false);
    Ok_Bt->setEnabled(true);
    const QModelIndex roomStr = RoomInfo_ado->index(row, column("RoomStr"));
    m_storing = true;
    RoomInfo_Dbg->setCurrentIndex(roomStr);
    m_storing = false;
    RoomInfo_Dbg->setFocus();
    RoomInfo_Dbg->edit(roomStr);
}

void TRoomInfo_Form::RoomInfo_DsStateChange()
{
    Ok_Bt->setEnabled(true);
    Delete_Bt->setEnabled(false);
}

void TRoomInfo_Form::rowChanged(int current, int previous)
{
    if (m_storing || !isEditPending() || previous != m_pendingRow || current == previous)
        return;
    storePending(true);
}

void TRoomInfo_Form::backToChoosing()
{
    listAgain();
    RoomInfo_LV->setEnabled(true);
    Building_Edit->setEnabled(true);
    Floor_Edit->setEnabled(true);
    Ok_Bt->setEnabled(false);
}

bool TRoomInfo_Form::storePending(bool inErrorBox)
{
    const int row = m_pendingRow;
    const QString roomStr = RoomInfo_ado->data(RoomInfo_ado->index(row, column("RoomStr"))).toString();
    const QString roomType = RoomInfo_ado->data(RoomInfo_ado->index(row, column("RoomTypeStr"))).toString();
    QString refusal;
    try {
        refusal = m_pendingNew
            ? Rooms::storeNew(dm().conn(), m_newRoom, roomStr, roomType)
            : Rooms::storeEdited(dm().conn(),
                RoomInfo_ado->data(RoomInfo_ado->index(row, column("RecID"))).toLongLong(), roomStr, roomType);
    } catch (const DbError &) {
        refusal = QString::fromUtf8(Rooms::EmptyRoomStrMessage);
    }

    m_storing = true;
    m_pendingRow = -1;
    RoomInfo_ado->setEditableRow(-1);
    if (!refusal.isEmpty()) {
        // A new room is dropped (its number is free again); an edited one gets its stored values back.
        RoomInfo_ado->revertRow(row);
        m_storing = false;
        if (inErrorBox)
            showError(refusal);
        else
            showMessage(this, refusal);
        backToChoosing();
        return false;
    }
    m_storing = false;
    RoomInfo_ado->setRoomStrEditable(false);
    RoomsChanged = true;
    reload();
    backToChoosing();
    return true;
}

void TRoomInfo_Form::Ok_BtClick()
{
    if (m_pendingRow < 0) {
        backToChoosing();
        return;
    }
    storePending(false);
}

void TRoomInfo_Form::Delete_BtClick()
{
    const QModelIndex current = RoomInfo_Dbg->currentIndex();
    if (RoomInfo_ado->rowCount() == 0 || !current.isValid() || m_pendingRow >= 0)
        return;
    Rooms::remove(dm().conn(), RoomInfo_ado->data(RoomInfo_ado->index(current.row(), column("RecID"))).toLongLong());
    // The board must drop the room too.
    RoomsChanged = true;
    reload();
}

void TRoomInfo_Form::RoomInfo_DbgCellClick()
{
    Delete_Bt->setEnabled(m_pendingRow < 0);
}

#include "moc_RoomInfo_Form.cpp"
