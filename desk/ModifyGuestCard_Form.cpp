#include "ModifyGuestCard_Form.h"

#include "AppState.h"
#include "CardOperations.h"
#include "Clock.h"
#include "Encoder.h"
#include "Extension.h"
#include "GuestLeave_Form.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "TLanguage.h"
#include "Translation.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalBlocker>
#include <QTimeEdit>
#include <QVBoxLayout>

#include <optional>

namespace {

QLabel *fieldLabel(QWidget *parent, const char *name, const char *text)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

QDateEdit *datePicker(QWidget *parent, const char *name)
{
    auto *picker = new QDateEdit(parent);
    picker->setObjectName(QLatin1String(name));
    picker->setDisplayFormat(QLocale::system().dateFormat(QLocale::LongFormat));
    picker->setCalendarPopup(true);
    return picker;
}

QTimeEdit *timePicker(QWidget *parent, const char *name)
{
    auto *picker = new QTimeEdit(parent);
    picker->setObjectName(QLatin1String(name));
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    return picker;
}

// A whole 32-bit number, or nothing for any other text.
std::optional<int> wholeDays(const QString &text)
{
    bool ok = false;
    const int days = text.toInt(&ok);
    return ok ? std::optional<int>(days) : std::nullopt;
}

QDateTime moment(const QDate &date, const QTime &time, int toleranceMinutes)
{
    return QDateTime(date, time).addSecs(qint64(toleranceMinutes) * 60);
}

} // namespace

