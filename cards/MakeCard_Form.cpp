#include "MakeCard_Form.h"

#include "AppState.h"
#include "CardOperations.h"
#include "Clock.h"
#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Picker tags: a date picker with tag 1 opens on tomorrow, with tag 0 on today.
const char *const TagProperty = "tag";

template <typename T, typename... Args> T *named(const QString &name, Args &&...args)
{
    T *widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(name);
    return widget;
}

QLabel *label(const QString &name, const char *text, QWidget *parent)
{
    return named<QLabel>(name, QString::fromUtf8(text), parent);
}

QDateEdit *datePicker(const QString &name, int tag, QWidget *parent)
{
    auto *picker = named<QDateEdit>(name, parent);
    picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    picker->setCalendarPopup(true);
    picker->setProperty(TagProperty, tag);
    return picker;
}

QTimeEdit *timePicker(const QString &name, int tag, QWidget *parent)
{
    auto *picker = named<QTimeEdit>(name, parent);
    picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    picker->setProperty(TagProperty, tag);
    return picker;
}

QComboBox *choiceList(const char *name, QWidget *parent)
{
    auto *list = named<QComboBox>(QString::fromLatin1(name), parent);
    list->setEditable(false); // only listed values
    list->setMaxVisibleItems(15);
    list->setMinimumWidth(100);
    return list;
}

} // namespace

TMakeCard_Form::TMakeCard_Form(QWidget *parent, int page)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MakeCard_Form"));
    setWindowTitle(QString::fromUtf8("发行卡"));

    PageControl1 = named<QTabWidget>(QStringLiteral("PageControl1"), this);
    Buiding_CB = choiceList("Buiding_CB", this);
    Buiding_Flc_CB = choiceList("Buiding_Flc_CB", this);
    Floor_CB = choiceList("Floor_CB", this);
    District_CB = choiceList("District_CB", this);
    for (const SpecialCardKind &kind : specialCardKinds())
        PageControl1->addTab(buildPage(kind), QString::fromUtf8(kind.caption));

    Encode_Bt = named<QPushButton>(QStringLiteral("Encode_Bt"), QString::fromUtf8("发卡(&W)"), this);
    BitBtn2 = named<QPushButton>(QStringLiteral("BitBtn2"), QString::fromUtf8("关闭(&C)"), this);
    // Enter must never write a card.
    for (QPushButton *b : { Encode_Bt, BitBtn2 }) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    Encode_Bt->setEnabled(false);
    Prompt_Label = named<QLabel>(QStringLiteral("Prompt_Label"), this);
    Prompt_Label->setMinimumHeight(24);
    Prompt_Label->setFrameShape(QFrame::StyledPanel);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Encode_Bt);
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    layout->addWidget(Prompt_Label);
    setMinimumSize(660, 340);

    connect(Encode_Bt, &QPushButton::clicked, this, guarded([this] { Encode_BtClick(); }));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    connect(PageControl1, &QTabWidget::currentChanged, this, guarded([this] { PageControl1Change(); }));

    FormCreate();
    // Bringing another page forward applies that page's right through the change.
    if (page > 0 && page < SpecialCardKindCount)
        PageControl1->setCurrentIndex(page);
}

