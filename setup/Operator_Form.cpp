#include "Operator_Form.h"

#include "DataModule.h"
#include "DbError.h"
#include "NamedWidgets.h"
#include "OperatorAdmin.h"
#include "Operators.h"
#include "Prompts.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSqlDatabase>
#include <QSqlRecord>
#include <QSqlTableModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using Widgets::named;
using Widgets::button;

void showMessage(QWidget *parent, const char *text)
{
    prompts().message(parent, QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), QString::fromUtf8(text),
        QMessageBox::Ok, QMessageBox::Ok);
}

// The list's column titles, without touching the shared table object that
// other windows read.
class OperatorListModel : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
            const auto *table = qobject_cast<const QSqlTableModel *>(sourceModel());
            const QString name = table ? table->record().fieldName(section) : QString();
            if (name.compare(QLatin1String("StafferName"), Qt::CaseInsensitive) == 0)
                return QString::fromUtf8("真实姓名");
            if (name.compare(QLatin1String("Staffer"), Qt::CaseInsensitive) == 0)
                return QString::fromUtf8("用户名");
            if (name.compare(QLatin1String("Branch"), Qt::CaseInsensitive) == 0)
                return QString::fromUtf8("口令");
        }
        return QIdentityProxyModel::headerData(section, orientation, role);
    }
};

struct RightBox {
    const char *name;
    const char *caption;
};

// The boxes in the order they show, four a row; the same order as the columns.
constexpr RightBox RightBoxes[] = {
    { "CheckIn_CB", "开房" },
    { "CheckOut_CB", "退房" },
    { "ClearCard_CB", "发行清除卡" },
    { "TimeCard_CB", "发行校时卡" },
    { "LostCard_CB", "发行终止卡" },
    { "EmergentCard_CB", "发行应急卡" },
    { "MasterCard_CB", "发行总控卡" },
    { "BuildingCard_CB", "发行楼号卡" },
    { "FloorCard_CB", "发行楼层卡" },
    { "DistrictCard_CB", "发行区域卡" },
    { "SystemInfo_CB", "基本参数设置" },
    { "Operator_CB", "操作员权限" },
    { "DataCard_CB", "发行采集启动卡" },
    { "RoomType_CB", "房间类型" },
    { "RoomInfo_CB", "房间设置" },
    { "DistrictInfo_CB", "区域设置" },
};

} // namespace

