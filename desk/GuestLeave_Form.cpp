#include "GuestLeave_Form.h"

#include "AppState.h"
#include "CheckOut.h"
#include "TarvaneApplication.h"
#include "Translation.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

CloseOnEscape::CloseOnEscape(QDialog *window)
    : QObject(window)
    , m_window(window)
{
    qApp->installEventFilter(this);
}

CloseOnEscape::~CloseOnEscape()
{
    qApp->removeEventFilter(this);
}

bool CloseOnEscape::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    if (static_cast<QKeyEvent *>(event)->key() != Qt::Key_Escape)
        return false;
    m_window->reject();
    return true;
}

namespace {

constexpr int StayIdRole = Qt::UserRole + 1;

} // namespace

TGuestLeave_Form::TGuestLeave_Form(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GuestLeave_Form"));
    setWindowTitle(QString::fromUtf8("退房"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(true);

    GL_ADO = new QStandardItemModel(0, 1, this);
    GL_ADO->setObjectName(QStringLiteral("GL_ADO"));
    GL_ADO->setHorizontalHeaderLabels({ QString::fromUtf8("门牌号码") });

    GuestInRecord_DBGrid = new QTableView(this);
    GuestInRecord_DBGrid->setObjectName(QStringLiteral("GuestInRecord_DBGrid"));
    GuestInRecord_DBGrid->setModel(GL_ADO);
    GuestInRecord_DBGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GuestInRecord_DBGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    GuestInRecord_DBGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    GuestInRecord_DBGrid->horizontalHeader()->setStretchLastSection(true);

    NoCardConfirm_Bt = new QPushButton(QString::fromUtf8("退  房(&U)"), this);
    NoCardConfirm_Bt->setObjectName(QStringLiteral("NoCardConfirm_Bt"));
    Close_Bt = new QPushButton(QString::fromUtf8("关    闭(&C)"), this);
    Close_Bt->setObjectName(QStringLiteral("Close_Bt"));
    // Enter in the list must not check a guest out.
    for (QPushButton *button : { NoCardConfirm_Bt, Close_Bt })
        button->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(NoCardConfirm_Bt);
    buttons->addWidget(Close_Bt);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(GuestInRecord_DBGrid);
    layout->addLayout(buttons);
    resize(360, 420);

    connect(NoCardConfirm_Bt, &QPushButton::clicked, this, guarded([this] { NoCardConfirm_BtClick(); }));
    connect(Close_Bt, &QPushButton::clicked, this, &QDialog::reject);
    new CloseOnEscape(this);
    installCapturePrompt(this);
    FormCreate();
}

void TGuestLeave_Form::FormCreate()
{
    translateWindow(this);
    runGuarded([this] { FindGuestInData(); });
}

void TGuestLeave_Form::FindGuestInData()
{
    GL_ADO->removeRows(0, GL_ADO->rowCount());
    for (const LiveStay &stay : loadLiveStays()) {
        auto *item = new QStandardItem(stay.roomStr);
        item->setData(stay.id, StayIdRole);
        GL_ADO->appendRow(item);
    }
    if (GL_ADO->rowCount() > 0)
        GuestInRecord_DBGrid->setCurrentIndex(GL_ADO->index(0, 0));
}

void TGuestLeave_Form::NoCardConfirm_BtClick()
{
    if (GL_ADO->rowCount() == 0)
        return;
    int row = GuestInRecord_DBGrid->currentIndex().row();
    if (row < 0)
        row = 0;
    // A stay closed at another desk since the list was loaded keeps its own
    // leave time; the list is reloaded all the same, so the stale row goes.
    (void)closeStay(GL_ADO->item(row)->data(StayIdRole).toLongLong());
    RoomsChanged = true;
    FindGuestInData();
}
