#include "RoomType_Form.h"

#include "DbError.h"
#include "HotelSetup.h"
#include "NamedWidgets.h"
#include "TarvaneApplication.h"
#include "Translation.h"
#include "WriteTransaction.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlTableModel>
#include <QTableView>
#include <QVBoxLayout>

using Widgets::named;
using Widgets::button;

TRoomType_Form::TRoomType_Form(QWidget *parent)
    : QDialog(parent)
    , m_ds(dm().RoomType_Ds())
{
    setObjectName(QStringLiteral("RoomType_Form"));
    setWindowTitle(QString::fromUtf8("客房类型"));

    Label1 = named<QLabel>("Label1", QString::fromUtf8("客房类型："), this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("床    位："), this);
    Label3 = named<QLabel>("Label3", QString::fromUtf8("房    价："), this);
    Label4 = named<QLabel>("Label4", QString::fromUtf8("元"), this);
    RoomType_Edit = named<QLineEdit>("RoomType_Edit", this);
    MaxCounts_Edit = named<QLineEdit>("MaxCounts_Edit", this);
    Price_Edit = named<QLineEdit>("Price_Edit", this);
    setEditsEnabled(false);

    RoomType_DBGrid = named<QTableView>("RoomType_DBGrid", this);
    RoomType_DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RoomType_DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RoomType_DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    RoomType_DBGrid->verticalHeader()->hide();

    Add_Bt = button("Add_Bt", "添加", this);
    Save_Bt = button("Save_Bt", "保存", this);
    Edit_Bt = button("Edit_Bt", "编辑", this);
    Delete_Bt = button("Delete_Bt", "删除", this);
    Save_Bt->setEnabled(false);
    Edit_Bt->setEnabled(false);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(RoomType_Edit, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(MaxCounts_Edit, 1, 1);
    fields->addWidget(Label3, 2, 0);
    fields->addWidget(Price_Edit, 2, 1);
    fields->addWidget(Label4, 2, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : { Add_Bt, Save_Bt, Edit_Bt, Delete_Bt })
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(RoomType_DBGrid, 1);
    layout->addLayout(buttons);
    resize(460, 380);

    translateWindow(this);
    installCapturePrompt(this);

    // FormCreate: the shared table object is opened when it is closed.
    m_ds->open();
    QSqlTableModel *model = m_ds->model();
    const int title = model->fieldIndex(QStringLiteral("Title"));
    const int size = model->fieldIndex(QStringLiteral("Size"));
    const int piece = model->fieldIndex(QStringLiteral("Piece"));
    model->setHeaderData(title, Qt::Horizontal, QString::fromUtf8("客房类型"));
    model->setHeaderData(size, Qt::Horizontal, QString::fromUtf8("床位"));
    model->setHeaderData(piece, Qt::Horizontal, QString::fromUtf8("房价"));
    RoomType_DBGrid->setModel(model);
    for (int c = 0; c < model->columnCount(); ++c)
        RoomType_DBGrid->setColumnHidden(c, c != title && c != size && c != piece);
    makeFirstRowCurrent();

    connect(model, &QAbstractItemModel::modelReset, this, [this] { makeFirstRowCurrent(); });
    connect(m_ds, &DataSource::stateChanged, this, [this](DataSource::State s) { RoomType_DsStateChange(s); });
    connect(Add_Bt, &QPushButton::clicked, this, guarded([this] { Add_BtClick(); }));
    connect(Edit_Bt, &QPushButton::clicked, this, guarded([this] { Edit_BtClick(); }));
    connect(Save_Bt, &QPushButton::clicked, this, guarded([this] { Save_BtClick(); }));
    connect(Delete_Bt, &QPushButton::clicked, this, guarded([this] { Delete_BtClick(); }));
    connect(RoomType_DBGrid, &QTableView::clicked, this, guarded([this] { RoomType_DBGridCellClick(); }));
    connect(RoomType_Edit, &QLineEdit::textChanged, this, [this] { RoomType_EditChange(); });
}

TRoomType_Form::~TRoomType_Form()
{
    FormClose();
}

void TRoomType_Form::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TRoomType_Form::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    // The table object outlives the window: it must not keep a half-made row.
    m_ds->cancel();
    disconnect(m_ds, nullptr, this, nullptr);
    disconnect(m_ds->model(), nullptr, this, nullptr);
}

