#include "RoomList_Form.h"

#include "CheckInKeys.h"
#include "DataModule.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

const QString AllBuildings = QString::fromUtf8("所有楼号");
const QString AllFloors = QString::fromUtf8("所有楼层");

QPushButton *button(QWidget *parent, const char *name, const char *text)
{
    auto *b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *label(QWidget *parent, const char *name, const QString &text = {})
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// A list entry other than its last ("所有...") names one value; nothing selected filters nothing.
std::optional<int> chosenValue(const QComboBox *list)
{
    const int index = list->currentIndex();
    if (index < 0 || index == list->count() - 1)
        return std::nullopt;
    bool ok = false;
    const int value = list->currentText().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

TRoomList_Form::TRoomList_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("RoomList_Form"));
    setWindowTitle(QString::fromUtf8("客房情况"));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);

    auto *options = new QGroupBox(QString::fromUtf8("客房查询选项"), this);
    options->setObjectName(QStringLiteral("Options_Group"));
    RoomStatus_RadioGroup = new QGroupBox(QString::fromUtf8("客房状态"), options);
    RoomStatus_RadioGroup->setObjectName(QStringLiteral("RoomStatus_RadioGroup"));
    FreeRooms_Radio = new QRadioButton(QString::fromUtf8("所有空房"), RoomStatus_RadioGroup);
    FreeRooms_Radio->setObjectName(QStringLiteral("FreeRooms_Radio"));
    AllRooms_Radio = new QRadioButton(QString::fromUtf8("所有客房"), RoomStatus_RadioGroup);
    AllRooms_Radio->setObjectName(QStringLiteral("AllRooms_Radio"));
    OccupiedRooms_Radio = new QRadioButton(QString::fromUtf8("已住客房"), RoomStatus_RadioGroup);
    OccupiedRooms_Radio->setObjectName(QStringLiteral("OccupiedRooms_Radio"));
    AllRooms_Radio->setChecked(true);
    auto *radios = new QVBoxLayout(RoomStatus_RadioGroup);
    radios->addWidget(FreeRooms_Radio);
    radios->addWidget(AllRooms_Radio);
    radios->addWidget(OccupiedRooms_Radio);

    Buiding_CB = new QComboBox(options);
    Buiding_CB->setObjectName(QStringLiteral("Buiding_CB"));
    Floor_CB = new QComboBox(options);
    Floor_CB->setObjectName(QStringLiteral("Floor_CB"));
    auto *filters = new QFormLayout;
    filters->addRow(label(options, "Buiding_Label", QString::fromUtf8("楼   号：")), Buiding_CB);
    filters->addRow(label(options, "Floor_Label", QString::fromUtf8("楼   层：")), Floor_CB);

    Query_Bt = button(options, "Query_Bt", "查询(&Q)");
    Confirm_Bt = button(options, "Confirm_Bt", "确定(&Y)");
    Close_Bt = button(options, "Close_Bt", "取消(&C)");

    auto *roomData = new QGroupBox(QString::fromUtf8("客房资料"), options);
    roomData->setObjectName(QStringLiteral("RoomData_Group"));
    RoomStr_Value = label(roomData, "RoomStr_Value");
    Buiding_Value = label(roomData, "Buiding_Value");
    Floor_Value = label(roomData, "Floor_Value");
    State_Value = label(roomData, "State_Value");
    auto *data = new QFormLayout(roomData);
    data->addRow(label(roomData, "RoomStr_Label", QString::fromUtf8("房号：")), RoomStr_Value);
    data->addRow(label(roomData, "BuidingData_Label", QString::fromUtf8("楼号：")), Buiding_Value);
    data->addRow(label(roomData, "FloorData_Label", QString::fromUtf8("楼层：")), Floor_Value);
    data->addRow(label(roomData, "State_Label", QString::fromUtf8("入住状态：")), State_Value);

    auto *left = new QVBoxLayout(options);
    left->addWidget(RoomStatus_RadioGroup);
    left->addLayout(filters);
    left->addWidget(Query_Bt);
    left->addWidget(roomData);
    left->addStretch();
    left->addWidget(Confirm_Bt);
    left->addWidget(Close_Bt);

    RoomInfo_DBGrid = new QTableView(this);
    RoomInfo_DBGrid->setObjectName(QStringLiteral("RoomInfo_DBGrid"));
    RoomInfo_DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RoomInfo_DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RoomInfo_DBGrid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    RoomInfo_DBGrid->horizontalHeader()->setStretchLastSection(true);
    RoomInfo_DBGrid->verticalHeader()->setDefaultSectionSize(RoomInfo_DBGrid->fontMetrics().height() + 6);
    // Selected rows navy with white text; the others keep the colour of their occupancy.
    QPalette palette = RoomInfo_DBGrid->palette();
    for (const auto group : { QPalette::Active, QPalette::Inactive }) {
        palette.setColor(group, QPalette::Highlight, QColor(Qt::darkBlue));
        palette.setColor(group, QPalette::HighlightedText, QColor(Qt::white));
    }
    RoomInfo_DBGrid->setPalette(palette);
    m_model = new QStandardItemModel(0, 1, this);
    m_model->setHorizontalHeaderLabels({ QString::fromUtf8("房号") });
    RoomInfo_DBGrid->setModel(m_model);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel1 = label(StatusBar1, "StatusPanel1", QString::fromUtf8(" 记录："));
    StatusBar1->addWidget(StatusPanel1, 1);

    auto *body = new QHBoxLayout;
    body->addWidget(options);
    body->addWidget(RoomInfo_DBGrid, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(body, 1);
    layout->addWidget(StatusBar1);
    resize(560, 440);

    connect(Query_Bt, &QPushButton::clicked, this, guarded([this] { Query_BtClick(); }));
    connect(Confirm_Bt, &QPushButton::clicked, this, &QDialog::accept);
    connect(Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    connect(RoomInfo_DBGrid, &QAbstractItemView::doubleClicked, this, [this] { RoomInfo_DBGridDblClick(); });
    connect(RoomInfo_DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this] { RoomList_AdoAfterScroll(); });

    new CheckInKeys(this);
    FormCreate();
}

