#include "GuestQuickIn_Form.h"

#include "AppState.h"
#include "CardOperations.h"
#include "CheckIn.h"
#include "CheckInKeys.h"
#include "Clock.h"
#include "Identifiers.h"
#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "TLanguage.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const char *name, const char *text)
{
    auto *l = new QLabel(QString::fromUtf8(text), parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

QLineEdit *textBox(QWidget *parent, const char *name, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return edit;
}

QPushButton *button(QWidget *parent, const char *name, const char *text)
{
    auto *b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QDateEdit *datePicker(QWidget *parent, const char *name)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    picker->setCalendarPopup(true);
    return picker;
}

QTimeEdit *timePicker(QWidget *parent, const char *name)
{
    auto *picker = new QTimeEdit(parent);
    picker->setObjectName(QString::fromLatin1(name));
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return picker;
}

} // namespace

TGuestQuickIn_Form::TGuestQuickIn_Form(QWidget *parent)
    : TGuestQuickIn_Form(parent, StayUnit::Days)
{
    FormCreate();
}

TGuestQuickIn_Form::TGuestQuickIn_Form(QWidget *parent, StayUnit unit)
    : QDialog(parent)
{
    const bool hours = unit == StayUnit::Hours;
    setObjectName(QStringLiteral("GuestQuickIn_Form"));
    setWindowTitle(QString::fromUtf8("开房--发行客人卡"));

    Room_Group = new QGroupBox(this);
    Room_Group->setObjectName(QStringLiteral("Room_Group"));
    se_Room1 = textBox(Room_Group, "se_Room1", 0);
    RoomList_Bt = button(Room_Group, "RoomList_Bt", "选房");
    RoomList_Bt->setFocusPolicy(Qt::ClickFocus);
    F2_Label = label(Room_Group, "F2_Label", "按F2显示房间列表");
    auto *roomRow = new QHBoxLayout(Room_Group);
    roomRow->addWidget(label(Room_Group, "Room_Label", "输入门牌号："));
    roomRow->addWidget(se_Room1, 1);
    roomRow->addWidget(RoomList_Bt);
    roomRow->addWidget(F2_Label);

    Stay_Group = new QGroupBox(QString::fromUtf8("入住信息"), this);
    Stay_Group->setObjectName(QStringLiteral("Stay_Group"));
    Days_Label = label(Stay_Group, "Days_Label", hours ? "入住钟点：" : "入住天数：");
    Days_Edit = textBox(Stay_Group, "Days_Edit", 0);
    // Four characters limit typing only; text set by the window is kept whole.
    Days_Edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral(".{0,4}")), Days_Edit));
    DaysUnit_Label = label(Stay_Group, "DaysUnit_Label", hours ? "小时" : "");
    DaysUnit_Label->setVisible(hours);
    SD_GQI_Dtp = datePicker(Stay_Group, "SD_GQI_Dtp");
    SD_GQI_Dtp->setEnabled(false);
    ST_GQI_Dtp = timePicker(Stay_Group, "ST_GQI_Dtp");
    ST_GQI_Dtp->setEnabled(false);
    ED_GQI_Dtp = datePicker(Stay_Group, "ED_GQI_Dtp");
    ET_GQI_Dtp = timePicker(Stay_Group, "ET_GQI_Dtp");
    E_H_GQI = textBox(Stay_Group, "E_H_GQI", 20);
    GuestCode_Edit = textBox(Stay_Group, "GuestCode_Edit", 20);
    CB_eO_GQI = new QCheckBox(QString::fromUtf8("应用挂失"), Stay_Group);
    CB_eO_GQI->setObjectName(QStringLiteral("CB_eO_GQI"));
    CB_eO_GQI->setFocusPolicy(Qt::ClickFocus);

    auto *stay = new QGridLayout(Stay_Group);
    auto *daysRow = new QHBoxLayout;
    daysRow->addWidget(Days_Edit);
    daysRow->addWidget(DaysUnit_Label);
    daysRow->addStretch();
    stay->addWidget(Days_Label, 0, 0, Qt::AlignRight);
    stay->addLayout(daysRow, 0, 1, 1, 2);
    stay->addWidget(label(Stay_Group, "SD_Label", "入住时间："), 1, 0, Qt::AlignRight);
    stay->addWidget(SD_GQI_Dtp, 1, 1);
    stay->addWidget(ST_GQI_Dtp, 1, 2);
    stay->addWidget(label(Stay_Group, "ED_Label", "退房时间："), 2, 0, Qt::AlignRight);
    stay->addWidget(ED_GQI_Dtp, 2, 1);
    stay->addWidget(ET_GQI_Dtp, 2, 2);
    stay->addWidget(label(Stay_Group, "GuestName_Label", "客人姓名："), 3, 0, Qt::AlignRight);
    stay->addWidget(E_H_GQI, 3, 1, 1, 2);
    stay->addWidget(label(Stay_Group, "GuestCode_Label", "证    件："), 4, 0, Qt::AlignRight);
    stay->addWidget(GuestCode_Edit, 4, 1, 1, 2);
    stay->addWidget(CB_eO_GQI, 5, 1);

    Confirm_Bt = button(this, "Confirm_Bt", "发卡(&Y)");
    Close_Bt = button(this, "Close_Bt", "关闭&C)");
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirm_Bt);
    buttons->addWidget(Close_Bt);

    Prompt_Label = new QLabel(this);
    Prompt_Label->setObjectName(QStringLiteral("Prompt_Label"));
    Prompt_Label->setFrameShape(QFrame::StyledPanel);
    Prompt_Label->setMinimumHeight(Prompt_Label->fontMetrics().height() + 8);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Room_Group);
    layout->addWidget(Stay_Group);
    layout->addLayout(buttons);
    layout->addWidget(Prompt_Label);

    setTabOrder(se_Room1, Days_Edit);
    setTabOrder(Days_Edit, ED_GQI_Dtp);
    setTabOrder(ED_GQI_Dtp, ET_GQI_Dtp);
    setTabOrder(ET_GQI_Dtp, E_H_GQI);
    setTabOrder(E_H_GQI, GuestCode_Edit);
    setTabOrder(GuestCode_Edit, Confirm_Bt);
    setTabOrder(Confirm_Bt, Close_Bt);
    se_Room1->setFocus();

    connect(Days_Edit, &QLineEdit::textChanged, this, guarded([this] { Days_EditChange(); }));
    connect(ED_GQI_Dtp, &QDateEdit::dateChanged, this, guarded([this] { ED_GQI_DtpChange(); }));
    connect(RoomList_Bt, &QPushButton::clicked, this, guarded([this] { RoomList_BtClick(); }));
    connect(Confirm_Bt, &QPushButton::clicked, this, guarded([this] { Confirm_BtClick(); }));
    connect(Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    new CheckInKeys(this, [this] { RoomList_BtClick(); });
}