void TRoomType_Form::setEditsEnabled(bool on)
{
    RoomType_Edit->setEnabled(on);
    MaxCounts_Edit->setEnabled(on);
    Price_Edit->setEnabled(on);
}

int TRoomType_Form::currentRow() const
{
    const QModelIndex index = RoomType_DBGrid->currentIndex();
    return index.isValid() ? index.row() : -1;
}

void TRoomType_Form::makeFirstRowCurrent()
{
    QSqlTableModel *model = m_ds->model();
    if (model->rowCount() == 0)
        return;
    const int title = model->fieldIndex(QStringLiteral("Title"));
    RoomType_DBGrid->setCurrentIndex(model->index(0, title));
}

void TRoomType_Form::RoomType_DsStateChange(DataSource::State state)
{
    if (state == DataSource::Edit || state == DataSource::Insert) {
        Save_Bt->setEnabled(true);
        Add_Bt->setEnabled(false);
        Delete_Bt->setEnabled(false);
    }
}

void TRoomType_Form::Add_BtClick()
{
    Save_Bt->setEnabled(true);
    Add_Bt->setEnabled(false);
    Delete_Bt->setEnabled(false);
    Edit_Bt->setEnabled(false);
    m_mode = Mode::Adding;
    setEditsEnabled(true);
    RoomType_Edit->setFocus();
    RoomType_EditChange();
}

void TRoomType_Form::Edit_BtClick()
{
    const int row = currentRow();
    if (row < 0)
        return;
    QSqlTableModel *model = m_ds->model();
    const auto text = [&](const char *column) {
        return model->data(model->index(row, model->fieldIndex(QLatin1String(column)))).toString();
    };
    RoomType_Edit->setText(text("Title"));
    MaxCounts_Edit->setText(text("Size"));
    Price_Edit->setText(text("Piece"));
    Save_Bt->setEnabled(true);
    Add_Bt->setEnabled(false);
    Delete_Bt->setEnabled(false);
    setEditsEnabled(true);
    m_mode = Mode::Editing;
    RoomType_Edit->setFocus();
}

void TRoomType_Form::RoomType_EditChange()
{
    Save_Bt->setEnabled(!RoomType_Edit->text().isEmpty());
}

void TRoomType_Form::Save_BtClick()
{
    // Typed numbers are read before the row is touched: a bad one leaves everything as it was.
    const QVariant size = RoomTypes::sizeValue(MaxCounts_Edit->text());
    const QVariant piece = RoomTypes::pieceValue(Price_Edit->text());
    const int editedRow = currentRow();
    if (m_mode == Mode::Editing && editedRow < 0)
        return;

    if (m_mode == Mode::Adding)
        m_ds->append();
    else
        m_ds->edit(editedRow);
    QSqlTableModel *model = m_ds->model();
    const int row = m_ds->currentRow();
    const auto set = [&](const char *column, const QVariant &value) {
        model->setData(model->index(row, model->fieldIndex(QLatin1String(column))), value);
    };
    set("Title", RoomType_Edit->text());
    if (!size.isNull())
        set("Size", size);
    if (!piece.isNull())
        set("Piece", piece);

    if (RoomType_Edit->text().isEmpty()) {
        // The data module tells the operator; nothing reaches the database.
        m_ds->post();
        return;
    }
    WriteTransaction tx(model->database());
    if (!m_ds->post())
        return;
    tx.commit();

    Save_Bt->setEnabled(false);
    Add_Bt->setEnabled(true);
    Delete_Bt->setEnabled(false);
    for (QLineEdit *edit : { RoomType_Edit, MaxCounts_Edit, Price_Edit })
        edit->clear();
    setEditsEnabled(false);
}

void TRoomType_Form::RoomType_DBGridCellClick()
{
    Save_Bt->setEnabled(false);
    Add_Bt->setEnabled(true);
    Delete_Bt->setEnabled(true);
    Edit_Bt->setEnabled(m_ds->model()->rowCount() > 0);
}

void TRoomType_Form::Delete_BtClick()
{
    const int row = currentRow();
    QSqlTableModel *model = m_ds->model();
    if (row < 0 || row >= model->rowCount())
        return;
    WriteTransaction tx(model->database());
    if (!model->removeRow(row) || !model->submitAll()) {
        const DbError error(model->lastError());
        model->revertAll();
        throw error;
    }
    tx.commit();
}

#include "moc_RoomType_Form.cpp"
