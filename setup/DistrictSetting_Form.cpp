#include "DistrictSetting_Form.h"

#include "DataModule.h"
#include "DbError.h"
#include "HotelSetup.h"
#include "NamedWidgets.h"
#include "Prompts.h"
#include "TarvaneApplication.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

using Widgets::named;
using Widgets::button;

TDistrictSetting_Form::TDistrictSetting_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("DistrictSetting_Form"));
    setWindowTitle(QString::fromUtf8("区域设置"));

    Label1 = named<QLabel>("Label1", QString::fromUtf8("区域号："), this);
    Label2 = named<QLabel>("Label2", QString::fromUtf8("描   述："), this);
    Dn_Edit = named<QLineEdit>("Dn_Edit", this);
    Notes_Edit = named<QLineEdit>("Notes_Edit", this);
    Dn_Edit->setEnabled(false);
    Notes_Edit->setEnabled(false);

    RoomInfo_ado = new QSqlQueryModel(this);
    RoomInfo_ado->setObjectName(QStringLiteral("RoomInfo_ado"));
    DBGrid1 = named<QTableView>("DBGrid1", this);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->verticalHeader()->hide();
    DBGrid1->setModel(RoomInfo_ado);

    Add_Bt = button("Add_Bt", "添  加", this);
    Save_Bt = button("Save_Bt", " 保  存", this);
    Delete_Bt = button("Delete_Bt", "删  除", this);
    Save_Bt->setEnabled(false);

    auto *fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Dn_Edit, 0, 1);
    fields->addWidget(Label2, 1, 0);
    fields->addWidget(Notes_Edit, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : { Add_Bt, Save_Bt, Delete_Bt })
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    resize(420, 360);

    reload();

    connect(Add_Bt, &QPushButton::clicked, this, guarded([this] { Add_BtClick(); }));
    connect(Save_Bt, &QPushButton::clicked, this, guarded([this] { Save_BtClick(); }));
    connect(Delete_Bt, &QPushButton::clicked, this, guarded([this] { Delete_BtClick(); }));
    connect(DBGrid1, &QTableView::clicked, this, guarded([this] { DBGrid1CellClick(); }));
    connect(Dn_Edit, &QLineEdit::textChanged, this, [this] { Dn_EditChange(); });
}

void TDistrictSetting_Form::keyPressEvent(QKeyEvent *event)
{
    // No key handling of its own: Esc does not close; the close box does.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TDistrictSetting_Form::reload()
{
    QSqlQuery query(dm().conn());
    query.setForwardOnly(false);
    if (!query.exec(QStringLiteral("Select DistrictNumber,Notes From District order by DistrictNumber")))
        throw DbError::fromQuery(query);
    RoomInfo_ado->setQuery(std::move(query));
    while (RoomInfo_ado->canFetchMore())
        RoomInfo_ado->fetchMore();
    RoomInfo_ado->setHeaderData(0, Qt::Horizontal, QString::fromUtf8("区域号"));
    RoomInfo_ado->setHeaderData(1, Qt::Horizontal, QString::fromUtf8("描述"));
    if (RoomInfo_ado->rowCount() > 0)
        DBGrid1->setCurrentIndex(RoomInfo_ado->index(0, 0));
}

void TDistrictSetting_Form::Add_BtClick()
{
    Dn_Edit->setEnabled(true);
    Notes_Edit->setEnabled(true);
    Save_Bt->setEnabled(false);
    Add_Bt->setEnabled(false);
    Delete_Bt->setEnabled(false);
    Dn_Edit->setFocus();
}

void TDistrictSetting_Form::Dn_EditChange()
{
    Save_Bt->setEnabled(!Dn_Edit->text().isEmpty());
}

void TDistrictSetting_Form::Save_BtClick()
{
    if (Districts::add(dm().conn(), Dn_Edit->text(), Notes_Edit->text()) == Districts::AddResult::Duplicate) {
        prompts().message(this, QMessageBox::NoIcon, QString::fromLatin1(ApplicationTitle),
            QString::fromUtf8(Districts::DuplicateMessage), QMessageBox::Ok, QMessageBox::Ok);
        Dn_Edit->setFocus();
        return;
    }
    reload();
    Dn_Edit->clear();
    Notes_Edit->clear();
    Dn_Edit->setEnabled(false);
    Notes_Edit->setEnabled(false);
    Add_Bt->setEnabled(true);
    Delete_Bt->setEnabled(false);
    Save_Bt->setEnabled(false);
}

void TDistrictSetting_Form::Delete_BtClick()
{
    const QModelIndex current = DBGrid1->currentIndex();
    if (RoomInfo_ado->rowCount() > 0 && current.isValid()) {
        Districts::remove(dm().conn(), RoomInfo_ado->data(RoomInfo_ado->index(current.row(), 0)));
        reload();
    }
    Save_Bt->setEnabled(false);
}

void TDistrictSetting_Form::DBGrid1CellClick()
{
    Add_Bt->setEnabled(true);
    Delete_Bt->setEnabled(true);
    Save_Bt->setEnabled(false);
}

#include "moc_DistrictSetting_Form.cpp"