QWidget *TMakeCard_Form::buildPage(const SpecialCardKind &kind)
{
    const QString suffix = QString::fromLatin1(kind.suffix);
    auto *sheet = named<QWidget>(QStringLiteral("TabSheet_") + suffix);
    Page &page = m_pages[size_t(kind.page)];
    page.sheet = sheet;
    auto *grid = new QGridLayout(sheet);
    int row = 0;

    if (kind.page == TimeCardPage) {
        page.holder = named<QLineEdit>(QStringLiteral("E_H_Time"), sheet);
        page.holder->setMaxLength(20);
        grid->addWidget(label(QStringLiteral("Label_H_Time"), "持 卡 人：", sheet), row, 0, Qt::AlignRight);
        grid->addWidget(page.holder, row++, 1, 1, 2);
        TimeCardDt_DTP = datePicker(QStringLiteral("TimeCardDt_DTP"), 0, sheet);
        TimeCardTm_DTP = timePicker(QStringLiteral("TimeCardTm_DTP"), 0, sheet);
        grid->addWidget(label(QStringLiteral("Label_Set_Time"), "设定时间：", sheet), row, 0, Qt::AlignRight);
        grid->addWidget(TimeCardDt_DTP, row, 1);
        grid->addWidget(TimeCardTm_DTP, row++, 2);
    } else {
        page.holder = named<QLineEdit>(QStringLiteral("E_H_") + suffix, sheet);
        if (kind.page != 8) // the stop card's holder has no limit
            page.holder->setMaxLength(20);
        grid->addWidget(label(QStringLiteral("Label_H_") + suffix, "持卡人：", sheet), row, 0, Qt::AlignRight);
        grid->addWidget(page.holder, row++, 1, 1, 2);

        // Every such card starts at the moment the window was opened.
        page.startDate = datePicker(QStringLiteral("SD_%1_Dtp").arg(suffix), 0, sheet);
        page.startTime = timePicker(QStringLiteral("ST_%1_Dtp").arg(suffix), 0, sheet);
        page.startDate->setEnabled(false);
        page.startTime->setEnabled(false);
        grid->addWidget(label(QStringLiteral("Label_S_") + suffix, "起始时间：", sheet), row, 0, Qt::AlignRight);
        grid->addWidget(page.startDate, row, 1);
        grid->addWidget(page.startTime, row++, 2);

        page.endDate = datePicker(QStringLiteral("ED_%1_Dtp").arg(suffix), 1, sheet);
        page.endTime = timePicker(QStringLiteral("ET_%1_Dtp").arg(suffix), 1, sheet);
        grid->addWidget(label(QStringLiteral("Label_E_") + suffix, "终止时间：", sheet), row, 0, Qt::AlignRight);
        grid->addWidget(page.endDate, row, 1);
        grid->addWidget(page.endTime, row++, 2);

        switch (kind.choice) {
        case SpecialCardKind::Choice::BuildingAndFloor:
            Buiding_Flc_CB->setParent(sheet);
            Floor_CB->setParent(sheet);
            grid->addWidget(label(QStringLiteral("Label_B_Floor"), "楼号：", sheet), row, 0, Qt::AlignRight);
            grid->addWidget(Buiding_Flc_CB, row++, 1);
            grid->addWidget(label(QStringLiteral("Label_F_Floor"), "楼层：", sheet), row, 0, Qt::AlignRight);
            grid->addWidget(Floor_CB, row++, 1);
            break;
        case SpecialCardKind::Choice::Building:
            Buiding_CB->setParent(sheet);
            grid->addWidget(label(QStringLiteral("Label_B_Building"), "楼号：", sheet), row, 0, Qt::AlignRight);
            grid->addWidget(Buiding_CB, row++, 1);
            break;
        case SpecialCardKind::Choice::District:
            District_CB->setParent(sheet);
            grid->addWidget(label(QStringLiteral("Label_D_District"), "区域：", sheet), row, 0, Qt::AlignRight);
            grid->addWidget(District_CB, row++, 1);
            break;
        case SpecialCardKind::Choice::None:
            break;
        }
    }
    page.applyLoss = named<QCheckBox>(QStringLiteral("CB_eO_") + suffix, QString::fromUtf8("应用挂失"), sheet);
    grid->addWidget(page.applyLoss, row++, 1, 1, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(3, 1);
    return sheet;
}

void TMakeCard_Form::FormCreate()
{
    Language1 = translateWindow(this);
    installCapturePrompt(this);

    const QDateTime now = Clock::now();
    for (QDateEdit *picker : findChildren<QDateEdit *>())
        picker->setDate(picker->property(TagProperty).toInt() == 1 ? now.date().addDays(1) : now.date());
    for (QTimeEdit *picker : findChildren<QTimeEdit *>())
        picker->setTime(now.time());
    for (const Page &page : m_pages) {
        if (page.endTime)
            page.endTime->setTime(SystemSettings.LeaveTime);
    }
    TimeCardDt_DTP->setDate(now.date());
    TimeCardTm_DTP->setTime(now.time());

    runGuarded([this] {
        dm().GetDataTypeItems(4, Buiding_CB);
        dm().GetDataTypeItems(4, Buiding_Flc_CB);
        dm().GetDataTypeItems(5, Floor_CB);
        dm().GetDataTypeItems(6, District_CB);
    });

    runGuarded([this] { PageControl1Change(); });
}

void TMakeCard_Form::PageControl1Change()
{
    const int page = PageControl1->currentIndex();
    if (page < 0)
        return;
    const std::optional<bool> right = operatorMayMake(page, SystemSettings.Staffer);
    if (!right) {
        // The operator's row has gone: the program ends.
        Encode_Bt->setEnabled(false);
        requestProgramEnd();
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    m_pages[size_t(page)].sheet->setEnabled(*right);
    Encode_Bt->setEnabled(*right);
    PageControl1->update();
}

void TMakeCard_Form::Encode_BtClick()
{
    // The board has not caught up with the last card yet.
    if (RoomsChanged)
        return;
    RoomsChanged = true;

    Prompt_Label->clear();
    Encode_Bt->setEnabled(false);
    // Enabled again however the write ends, a database error included.
    const auto enableAgain = qScopeGuard([this] { Encode_Bt->setEnabled(true); });
    // Drawn now; processing events here could let the board's timer run half-way.
    repaint();

    const int16_t prepared = PrepareCard();
    if (prepared != Encoder::Success) {
        ShowPromptMessage(prepared);
        return;
    }
    switch (PageControl1->currentIndex()) {
    case 0:
        MC_Time();
        break;
    case 1:
        MC_Data();
        break;
    case 2:
        MC_Chief();
        break;
    case 3:
        MC_District();
        break;
    case 4:
        MC_Building();
        break;
    case 5:
        MC_Floor();
        break;
    case 6:
        MC_LongOpen();
        break;
    case 7:
        MC_Emergent();
        break;
    case 8:
        MC_Lost();
        break;
    default:
        break;
    }
}

void TMakeCard_Form::MC_Time()
{
    makeCard(0);
}

void TMakeCard_Form::MC_Data()
{
    makeCard(1);
}

void TMakeCard_Form::MC_Chief()
{
    makeCard(2);
}

void TMakeCard_Form::MC_District()
{
    makeCard(3);
}

void TMakeCard_Form::MC_Building()
{
    makeCard(4);
}

void TMakeCard_Form::MC_Floor()
{
    makeCard(5);
}

void TMakeCard_Form::MC_LongOpen()
{
    makeCard(6);
}

void TMakeCard_Form::MC_Emergent()
{
    makeCard(7);
}

void TMakeCard_Form::MC_Lost()
{
    makeCard(8);
}

void TMakeCard_Form::makeCard(int page)
{
    const Page &controls = m_pages[size_t(page)];
    SpecialCardRequest request;
    request.page = page;
    if (page == TimeCardPage) {
        // The time card starts at the click and sets the picked time into the locks, untouched.
        request.start = Clock::now();
        request.end = QDateTime(TimeCardDt_DTP->date(), TimeCardTm_DTP->time());
    } else {
        const int tolerance = SystemSettings.TimeTolerance;
        request.start = specialCardTime(controls.startDate->date(), controls.startTime->time(), tolerance);
        request.end = specialCardTime(controls.endDate->date(), controls.endTime->time(), tolerance);
    }
    request.applyLossReport = controls.applyLoss->isChecked();

    QComboBox *building = page == FloorCardPage ? Buiding_Flc_CB : Buiding_CB;
    const QString missing = missingChoiceMessage(page, !building->currentText().isEmpty(),
        !Floor_CB->currentText().isEmpty(), !District_CB->currentText().isEmpty());
    if (!missing.isEmpty()) {
        prompts().message(
            this, QMessageBox::NoIcon, QString::fromUtf8(ApplicationTitle), missing, QMessageBox::Ok, QMessageBox::Ok);
        return;
    }
    request.building = int16_t(building->currentText().toInt());
    request.floor = int16_t(Floor_CB->currentText().toInt());
    request.district = int16_t(District_CB->currentText().toInt());
    request.holder = controls.holder->text();

    ShowPromptMessage(issueSpecialCard(request));
}

void TMakeCard_Form::ShowPromptMessage(int16_t result)
{
    Prompt_Label->setText(EncoderResultText(result));
}

#include "moc_MakeCard_Form.cpp"
