#include "OpenDoorRecord_Form.h"

#include "Clock.h"
#include "CsvExport.h"
#include "PrintLibrary.h"
#include "Prompts.h"
#include "TarvaneApplication.h"
#include "TLanguage.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

namespace {

QPushButton *button(const char *name, const char *text, QWidget *parent)
{
    auto *b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QLatin1String(name));
    // No default button: Enter in the room field must not delete or print.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

// The grid's columns, in order.
QStringList gridCells(const DoorRecordRow &row)
{
    return { row.cardTypeStr, row.rom, row.cardHolderStr, DoorRecords::timeText(row.openTime), row.makeName };
}

} // namespace

TOpenDoorRecord_Form::TOpenDoorRecord_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("OpenDoorRecord_Form"));
    setWindowTitle(QString::fromUtf8("查询开门记录"));

    Label1 = new QLabel(QString::fromUtf8("房间号："), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Room_Edit = new QLineEdit(this);
    Room_Edit->setObjectName(QStringLiteral("Room_Edit"));
    Label1->setBuddy(Room_Edit);
    RoomList_Bt = button("RoomList_Bt", "选房", this);
    Query_Bt = button("Query_Bt", "确定", this);
    BitBtn1 = button("BitBtn1", "删除(&D)", this);
    Print_Bt = button("Print_Bt", "打印(&P)", this);
    Export_Bt = button("Export_Bt", "导出(&E)", this);
    BitBtn3 = button("BitBtn3", "关闭(&C)", this);
    // The picker belongs to the front desk; without it there is nothing to pick from.
    RoomList_Bt->setEnabled(bool(windowRegistry().pickRooms));
    Export_Bt->setEnabled(false);

    m_model = new QStandardItemModel(0, 5, this);
    m_model->setHorizontalHeaderLabels({ QString::fromUtf8("卡类型"), QString::fromUtf8("卡号"),
        QString::fromUtf8("持卡人"), QString::fromUtf8("开门时间"), QString::fromUtf8("发卡人") });
    OpenDoorRecord_DBGrid = new QTableView(this);
    OpenDoorRecord_DBGrid->setObjectName(QStringLiteral("OpenDoorRecord_DBGrid"));
    OpenDoorRecord_DBGrid->setModel(m_model);
    OpenDoorRecord_DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    OpenDoorRecord_DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    OpenDoorRecord_DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    OpenDoorRecord_DBGrid->verticalHeader()->setDefaultSectionSize(22);
    OpenDoorRecord_DBGrid->horizontalHeader()->setStretchLastSection(true);
    OpenDoorRecord_DBGrid->setColumnWidth(0, 90);
    OpenDoorRecord_DBGrid->setColumnWidth(1, 90);
    OpenDoorRecord_DBGrid->setColumnWidth(2, 110);
    OpenDoorRecord_DBGrid->setColumnWidth(3, 140);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setObjectName(QStringLiteral("StatusPanel0"));
    StatusPanel0->setMinimumWidth(120);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);

    auto *top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(Room_Edit);
    top->addWidget(RoomList_Bt);
    top->addWidget(Query_Bt);
    top->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(Print_Bt);
    buttons->addWidget(Export_Bt);
    buttons->addWidget(BitBtn3);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(OpenDoorRecord_DBGrid, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBar1);
    resize(620, 420);

    connect(Query_Bt, &QPushButton::clicked, this, guarded([this] { Query_BtClick(); }));
    connect(RoomList_Bt, &QPushButton::clicked, this, guarded([this] { RoomList_BtClick(); }));
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { ClearRecord_BtClick(); }));
    connect(Print_Bt, &QPushButton::clicked, this, guarded([this] { Print_BtClick(); }));
    connect(Export_Bt, &QPushButton::clicked, this, guarded([this] { Export_BtClick(); }));
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
    connect(OpenDoorRecord_DBGrid->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        guarded([this] { ReadOpenDoorRecord_AdoAfterScroll(); }));

    // FormCreate: the translation only; the query stays closed until the first search.
    Language1 = translateWindow(this);
    installCapturePrompt(this, CapturePrompt::FromMessages);
}

