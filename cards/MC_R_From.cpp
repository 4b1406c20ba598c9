#include "MC_R_From.h"

#include "Clock.h"
#include "NamedWidgets.h"
#include "Operators.h"
#include "Prompts.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "TLanguage.h"
#include "Translation.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {

using Widgets::named;

QDateEdit *longDatePicker(const char *name, QWidget *parent)
{
    auto *picker = named<QDateEdit>(name, parent);
    picker->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
    picker->setCalendarPopup(true);
    return picker;
}

bool isDateTimeColumn(int column)
{
    return column == TMC_R_From::InputTime || column == TMC_R_From::StartTime || column == TMC_R_From::EndTime;
}

} // namespace

QVariant CardJournalModel::data(const QModelIndex &index, int role) const
{
    const QVariant value = QSqlQueryModel::data(index, role);
    if (role != Qt::DisplayRole || !isDateTimeColumn(index.column()) || value.isNull())
        return value;
    const QDateTime dateTime = Sql::readDateTime(value);
    return dateTime.isValid() ? QVariant(dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : value;
}

TMC_R_From::TMC_R_From(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("MC_R_From"));
    setWindowTitle(QString::fromUtf8("查询发卡记录"));

    auto *typeLabel = named<QLabel>("Label1", QString::fromUtf8("卡类型："), this);
    CardType_CB = named<QComboBox>("CardType_CB", this);
    CardType_CB->setEditable(false);
    CardType_CB->setMaxVisibleItems(15);
    CardType_CB->setMinimumWidth(120);
    auto *fromLabel = named<QLabel>("Label2", QString::fromUtf8("查询时段：从"), this);
    DateStart_Dtp = longDatePicker("DateStart_Dtp", this);
    auto *toLabel = named<QLabel>("Label3", QString::fromUtf8("至"), this);
    DateEnd_Dtp = longDatePicker("DateEnd_Dtp", this);
    typeLabel->setBuddy(CardType_CB);
    fromLabel->setBuddy(DateStart_Dtp);
    toLabel->setBuddy(DateEnd_Dtp);

    Check_Bt = named<QPushButton>("Check_Bt", QString::fromUtf8("查 询(&R)"), this);
    DeleteOldData_Bt = named<QPushButton>("DeleteOldData_Bt", QString::fromUtf8("删除两个月以上制卡记录"), this);
    BitBtn2 = named<QPushButton>("BitBtn2", QString::fromUtf8("关 闭(&C)"), this);
    // Enter searches; it never prunes.
    DeleteOldData_Bt->setAutoDefault(false);
    BitBtn2->setAutoDefault(false);
    Check_Bt->setDefault(true);
    DeleteOldData_Bt->setEnabled(false);

    MC_S_ADO = new CardJournalModel(this);
    MC_S_ADO->setObjectName(QStringLiteral("MC_S_ADO"));
    DBGrid1 = named<QTableView>("DBGrid1", this);
    DBGrid1->setModel(MC_S_ADO);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setWordWrap(false);
    DBGrid1->horizontalHeader()->setDefaultSectionSize(100);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        guarded([this] { MC_S_ADOAfterScroll(); }));

    StatusBar1 = named<QStatusBar>("StatusBar1", this);
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(StatusBar1);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(120);
        StatusBar1->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }

    auto *filters = new QHBoxLayout;
    filters->addWidget(typeLabel);
    filters->addWidget(CardType_CB);
    filters->addSpacing(12);
    filters->addWidget(fromLabel);
    filters->addWidget(DateStart_Dtp);
    filters->addWidget(toLabel);
    filters->addWidget(DateEnd_Dtp);
    filters->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Check_Bt);
    buttons->addWidget(DeleteOldData_Bt);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(buttons);
    layout->addWidget(DBGrid1, 1);
    layout->addWidget(StatusBar1);
    resize(820, 480);

    connect(Check_Bt, &QPushButton::clicked, this, guarded([this] { Check_BtClick(); }));
    connect(DeleteOldData_Bt, &QPushButton::clicked, this, guarded([this] { DeleteOldData_BtClick(); }));
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