void TRoomList_Form::FormCreate()
{
    Language1 = translateWindow(this);
    installCapturePrompt(this);
    runGuarded([this] {
        dm().GetDataTypeItems(4, Buiding_CB);
        dm().GetDataTypeItems(5, Floor_CB);
    });
    Buiding_CB->addItem(AllBuildings);
    Floor_CB->addItem(AllFloors);
    Buiding_CB->setCurrentIndex(Buiding_CB->count() - 1);
    Floor_CB->setCurrentIndex(Floor_CB->count() - 1);
    runGuarded([this] { FindRoomList(); });
}

RoomListFilter TRoomList_Form::currentFilter() const
{
    RoomListFilter filter;
    filter.building = chosenValue(Buiding_CB);
    filter.floor = chosenValue(Floor_CB);
    if (FreeRooms_Radio->isChecked())
        filter.status = RoomStatusFilter::Free;
    else if (OccupiedRooms_Radio->isChecked())
        filter.status = RoomStatusFilter::Occupied;
    return filter;
}

void TRoomList_Form::FindRoomList()
{
    m_model->removeRows(0, m_model->rowCount());
    m_rows.clear();
    m_rows = ::FindRoomList(currentFilter());
    const QColor occupiedColour(Qt::red);
    const QColor freeColour(Qt::white);
    for (const RoomListRow &row : m_rows) {
        auto *item = new QStandardItem(row.roomStr);
        item->setEditable(false);
        item->setData(QColor(Qt::black), Qt::ForegroundRole);
        item->setData(row.occupied() ? occupiedColour : freeColour, Qt::BackgroundRole);
        m_model->appendRow(item);
    }
    if (!m_rows.empty())
        RoomInfo_DBGrid->selectionModel()->setCurrentIndex(m_model->index(0, 0), QItemSelectionModel::NoUpdate);
}

void TRoomList_Form::Query_BtClick()
{
    FindRoomList();
}

void TRoomList_Form::RoomList_AdoAfterScroll()
{
    const QModelIndex current = RoomInfo_DBGrid->currentIndex();
    if (!current.isValid() || current.row() >= int(m_rows.size()))
        return;
    const RoomListRow &row = m_rows[current.row()];
    RoomStr_Value->setText(row.roomStr);
    Buiding_Value->setText(QString::number(row.building));
    Floor_Value->setText(QString::number(row.floor));
    State_Value->setText(row.occupied() ? QString::fromUtf8("在住") : QString::fromUtf8("空房"));
    StatusPanel1->setText(QString::fromUtf8("记录：") + QString::number(current.row() + 1) + QStringLiteral(" / ")
        + QString::number(m_rows.size()));
}

void TRoomList_Form::RoomInfo_DBGridDblClick()
{
    accept();
}

QStringList TRoomList_Form::selectedRoomStrs() const
{
    QModelIndexList selected = RoomInfo_DBGrid->selectionModel()->selectedRows();
    std::sort(
        selected.begin(), selected.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList roomStrs;
    for (const QModelIndex &index : selected)
        if (index.row() < int(m_rows.size()))
            roomStrs << m_rows[index.row()].roomStr;
    return roomStrs;
}

std::optional<QStringList> pickRooms(QWidget *parent)
{
    // Deleted only after the selection was read; never deleted inside exec().
    const auto form = std::make_unique<TRoomList_Form>(parent);
    if (form->exec() != QDialog::Accepted)
        return std::nullopt;
    return form->selectedRoomStrs();
}