TOperator_Form::TOperator_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Operator_Form"));
    setWindowTitle(QString::fromUtf8("操作员权限管理"));

    EmployeeInfo_DBGrid = named<QTableView>("EmployeeInfo_DBGrid", this);
    EmployeeInfo_DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EmployeeInfo_DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    EmployeeInfo_DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    EmployeeInfo_DBGrid->verticalHeader()->hide();
    QFont bold = EmployeeInfo_DBGrid->horizontalHeader()->font();
    bold.setBold(true);
    EmployeeInfo_DBGrid->horizontalHeader()->setFont(bold);
    EmployeeInfo_DBGrid->horizontalHeader()->setStretchLastSection(true);

    Label1 = named<QLabel>("Label1", QString::fromUtf8("真实姓名："), this);
    StafferName_Edit = named<QLineEdit>("StafferName_Edit", this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("登  陆  名："), this);
    User_Edit = named<QLineEdit>("User_Edit", this);
    Label1->setBuddy(StafferName_Edit);
    Label2->setBuddy(User_Edit);
    Add_BT = button("Add_BT", "添加", this);
    Save_Bt = button("Save_Bt", "保存", this);
    Delete_Bt = button("Delete_Bt", "删除", this);
    Label3 = named<QLabel>("Label3", QString::fromUtf8("设置口令："), this);
    Pass1_Edit = named<QLineEdit>("Pass1_Edit", this);
    Pass1_Edit->setEchoMode(QLineEdit::Password);
    Pass1_Edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    Label3->setBuddy(Pass1_Edit);
    PassOk_Bt = button("PassOk_Bt", "确  定", this);

    QuanXian_Gb = named<QGroupBox>("QuanXian_Gb", this);
    SelectAll_CB = named<QCheckBox>("SelectAll_CB", QString::fromUtf8("全选"), QuanXian_Gb);
    auto *rightsLayout = new QGridLayout(QuanXian_Gb);
    rightsLayout->addWidget(SelectAll_CB, 0, 0);
    int i = 0;
    for (const RightBox &box : RightBoxes) {
        auto *check = named<QCheckBox>(box.name, QString::fromUtf8(box.caption), QuanXian_Gb);
        rightBoxes << check;
        rightsLayout->addWidget(check, 1 + i / 4, i % 4);
        ++i;
    }

    auto *names = new QGridLayout;
    names->addWidget(Label1, 0, 0, Qt::AlignRight);
    names->addWidget(StafferName_Edit, 0, 1);
    names->addWidget(Label2, 1, 0, Qt::AlignRight);
    names->addWidget(User_Edit, 1, 1);
    names->addWidget(Label3, 2, 0, Qt::AlignRight);
    names->addWidget(Pass1_Edit, 2, 1);
    names->addWidget(PassOk_Bt, 2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Add_BT);
    buttons->addWidget(Save_Bt);
    buttons->addWidget(Delete_Bt);
    auto *right = new QVBoxLayout;
    right->addLayout(names);
    right->addLayout(buttons);
    right->addWidget(QuanXian_Gb);
    right->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(EmployeeInfo_DBGrid, 1);
    layout->addLayout(right);

    StafferName_Edit->setEnabled(false);
    User_Edit->setEnabled(false);
    Save_Bt->setEnabled(false);
    Delete_Bt->setEnabled(false);
    Pass1_Edit->setEnabled(false);
    PassOk_Bt->setEnabled(false);
    QuanXian_Gb->setEnabled(false);

    connect(Add_BT, &QPushButton::clicked, this, guarded([this] { Add_BTClick(); }));
    connect(User_Edit, &QLineEdit::textChanged, this, guarded([this] { User_EditChange(); }));
    connect(StafferName_Edit, &QLineEdit::textChanged, this, guarded([this] { User_EditChange(); }));
    connect(SelectAll_CB, &QCheckBox::clicked, this, guarded([this] { SelectAll_CBClick(); }));
    connect(EmployeeInfo_DBGrid, &QTableView::clicked, this,
        guarded([this](const QModelIndex &index) { EmployeeInfo_DBGridCellClick(index); }));
    connect(Save_Bt, &QPushButton::clicked, this, guarded([this] { Save_BtClick(); }));
    connect(PassOk_Bt, &QPushButton::clicked, this, guarded([this] { PassOk_BtClick(); }));
    connect(Delete_Bt, &QPushButton::clicked, this, guarded([this] { Delete_BtClick(); }));

    runGuarded([this] { FormCreate(); });

    resize(860, 460);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TOperator_Form::FormCreate()
{
    translateWindow(this);
    installCapturePrompt(this);
    DataSource *source = dm().Operator_Ds();
    source->open();
    auto *list = new OperatorListModel(this);
    list->setSourceModel(source->model());
    EmployeeInfo_DBGrid->setModel(list);
    const QSqlRecord record = source->model()->record();
    const int nameColumn = record.indexOf(QStringLiteral("StafferName"));
    const int loginColumn = record.indexOf(QStringLiteral("Staffer"));
    const int branchColumn = record.indexOf(QStringLiteral("Branch"));
    for (int column = 0; column < record.count(); ++column)
        EmployeeInfo_DBGrid->setColumnHidden(
            column, column != nameColumn && column != loginColumn && column != branchColumn);
    QHeaderView *header = EmployeeInfo_DBGrid->horizontalHeader();
    header->moveSection(header->visualIndex(nameColumn), 0);
    header->moveSection(header->visualIndex(loginColumn), 1);
    header->moveSection(header->visualIndex(branchColumn), 2);
}

QSqlTableModel *TOperator_Form::table() const
{
    return dm().Operator_Ds()->model();
}

void TOperator_Form::reload()
{
    QSqlTableModel *model = table();
    if (!model->select())
        throw DbError(model->lastError());
    while (model->canFetchMore())
        model->fetchMore();
}

