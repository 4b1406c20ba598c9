#include "CheckCardForm.h"

#include "AppState.h"
#include "CardOperations.h"
#include "CardReading.h"
#include "Encoder.h"
#include "GuestLeave_Form.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QVBoxLayout>

namespace {

QLineEdit *readOnlyBox(QWidget *parent, const char *name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    return box;
}

QLabel *fieldLabel(QWidget *parent, const char *name, const char *text)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TCheckCardForm::TCheckCardForm(QWidget *parent, bool showCancel)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CheckCardForm"));
    setWindowTitle(QString::fromUtf8("读卡/注销卡"));

    CardType_Edit = readOnlyBox(this, "CardType_Edit");
    District_Edit = readOnlyBox(this, "District_Edit");
    StartTime_Edit = readOnlyBox(this, "StartTime_Edit");
    Building_Edit = readOnlyBox(this, "Building_Edit");
    EndTime_Edit = readOnlyBox(this, "EndTime_Edit");
    Floor_Edit = readOnlyBox(this, "Floor_Edit");
    RoomNo_Edit = readOnlyBox(this, "RoomNo_Edit");

    Override_RG = new QWidget(this);
    Override_RG->setObjectName(QStringLiteral("Override_RG"));
    OverrideYes_Rb = new QRadioButton(QString::fromUtf8("是"), Override_RG);
    OverrideYes_Rb->setObjectName(QStringLiteral("OverrideYes_Rb"));
    OverrideNo_Rb = new QRadioButton(QString::fromUtf8("否"), Override_RG);
    OverrideNo_Rb->setObjectName(QStringLiteral("OverrideNo_Rb"));
    // Shows the card; the operator does not choose.
    OverrideYes_Rb->setAttribute(Qt::WA_TransparentForMouseEvents);
    OverrideNo_Rb->setAttribute(Qt::WA_TransparentForMouseEvents);
    OverrideYes_Rb->setFocusPolicy(Qt::NoFocus);
    OverrideNo_Rb->setFocusPolicy(Qt::NoFocus);
    m_overrideGroup = new QButtonGroup(this);
    m_overrideGroup->addButton(OverrideYes_Rb);
    m_overrideGroup->addButton(OverrideNo_Rb);
    auto *radios = new QHBoxLayout(Override_RG);
    radios->setContentsMargins(0, 0, 0, 0);
    radios->addWidget(OverrideYes_Rb);
    radios->addWidget(OverrideNo_Rb);
    radios->addStretch();

    ReadCard_Bt = new QPushButton(QString::fromUtf8("读  卡(&R)"), this);
    ReadCard_Bt->setObjectName(QStringLiteral("ReadCard_Bt"));
    Register_Bt = new QPushButton(QString::fromUtf8("注  销(&G)"), this);
    Register_Bt->setObjectName(QStringLiteral("Register_Bt"));
    Close_Bt = new QPushButton(QString::fromUtf8("关  闭(&C)"), this);
    Close_Bt->setObjectName(QStringLiteral("Close_Bt"));
    Register_Bt->setAutoDefault(false);
    Close_Bt->setAutoDefault(false);
    ReadCard_Bt->setDefault(true);
    Register_Bt->setVisible(showCancel);

    Prompt_Label = new QLabel(this);
    Prompt_Label->setObjectName(QStringLiteral("Prompt_Label"));
    Prompt_Label->setMinimumHeight(24);
    QFont promptFont = Prompt_Label->font();
    promptFont.setPointSize(promptFont.pointSize() + 4);
    Prompt_Label->setFont(promptFont);