void TMC_R_From::FormCreate()
{
    Language1 = translateWindow(this);
    installCapturePrompt(this, CapturePrompt::FromMessages);

    const QDate today = Clock::now().date();
    DateStart_Dtp->setDate(today);
    DateEnd_Dtp->setDate(today);

    runGuarded([this] {
        // Filled quietly: the one search of the opening comes at the end.
        CardType_CB->blockSignals(true);
        GetDataTypeItems(CardType_CB);
        CardType_CB->setCurrentIndex(CardType_CB->count() - 1);
        CardType_CB->blockSignals(false);
    });
    connect(CardType_CB, &QComboBox::currentIndexChanged, this, guarded([this] { Check_BtClick(); }));

    runGuarded([this] {
        const std::optional<OperatorRow> row = findOperator(dm().conn(), SystemSettings.Staffer);
        DeleteOldData_Bt->setEnabled(row && row->right(QStringLiteral("SystemInfo")));
    });
    runGuarded([this] { Check_BtClick(); });
}

void TMC_R_From::GetDataTypeItems(QComboBox *strings)
{
    strings->clear();
    strings->addItems(cardTypeTitles());
    // The last item stands for every card type.
    strings->addItem(Language1 ? Language1->MessageText(1) : QString());
}

CardJournalFilter TMC_R_From::currentFilter() const
{
    CardJournalFilter filter;
    filter.from = DateStart_Dtp->date();
    filter.to = DateEnd_Dtp->date();
    const int index = CardType_CB->currentIndex();
    if (index >= 0 && index < CardType_CB->count() - 1)
        filter.cardTypeTitle = CardType_CB->itemText(index);
    return filter;
}

void TMC_R_From::Check_BtClick()
{
    MakeCardRecordList();
}

void TMC_R_From::MakeCardRecordList()
{
    const CardJournalFilter filter = currentFilter();
    const int count = countCardJournal(filter);
    MC_S_ADO->setQuery(selectCardJournal(filter));
    m_count = count;

    const struct {
        int column;
        const char *title;
    } titles[] = {
        { C_Title, "卡种类" },
        { Rom, "卡号" },
        { Holder, "持卡人" },
        { MakeName, "发卡人" },
        { RoomStr, "房间" },
        { InputTime, "发卡时间" },
        { StartTime, "起始时间" },
        { EndTime, "结束时间" },
        { Explain, "摘要" },
    };
    for (int column = 0; column < MC_S_ADO->columnCount(); ++column)
        DBGrid1->setColumnHidden(column, true);
    for (const auto &title : titles) {
        MC_S_ADO->setHeaderData(title.column, Qt::Horizontal, QString::fromUtf8(title.title));
        DBGrid1->setColumnHidden(
            title.column, title.column == Rom || title.column == StartTime || title.column == Explain);
    }
    for (int column : { int(InputTime), int(EndTime) })
        DBGrid1->setColumnWidth(column, 150);

    if (MC_S_ADO->rowCount() > 0)
        DBGrid1->setCurrentIndex(MC_S_ADO->index(0, C_Title));
    MC_S_ADOAfterScroll();
}

void TMC_R_From::MC_S_ADOAfterScroll()
{
    const QModelIndex current = DBGrid1->currentIndex();
    const int row = current.isValid() ? current.row() + 1 : 0;
    const QString prefix = Language1 ? Language1->MessageText(0) : QString();
    StatusPanels[0]->setText(prefix + QString::number(row) + QLatin1Char('/') + QString::number(m_count));
}

void TMC_R_From::DeleteOldData_BtClick()
{
    const QDate cutoff = pruneCutoff(Clock::now().date());
    const QString text = QString::fromUtf8("是否要删除") + QLocale().toString(cutoff, QLocale::ShortFormat)
        + QString::fromUtf8("以前的制卡记录?");
    if (!prompts().confirm(this, QMessageBox::Question, QString::fromUtf8("信息提示"), text))
        return;
    pruneCardJournal(cutoff);
    MakeCardRecordList();
}

#include "moc_MC_R_From.cpp"