TModifyGuestCard_Form::TModifyGuestCard_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ModifyGuestCard_Form"));
    setWindowTitle(QString::fromUtf8("续房"));

    auto *roomGroup = new QGroupBox(this);
    roomGroup->setObjectName(QStringLiteral("Room_GB"));
    se_Room1 = new QLineEdit(roomGroup);
    se_Room1->setObjectName(QStringLiteral("se_Room1"));
    se_Room1->setReadOnly(true);
    Button1 = new QPushButton(QString::fromUtf8("读  卡"), roomGroup);
    Button1->setObjectName(QStringLiteral("Button1"));
    auto *roomRow = new QHBoxLayout(roomGroup);
    roomRow->addWidget(fieldLabel(roomGroup, "Room_Label", "房号："));
    roomRow->addWidget(se_Room1, 1);
    roomRow->addWidget(Button1);

    auto *stayGroup = new QGroupBox(QString::fromUtf8("入住信息"), this);
    stayGroup->setObjectName(QStringLiteral("Stay_GB"));
    Days_Edit = new QLineEdit(stayGroup);
    Days_Edit->setObjectName(QStringLiteral("Days_Edit"));
    SD_GQI_Dtp = datePicker(stayGroup, "SD_GQI_Dtp");
    ST_GQI_Dtp = timePicker(stayGroup, "ST_GQI_Dtp");
    SD_GQI_Dtp->setEnabled(false);
    ST_GQI_Dtp->setEnabled(false);
    ED_GQI_Dtp = datePicker(stayGroup, "ED_GQI_Dtp");
    ET_GQI_Dtp = timePicker(stayGroup, "ET_GQI_Dtp");
    E_H_GQI = new QLineEdit(stayGroup);
    E_H_GQI->setObjectName(QStringLiteral("E_H_GQI"));
    E_H_GQI->setMaxLength(20);
    GuestCode_Edit = new QLineEdit(QStringLiteral("1"), stayGroup);
    GuestCode_Edit->setObjectName(QStringLiteral("GuestCode_Edit"));
    GuestCode_Edit->setMaxLength(20);
    auto *stay = new QGridLayout(stayGroup);
    stay->addWidget(fieldLabel(stayGroup, "Days_Label", "入住天数："), 0, 0);
    stay->addWidget(Days_Edit, 0, 1);
    stay->addWidget(fieldLabel(stayGroup, "SD_Label", "入住时间："), 1, 0);
    stay->addWidget(SD_GQI_Dtp, 1, 1);
    stay->addWidget(ST_GQI_Dtp, 1, 2);
    stay->addWidget(fieldLabel(stayGroup, "ED_Label", "退房时间："), 2, 0);
    stay->addWidget(ED_GQI_Dtp, 2, 1);
    stay->addWidget(ET_GQI_Dtp, 2, 2);
    stay->addWidget(fieldLabel(stayGroup, "Guest_Label", "客人姓名："), 3, 0);
    stay->addWidget(E_H_GQI, 3, 1, 1, 2);
    stay->addWidget(fieldLabel(stayGroup, "GuestCode_Label", "证   件："), 4, 0);
    stay->addWidget(GuestCode_Edit, 4, 1, 1, 2);

    Confirm_Bt = new QPushButton(QString::fromUtf8("发卡(&Y)"), this);
    Confirm_Bt->setObjectName(QStringLiteral("Confirm_Bt"));
    Close_Bt = new QPushButton(QString::fromUtf8("关闭&C)"), this);
    Close_Bt->setObjectName(QStringLiteral("Close_Bt"));
    // Enter must never issue a card.
    for (QPushButton *button : { Button1, Confirm_Bt, Close_Bt })
        button->setAutoDefault(false);
    Prompt_Label = new QLabel(this);
    Prompt_Label->setObjectName(QStringLiteral("Prompt_Label"));
    Prompt_Label->setMinimumHeight(24);
    QFont promptFont = Prompt_Label->font();
    promptFont.setPointSize(promptFont.pointSize() + 4);
    Prompt_Label->setFont(promptFont);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Confirm_Bt);
    buttons->addWidget(Close_Bt);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(roomGroup);
    layout->addWidget(stayGroup);
    layout->addLayout(buttons);
    layout->addWidget(Prompt_Label);

    setTabOrder(Button1, Days_Edit);
    setTabOrder(Days_Edit, ED_GQI_Dtp);
    setTabOrder(ED_GQI_Dtp, ET_GQI_Dtp);
    setTabOrder(ET_GQI_Dtp, E_H_GQI);
    setTabOrder(E_H_GQI, GuestCode_Edit);
    setTabOrder(GuestCode_Edit, Confirm_Bt);
    setTabOrder(Confirm_Bt, Close_Bt);

    new CloseOnEscape(this);
    installCapturePrompt(this);
    FormCreate();

    connect(Days_Edit, &QLineEdit::textChanged, this, guarded([this] { Days_EditChange(); }));
    connect(ED_GQI_Dtp, &QDateEdit::dateChanged, this, guarded([this] { ED_GQI_DtpChange(); }));
    connect(se_Room1, &QLineEdit::textChanged, this, guarded([this] { se_Room1Change(); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
    connect(Confirm_Bt, &QPushButton::clicked, this, guarded([this] { Confirm_BtClick(); }));
    connect(Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
}

void TModifyGuestCard_Form::FormCreate()
{
    Language1 = translateWindow(this);
    const QDateTime now = Clock::now();
    SD_GQI_Dtp->setDate(now.date());
    ST_GQI_Dtp->setTime(now.time());
    ET_GQI_Dtp->setTime(SystemSettings.LeaveTime);
    Days_Edit->setText(QString::number(SystemSettings.DayCount));
    setEndDate(now.date().addDays(SystemSettings.DayCount));
}

void TModifyGuestCard_Form::setEndDate(const QDate &date)
{
    // An end beyond what the picker can hold leaves it as it is.
    if (!date.isValid() || date < ED_GQI_Dtp->minimumDate() || date > ED_GQI_Dtp->maximumDate())
        return;
    const QSignalBlocker block(ED_GQI_Dtp);
    ED_GQI_Dtp->setDate(date);
}

void TModifyGuestCard_Form::moveEndDateByDays()
{
    if (const std::optional<int> days = wholeDays(Days_Edit->text()))
        setEndDate(SD_GQI_Dtp->date().addDays(*days));
}

void TModifyGuestCard_Form::Days_EditChange()
{
    moveEndDateByDays();
}

void TModifyGuestCard_Form::se_Room1Change()
{
    moveEndDateByDays();
}

void TModifyGuestCard_Form::ED_GQI_DtpChange()
{
    Days_Edit->setText(QString::number(SD_GQI_Dtp->date().daysTo(ED_GQI_Dtp->date())));
}

void TModifyGuestCard_Form::ShowPromptMessage(int16_t code)
{
    if (code == Encoder::Success)
        RoomsChanged = true;
    Prompt_Label->setText(EncoderResultText(code));
}

void TModifyGuestCard_Form::Button1Click()
{
    const GuestCardRead read = readGuestCard();
    if (read.code != Encoder::Success) {
        ShowPromptMessage(read.code);
        return;
    }
    if (!read.guestCard) {
        Prompt_Label->clear();
        return;
    }
    se_Room1->setText(read.roomStr);
    SD_GQI_Dtp->setDate(read.start.date());
    ST_GQI_Dtp->setTime(QTime(read.start.time().hour(), read.start.time().minute()));
    setEndDate(read.endDate);
    ET_GQI_Dtp->setTime(SystemSettings.LeaveTime);
    Days_Edit->setText(QString::number(SD_GQI_Dtp->date().daysTo(ED_GQI_Dtp->date())));
}

void TModifyGuestCard_Form::Confirm_BtClick()
{
    const QString roomStr = se_Room1->text();
    if (roomStr.isEmpty())
        return;
    if (!CheckDateRange(SD_GQI_Dtp->date().startOfDay(), ED_GQI_Dtp->date().startOfDay(), this))
        return;
    if (RoomsChanged)
        return;
    RoomsChanged = true;
    Confirm_Bt->setEnabled(false);
    const auto enable = qScopeGuard([this] { Confirm_Bt->setEnabled(true); });
    repaint();

    ExtensionRequest request;
    request.roomStr = roomStr;
    request.start = moment(SD_GQI_Dtp->date(), ST_GQI_Dtp->time(), SystemSettings.TimeTolerance);
    request.end = moment(ED_GQI_Dtp->date(), ET_GQI_Dtp->time(), SystemSettings.TimeTolerance);
    request.holder = E_H_GQI->text();
    request.explanation = (Language1 ? Language1->MessageText(2) : QString()) + roomStr;
    const std::optional<int16_t> result = extendStay(request);
    if (!result)
        return;
    ShowPromptMessage(*result);
    Confirm_Bt->setEnabled(true);
    se_Room1->clear();
}