int TOpenDoorRecord_Form::currentRow() const
{
    const QModelIndex current = OpenDoorRecord_DBGrid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TOpenDoorRecord_Form::Query_BtClick()
{
    m_rows = DoorRecords::find(Room_Edit->text());
    m_searched = true;
    showRows();
    Export_Bt->setEnabled(true);
    setCurrentRow(m_rows.isEmpty() ? -1 : 0);
}

void TOpenDoorRecord_Form::showRows()
{
    m_model->removeRows(0, m_model->rowCount());
    m_model->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        const QStringList cells = gridCells(m_rows[r]);
        for (int c = 0; c < cells.size(); ++c)
            m_model->setItem(r, c, new QStandardItem(cells[c]));
    }
}

void TOpenDoorRecord_Form::setCurrentRow(int row)
{
    if (row >= 0) {
        OpenDoorRecord_DBGrid->setCurrentIndex(m_model->index(row, 0));
        OpenDoorRecord_DBGrid->selectRow(row);
    } else {
        OpenDoorRecord_DBGrid->setCurrentIndex(QModelIndex());
    }
    // The panel follows even when the current row number stays the same.
    ReadOpenDoorRecord_AdoAfterScroll();
}

void TOpenDoorRecord_Form::ReadOpenDoorRecord_AdoAfterScroll()
{
    if (!m_searched)
        return;
    const int row = currentRow();
    StatusPanel0->setText(
        QStringLiteral("   ") + QString::number(row + 1) + QStringLiteral(" / ") + QString::number(m_rows.size()));
}

void TOpenDoorRecord_Form::RoomList_BtClick()
{
    const auto &pick = windowRegistry().pickRooms;
    if (!pick)
        return;
    const std::optional<QStringList> rooms = pick(this);
    if (rooms && !rooms->isEmpty())
        Room_Edit->setText(rooms->last());
}

void TOpenDoorRecord_Form::ClearRecord_BtClick()
{
    const int row = currentRow();
    if (!m_searched || row < 0 || row >= m_rows.size())
        return;
    DoorRecords::remove(m_rows[row].recId);
    m_rows.removeAt(row);
    m_model->removeRow(row);
    setCurrentRow(m_rows.isEmpty() ? -1 : std::min(row, int(m_rows.size()) - 1));
}

void TOpenDoorRecord_Form::Print_BtClick()
{
    std::unique_ptr<PrintRows> rows;
    if (m_searched) {
        const QStringList names = DoorRecords::columnNames();
        const QStringList titles = DoorRecords::columnTitles();
        QList<PrintRows::Column> columns;
        for (qsizetype c = 0; c < names.size(); ++c)
            columns.append({ names[c], titles[c] });
        QList<QStringList> cells;
        cells.reserve(m_rows.size());
        for (const DoorRecordRow &row : std::as_const(m_rows))
            cells.append(DoorRecords::cells(row));
        rows = std::make_unique<PrintRows>(columns, cells, currentRow());
    }
    QWidget *mainWindow = parentWidget() ? parentWidget()->window() : this;
    PrintLibrary::show(mainWindow, rows ? rows->recordset() : nullptr, 0);
}

void TOpenDoorRecord_Form::Export_BtClick()
{
    if (!m_searched)
        return;
    const QString defaultName = QString::fromUtf8("开门记录_") + Clock::now().toString(QStringLiteral("yyyyMMddHHmmss"))
        + QStringLiteral(".csv");
    const QString path
        = prompts().saveFileName(this, QString::fromUtf8("导出"), defaultName, QStringLiteral("CSV (*.csv)"));
    if (path.isEmpty())
        return;
    const QStringList header = QString::fromUtf8("房间号,卡类型,卡号,持卡人,开门时间,发卡人").split(QLatin1Char(','));
    QList<QStringList> lines;
    lines.reserve(m_rows.size());
    for (const DoorRecordRow &row : std::as_const(m_rows))
        lines.append({ row.roomStr, row.cardTypeStr, row.rom, row.cardHolderStr, DoorRecords::timeText(row.openTime),
            row.makeName });
    QString reason;
    if (!CsvExport::write(path, CsvExport::document(header, lines), &reason))
        prompts().error(this, QString::fromUtf8(ApplicationTitle), QString::fromUtf8("导出失败：") + reason);
}
