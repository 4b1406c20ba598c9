#include "SystemInfo_Form.h"

#include "AppState.h"
#include "NamedWidgets.h"
#include "ProfileFile.h"
#include "Prompts.h"
#include "TarvaneApplication.h"
#include "TranslationHooks.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using Widgets::named;
using Widgets::button;

TSystemInfo_Form::TSystemInfo_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SystemInfo_Form"));
    setWindowTitle(QString::fromUtf8("基本参数设置"));

    Label1 = named<QLabel>("Label1", QString::fromUtf8("酒店名称"), this);
    HotelName_Edit = named<QLineEdit>("HotelName_Edit", this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("默认退房时间："), this);
    LeaveTime_Edit = named<QLineEdit>("LeaveTime_Edit", this);
    Label3 = named<QLabel>("Label3", QString::fromUtf8("默认入住天数："), this);
    DayCount_SE = named<QSpinBox>("DayCount_SE", this);
    DayCount_SE->setRange(0, 100);
    if (auto *edit = DayCount_SE->findChild<QLineEdit *>())
        edit->setMaxLength(3);
    Label1->setBuddy(HotelName_Edit);
    Label2->setBuddy(LeaveTime_Edit);
    Label3->setBuddy(DayCount_SE);

    LockType = named<QGroupBox>("LockType", QString::fromUtf8("门锁类型"), this);
    m_lockTypeButtons = new QButtonGroup(LockType);
    auto *lockLayout = new QVBoxLayout(LockType);
    const char *lockTypes[] = { "TM卡门锁", "IC卡门锁", "AT感应卡", "TI感应卡", "Mifare卡" };
    for (int i = 0; i < 5; ++i) {
        auto *radio = new QRadioButton(QString::fromUtf8(lockTypes[i]), LockType);
        radio->setObjectName(QStringLiteral("LockType%1").arg(i));
        m_lockTypeButtons->addButton(radio, i);
        lockLayout->addWidget(radio);
    }
    LockType->hide();
    UseRoomID_CB = named<QCheckBox>("UseRoomID_CB", QString::fromUtf8("启用客房代码"), this);
    UseRoomID_CB->hide();

    Button1 = button("Button1", "保存(&S)", this);
    Button2 = button("Button2", "取消(&C)", this);
    Button3 = button("Button3", "关闭(&C)", this);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0, Qt::AlignRight);
    fields->addWidget(HotelName_Edit, 0, 1, 1, 2);
    fields->addWidget(Label2, 1, 0, Qt::AlignRight);
    fields->addWidget(LeaveTime_Edit, 1, 1);
    fields->addWidget(Label3, 2, 0, Qt::AlignRight);
    fields->addWidget(DayCount_SE, 2, 1);
    fields->setColumnStretch(2, 1);
    fields->addWidget(LockType, 3, 0, 1, 3);
    fields->addWidget(UseRoomID_CB, 4, 0, 1, 3);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] { Button2Click(); }));
    connect(Button3, &QPushButton::clicked, this, guarded([this] { Button3Click(); }));

    applyTranslationHooks(this);
    loadLockInfo(m_lockInfo);
    showValues();
}

int TSystemInfo_Form::lockTypeIndex() const
{
    return m_lockTypeButtons->checkedId();
}

void TSystemInfo_Form::showValues()
{
    HotelName_Edit->setText(SystemSettings.HotelName);
    DayCount_SE->setValue(SystemSettings.DayCount);
    LeaveTime_Edit->setText(ProfileFile::timeText(SystemSettings.LeaveTime));
    UseRoomID_CB->setChecked(SystemSettings.UseRoomID);
    if (QAbstractButton *checked = m_lockTypeButtons->button(m_lockInfo.LockType)) {
        checked->setChecked(true);
    } else {
        // A stored type beyond the list selects nothing.
        m_lockTypeButtons->setExclusive(false);
        for (QAbstractButton *b : m_lockTypeButtons->buttons())
            b->setChecked(false);
        m_lockTypeButtons->setExclusive(true);
    }
}

void TSystemInfo_Form::Button1Click()
{
    DayCount_SE->interpretText();
    SystemInfoEdit edit;
    // With nothing selected the stored type is written back, not -1.
    const int index = lockTypeIndex();
    edit.LockType = index >= 0 ? static_cast<uint8_t>(index) : m_lockInfo.LockType;
    edit.HotelName = HotelName_Edit->text();
    edit.DayCount = DayCount_SE->value();
    edit.LeaveTimeText = LeaveTime_Edit->text();
    edit.UseRoomID = UseRoomID_CB->isChecked();

    const QString error = saveSystemInfo(edit);
    if (!error.isEmpty()) {
        showError(error);
        return;
    }
    const QString title = QString::fromUtf8("提示");
    prompts().information(this, title, QString::fromUtf8("保存成功"));
    loadSettings(SystemSettings);
    prompts().information(this, title, QString::fromUtf8("系统参数已更改，请退出系统重新运行！"));
    accept();
    requestProgramEnd();
}

void TSystemInfo_Form::Button2Click()
{
    showValues();
}

void TSystemInfo_Form::Button3Click()
{
    reject();
}

#include "moc_SystemInfo_Form.cpp"