void TGuestQuickIn_Form::FormCreate()
{
    Language1 = translateWindow(this);
    installCapturePrompt(this);
    const QDateTime now = Clock::now();
    SD_GQI_Dtp->setDate(now.date());
    ET_GQI_Dtp->setTime(SystemSettings.LeaveTime);
    ST_GQI_Dtp->setTime(now.time());
    Days_Edit->setText(QString::number(SystemSettings.DayCount));
    setEndDate(now.date().addDays(SystemSettings.DayCount));
}

void TGuestQuickIn_Form::setEndDate(const QDate &date)
{
    const QSignalBlocker blocker(ED_GQI_Dtp);
    ED_GQI_Dtp->setDate(date);
}

void TGuestQuickIn_Form::setEndTime(const QTime &time)
{
    const QSignalBlocker blocker(ET_GQI_Dtp);
    ET_GQI_Dtp->setTime(time);
}

QDateTime TGuestQuickIn_Form::shownStart() const
{
    return QDateTime(SD_GQI_Dtp->date(), ST_GQI_Dtp->time());
}

QDateTime TGuestQuickIn_Form::shownEnd() const
{
    return QDateTime(ED_GQI_Dtp->date(), ET_GQI_Dtp->time());
}

void TGuestQuickIn_Form::Days_EditChange()
{
    const std::optional<int> days = wholeNumber(Days_Edit->text());
    if (!days)
        return;
    const QDate end = SD_GQI_Dtp->date().addDays(*days);
    if (!end.isValid() || end < ED_GQI_Dtp->minimumDate() || end > ED_GQI_Dtp->maximumDate())
        return;
    setEndDate(end);
}

void TGuestQuickIn_Form::ED_GQI_DtpChange()
{
    Days_Edit->setText(QString::number(SD_GQI_Dtp->date().daysTo(ED_GQI_Dtp->date())));
}

void TGuestQuickIn_Form::RoomList_BtClick()
{
    const WindowRegistry &registry = windowRegistry();
    if (!registry.pickRooms)
        return;
    const std::optional<QStringList> picked = registry.pickRooms(this);
    if (!picked)
        return;
    for (const QString &roomStr : *picked)
        se_Room1->setText(roomStr);
}

void TGuestQuickIn_Form::Confirm_BtClick()
{
    const QString roomStr = se_Room1->text();
    if (!RoomExists(roomStr)) {
        prompts().message(this, QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle),
            QString::fromUtf8("没有该房号！"), QMessageBox::Ok, QMessageBox::Ok);
        se_Room1->setFocus();
        return;
    }
    if (RoomsChanged)
        return;
    RoomsChanged = true;
    Confirm_Bt->setEnabled(false);
    // Enabled again however the issue ends, a database error included.
    const auto enableAgain = qScopeGuard([this] { Confirm_Bt->setEnabled(true); });
    repaint();

    if (!CheckDateRange(SD_GQI_Dtp->date().startOfDay(), ED_GQI_Dtp->date().startOfDay(), this))
        return;

    CheckInRequest request;
    request.roomStr = roomStr;
    request.start = stayMoment(SD_GQI_Dtp->date(), ST_GQI_Dtp->time(), SystemSettings.TimeTolerance);
    request.end = stayMoment(ED_GQI_Dtp->date(), ET_GQI_Dtp->time(), SystemSettings.TimeTolerance);
    request.applyLossReport = CB_eO_GQI->isChecked();
    request.guestName = E_H_GQI->text();
    request.guestId = GuestCode_Edit->text();
    request.explanation = (Language1 ? Language1->MessageText(2) : QString()) + roomStr;
    const int16_t code = issueCheckInCard(request);
    ShowPromptMessage(code);
}

void TGuestQuickIn_Form::ShowPromptMessage(int16_t code)
{
    Prompt_Label->setText(EncoderResultText(code));
}
