#include "DataModule.h"

#include "DbError.h"
#include "Prompts.h"
#include "Sql.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QSqlRecord>
#include <QSqlTableModel>

#include <stdexcept>

namespace {

Tdm *s_instance = nullptr;

// Reads every row of a table object, so that no SQLite statement stays open
// and pins an old snapshot of the file.
void fetchAll(QSqlTableModel *model)
{
    while (model->canFetchMore())
        model->fetchMore();
}

void selectAll(QSqlTableModel *model)
{
    if (!model->select())
        throw DbError(model->lastError());
    fetchAll(model);
}

// A room type needs a title before it is stored.
class RoomTypeDataSource : public DataSource {
public:
    using DataSource::DataSource;

protected:
    bool beforePost(int row) override
    {
        const int column = model()->fieldIndex(QStringLiteral("Title"));
        const QVariant title = model()->data(model()->index(row, column));
        if (title.isNull() || title.toString().isEmpty()) {
            prompts().error(nullptr, QString(), QStringLiteral("请输入房号！"));
            return false;
        }
        return true;
    }
};

// Updates of a widget suspended for the life of the object, then restored.
class UpdatesSuspended {
public:
    explicit UpdatesSuspended(QWidget *widget)
        : m_widget(widget)
        , m_wasEnabled(widget->updatesEnabled())
    {
        m_widget->setUpdatesEnabled(false);
    }
    ~UpdatesSuspended() { m_widget->setUpdatesEnabled(m_wasEnabled); }
    UpdatesSuspended(const UpdatesSuspended &) = delete;
    UpdatesSuspended &operator=(const UpdatesSuspended &) = delete;

private:
    QWidget *m_widget;
    bool m_wasEnabled;
};

} // namespace

DataSource::DataSource(QSqlTableModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
}

void DataSource::open()
{
    if (m_state != Inactive)
        return;
    selectAll(m_model);
    m_row = m_model->rowCount() > 0 ? 0 : -1;
    setState(Browse);
}

void DataSource::edit(int row)
{
    open();
    if (m_state == Insert || m_state == Edit) {
        if (row == m_row)
            return;
        cancel();
    }
    m_row = row;
    setState(Edit);
}

void DataSource::append()
{
    open();
    if (m_state == Insert || m_state == Edit)
        cancel();
    const int row = m_model->rowCount();
    if (!m_model->insertRow(row))
        throw DbError(m_model->lastError());
    m_row = row;
    setState(Insert);
}

bool DataSource::post()
{
    if (m_state != Edit && m_state != Insert)
        return true;
    if (!beforePost(m_row))
        return false;
    // A refused row stays cached in its state, so the operator can put it right or cancel.
    if (!m_model->submitAll())
        throw DbError(m_model->lastError());
    fetchAll(m_model);
    m_row = qMin(m_row, m_model->rowCount() - 1);
    setState(Browse);
    return true;
}

void DataSource::cancel()
{
    if (m_state != Edit && m_state != Insert)
        return;
    m_model->revertAll();
    m_row = qMin(m_row, m_model->rowCount() - 1);
    setState(Browse);
}

bool DataSource::beforePost(int)
{
    return true;
}

void DataSource::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT stateChanged(state);
}

struct Tdm::Tables {
    explicit Tables(Tdm *owner)
        : owner(owner)
    {
    }

    // On the server, names are folded to lower case; the table object must
    // name its table so, as it quotes the name.
    QSqlTableModel *make(const QString &table, bool select)
    {
        const QSqlDatabase db = owner->conn();
        auto *model = new QSqlTableModel(owner, db);
        model->setEditStrategy(QSqlTableModel::OnManualSubmit);
        model->setTable(Sql::isPostgres(db) ? table.toLower() : table);
        if (model->lastError().isValid() || model->record().isEmpty()) {
            const DbError error = model->lastError().isValid()
                ? DbError(model->lastError())
                : DbError(QStringLiteral("The table %1 cannot be opened: %2").arg(table, db.lastError().text()));
            delete model;
            throw error;
        }
        if (select) {
            try {
                selectAll(model);
            } catch (...) {
                delete model;
                throw;
            }
        }
        return model;
    }

    QSqlTableModel *table(QSqlTableModel *&slot, const QString &name, bool select)
    {
        if (!slot)
            slot = make(name, select);
        return slot;
    }

