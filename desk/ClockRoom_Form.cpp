#include "ClockRoom_Form.h"

#include "AppState.h"
#include "CheckIn.h"
#include "Clock.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QTimeEdit>

TClockRoom_Form::TClockRoom_Form(QWidget *parent)
    : TGuestQuickIn_Form(parent, StayUnit::Hours)
{
    setObjectName(QStringLiteral("ClockRoom_Form"));
    setWindowTitle(QString::fromUtf8("开钟点房--发行客人卡"));
    connect(ET_GQI_Dtp, &QTimeEdit::timeChanged, this, guarded([this] { ET_GQI_DtpChange(); }));
    FormCreate();
}

void TClockRoom_Form::FormCreate()
{
    Language1 = translateWindow(this);
    installCapturePrompt(this);
    const QDateTime now = Clock::now();
    SD_GQI_Dtp->setDate(now.date());
    setEndTime(now.time());
    ST_GQI_Dtp->setTime(now.time());
    Days_Edit->setText(QStringLiteral("1"));
    setEndDate(now.date());
    // Once more, now that the end date is today: an hour after a start after 23:00 lies tomorrow.
    Days_EditChange();
}

void TClockRoom_Form::Days_EditChange()
{
    if (m_writingHours)
        return;
    const std::optional<int> hours = wholeNumber(Days_Edit->text());
    if (!hours)
        return;
    const QDateTime end = shownStart().addSecs(qint64(*hours) * 3600);
    if (!end.isValid() || end.date() < ED_GQI_Dtp->minimumDate() || end.date() > ED_GQI_Dtp->maximumDate())
        return;
    setEndDate(end.date());
    setEndTime(end.time());
}

void TClockRoom_Form::ED_GQI_DtpChange()
{
    // The hours shown are rounded; they must not move the exact end back.
    m_writingHours = true;
    Days_Edit->setText(hoursText(shownStart(), shownEnd()));
    m_writingHours = false;
}

void TClockRoom_Form::ET_GQI_DtpChange()
{
    ED_GQI_DtpChange();
}

void TClockRoom_Form::ShowPromptMessage(int16_t code)
{
    if (code == 1) {
        Prompt_Label->setText(QString::fromUtf8("操作成功！"));
        RoomsChanged = true;
        return;
    }
    Prompt_Label->setText(QString::fromUtf8("操作失败！"));
}