    auto *fields = new QGridLayout;
    fields->addWidget(fieldLabel(this, "CardType_Label", "卡 类型："), 0, 0);
    fields->addWidget(CardType_Edit, 0, 1);
    fields->addWidget(fieldLabel(this, "District_Label", "区  域:"), 0, 2);
    fields->addWidget(District_Edit, 0, 3);
    fields->addWidget(fieldLabel(this, "StartTime_Label", "起始时间："), 1, 0);
    fields->addWidget(StartTime_Edit, 1, 1);
    fields->addWidget(fieldLabel(this, "Building_Label", "楼    号："), 1, 2);
    fields->addWidget(Building_Edit, 1, 3);
    fields->addWidget(fieldLabel(this, "EndTime_Label", "终止时间："), 2, 0);
    fields->addWidget(EndTime_Edit, 2, 1);
    fields->addWidget(fieldLabel(this, "Floor_Label", "楼    层："), 2, 2);
    fields->addWidget(Floor_Edit, 2, 3);
    fields->addWidget(fieldLabel(this, "Override_Label", "是否挂失："), 3, 0);
    fields->addWidget(Override_RG, 3, 1);
    fields->addWidget(fieldLabel(this, "RoomNo_Label", "客    房："), 3, 2);
    fields->addWidget(RoomNo_Edit, 3, 3);
    fields->setColumnStretch(1, 2);
    fields->setColumnStretch(3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ReadCard_Bt);
    buttons->addWidget(Register_Bt);
    buttons->addWidget(Close_Bt);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Prompt_Label);
    layout->addLayout(buttons);
    resize(520, 230);

    connect(ReadCard_Bt, &QPushButton::clicked, this, guarded([this] { ReadCard_BtClick(); }));
    connect(Register_Bt, &QPushButton::clicked, this, guarded([this] { Register_BtClick(); }));
    connect(Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    new CloseOnEscape(this);
    installCapturePrompt(this);
    FormCreate();
}

void TCheckCardForm::FormCreate()
{
    translateWindow(this);
}

void TCheckCardForm::clearOverrideChoice()
{
    // An exclusive group keeps its checked button when it is unchecked directly.
    m_overrideGroup->setExclusive(false);
    OverrideYes_Rb->setChecked(false);
    OverrideNo_Rb->setChecked(false);
    m_overrideGroup->setExclusive(true);
}

void TCheckCardForm::ShowPromptMessage(int16_t code)
{
    Prompt_Label->setText(EncoderResultText(code));
}

void TCheckCardForm::ReadCard_BtClick()
{
    TCardData card;
    ReadCard_Bt->setEnabled(false);
    repaint();
    const int16_t code = Encoder::ReadCard(card);
    ReadCard_Bt->setEnabled(true);
    if (code != Encoder::Success) {
        ShowPromptMessage(code);
        return;
    }
    const CardDisplay display = describeCard(card);
    if (display.blank) {
        StartTime_Edit->clear();
        EndTime_Edit->clear();
        CardType_Edit->clear();
        clearOverrideChoice();
        Prompt_Label->setText(QString::fromUtf8("新卡！"));
        return;
    }
    StartTime_Edit->setText(display.startTime);
    EndTime_Edit->setText(display.endTime);
    CardType_Edit->setText(display.cardType);
    if (display.overrideApplied)
        (*display.overrideApplied ? OverrideYes_Rb : OverrideNo_Rb)->setChecked(true);
    else
        clearOverrideChoice();
    RoomNo_Edit->setText(display.room);
    Floor_Edit->setText(display.floor);
    Building_Edit->setText(display.building);
    District_Edit->setText(display.district);
    ShowPromptMessage(Encoder::Success);
}

void TCheckCardForm::Register_BtClick()
{
    if (RoomsChanged)
        return;
    RoomsChanged = true;
    // Whatever fails on the way, the button is usable again.
    const auto enable = qScopeGuard([this] { Register_Bt->setEnabled(true); });
    TCardData card;
    const int16_t read = Encoder::ReadCard(card);
    if (read != Encoder::Success) {
        ShowPromptMessage(read);
        return;
    }
    // The board may have been redrawn, and the flag cleared, while the
    // question was open: a board drawn with the stays still live must be redrawn.
    if (closeStaysOfCancelledCard(card) > 0)
        RoomsChanged = true;
    Register_Bt->setEnabled(false);
    repaint();
    const int16_t wiped = Encoder::ClearCardData(card.CardNo);
    ShowPromptMessage(wiped);
}