    ~Tables()
    {
        delete operatorDs;
        delete roomTypeDs;
        delete operatorModel;
        delete roomTypeModel;
        delete roomStateModel;
        delete groupsModel;
        delete makeCardRecordModel;
    }

    Tdm *owner;
    QSqlTableModel *operatorModel = nullptr;
    QSqlTableModel *roomTypeModel = nullptr;
    QSqlTableModel *roomStateModel = nullptr;
    QSqlTableModel *groupsModel = nullptr;
    QSqlTableModel *makeCardRecordModel = nullptr;
    DataSource *operatorDs = nullptr;
    DataSource *roomTypeDs = nullptr;
};

Tdm::Tdm()
    : m_tables(std::make_unique<Tables>(this))
{
    setObjectName(QStringLiteral("dm"));
    s_instance = this;
}

Tdm::~Tdm()
{
    m_tables.reset();
    m_otherQuery.reset();
    if (s_instance == this)
        s_instance = nullptr;
    const QString name = QString::fromLatin1(ConnectionName);
    if (QSqlDatabase::contains(name)) {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        Sql::forgetStatements(db);
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(name);
    }
}

QSqlDatabase Tdm::conn() const
{
    return QSqlDatabase::database(QString::fromLatin1(ConnectionName), false);
}

QSqlQuery &Tdm::other_adoq()
{
    // Each user replaces the statement: the last one's rows are let go here,
    // so an unread rest never pins an old snapshot.
    if (!m_otherQuery)
        m_otherQuery = std::make_unique<QSqlQuery>(conn());
    m_otherQuery->finish();
    return *m_otherQuery;
}

QSqlTableModel *Tdm::Operator_ado()
{
    return m_tables->table(m_tables->operatorModel, QStringLiteral("Operator"), true);
}

QSqlTableModel *Tdm::RoomType_ado()
{
    return m_tables->table(m_tables->roomTypeModel, QStringLiteral("RoomType"), true);
}

QSqlTableModel *Tdm::RoomState_ado()
{
    return m_tables->table(m_tables->roomStateModel, QStringLiteral("RoomStateType"), true);
}

QSqlTableModel *Tdm::Groups_ado()
{
    return m_tables->table(m_tables->groupsModel, QStringLiteral("Groups"), true);
}

QSqlTableModel *Tdm::MakeCardRecord_ado()
{
    // The journal only receives rows through it; it is never read whole.
    return m_tables->table(m_tables->makeCardRecordModel, QStringLiteral("MakeCardRecord"), false);
}

DataSource *Tdm::Operator_Ds()
{
    if (!m_tables->operatorDs) {
        m_tables->operatorDs = new DataSource(Operator_ado(), this);
        m_tables->operatorDs->setObjectName(QStringLiteral("Operator_Ds"));
        m_tables->operatorDs->open();
    }
    return m_tables->operatorDs;
}

DataSource *Tdm::RoomType_Ds()
{
    if (!m_tables->roomTypeDs) {
        m_tables->roomTypeDs = new RoomTypeDataSource(RoomType_ado(), this);
        m_tables->roomTypeDs->setObjectName(QStringLiteral("RoomType_Ds"));
        m_tables->roomTypeDs->open();
    }
    return m_tables->roomTypeDs;
}

QStringList Tdm::GetDataTypeItems(int kind)
{
    QString sql;
    switch (kind) {
    case 4:
        sql = QStringLiteral("select DISTINCT Buiding from RoomInfo");
        break;
    case 5:
        sql = QStringLiteral("select DISTINCT Floor from RoomInfo");
        break;
    case 6:
        sql = QStringLiteral("select DISTINCT DistrictNumber from District");
        break;
    default:
        throw std::invalid_argument("GetDataTypeItems: unknown list kind " + std::to_string(kind));
    }
    QSqlQuery query = Sql::exec(conn(), sql);
    QStringList items;
    while (query.next())
        items << query.value(0).toString();
    return items;
}

void Tdm::GetDataTypeItems(int kind, QComboBox *list)
{
    // Read first: a failed statement leaves the list as it was.
    const QStringList items = GetDataTypeItems(kind);
    const QSignalBlocker blocker(list);
    const UpdatesSuspended suspended(list);
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(-1);
}

void Tdm::notifyConnectionReopened()
{
    m_tables = std::make_unique<Tables>(this);
    m_otherQuery.reset();
    Q_EMIT connectionReopened();
}

Tdm &dm()
{
    if (!s_instance)
        throw std::logic_error("the data module has not been created");
    return *s_instance;
}