void TOperator_Form::clearRights()
{
    for (QCheckBox *box : std::as_const(rightBoxes))
        box->setChecked(false);
}

void TOperator_Form::Add_BTClick()
{
    User_Edit->setEnabled(true);
    StafferName_Edit->setEnabled(true);
    Add_BT->setEnabled(false);
    StafferName_Edit->setFocus();
    QuanXian_Gb->setEnabled(false);
    clearRights();
    User_Edit->clear();
}

void TOperator_Form::User_EditChange()
{
    if (!User_Edit->text().isEmpty() && !StafferName_Edit->text().isEmpty()) {
        QuanXian_Gb->setEnabled(true);
        Save_Bt->setEnabled(true);
    }
}

void TOperator_Form::SelectAll_CBClick()
{
    if (!SelectAll_CB->isChecked())
        return;
    for (QCheckBox *box : std::as_const(rightBoxes))
        box->setChecked(true);
}

void TOperator_Form::EmployeeInfo_DBGridCellClick(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    const QSqlRecord row = table()->record(index.row());
    m_currentId = row.value(QStringLiteral("ID")).toInt();
    const bool hasPassword = row.value(QStringLiteral("Branch")).toString() == QLatin1String(MaskedPassword);
    Pass1_Edit->setEnabled(!hasPassword);
    PassOk_Bt->setEnabled(!hasPassword);
    if (!hasPassword)
        Pass1_Edit->setFocus();
    const QStringList &columns = operatorRightColumns();
    for (qsizetype i = 0; i < columns.size(); ++i)
        rightBoxes.at(i)->setChecked(row.value(columns.at(i)).toBool());
    SelectAll_CB->setChecked(false);
    QuanXian_Gb->setEnabled(false);
    Save_Bt->setEnabled(false);
    Delete_Bt->setEnabled(true);
    Add_BT->setEnabled(true);
    User_Edit->clear();
}

void TOperator_Form::Save_BtClick()
{
    NewOperator op;
    op.staffer = User_Edit->text();
    op.stafferName = StafferName_Edit->text();
    for (QCheckBox *box : std::as_const(rightBoxes))
        op.rights << box->isChecked();
    if (OperatorAdmin(dm().conn()).add(op) == OperatorAdmin::AddResult::NameTaken) {
        showMessage(this, "用户名不能重复!");
        User_Edit->setFocus();
        return;
    }
    reload();
    clearRights();
    User_Edit->clear();
    StafferName_Edit->clear();
    User_Edit->setEnabled(false);
    StafferName_Edit->setEnabled(false);
    Save_Bt->setEnabled(false);
    Add_BT->setEnabled(true);
}

void TOperator_Form::PassOk_BtClick()
{
    if (m_currentId == 0)
        return;
    const QString again
        = prompts().inputText(this, QString::fromUtf8("请再次输入口令"), QString(), QString()).value_or(QString());
    if (again.isEmpty()) {
        showMessage(this, "密码不能为空！");
        return;
    }
    if (again != Pass1_Edit->text()) {
        showMessage(this, "两次密码不符！");
        return;
    }
    // A desk that set the password first wins; this one only shows it.
    (void)OperatorAdmin(dm().conn()).setFirstPassword(m_currentId, again);
    Pass1_Edit->clear();
    Pass1_Edit->setEnabled(false);
    PassOk_Bt->setEnabled(false);
    reload();
}

void TOperator_Form::Delete_BtClick()
{
    if (m_currentId == 0)
        return;
    const OperatorAdmin::DeleteResult result = OperatorAdmin(dm().conn()).remove(m_currentId);
    if (result == OperatorAdmin::DeleteResult::LastAdministrator) {
        showMessage(this, "系统最少保留最后一个超级管理员!");
        return;
    }
    // The shown row is gone: nothing is left to delete or give a password
    // until another row is clicked.
    m_currentId = 0;
    Delete_Bt->setEnabled(false);
    Pass1_Edit->setEnabled(false);
    PassOk_Bt->setEnabled(false);
    reload();
}

#include "moc_Operator_Form.cpp"
