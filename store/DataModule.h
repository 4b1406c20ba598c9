#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>

#include <memory>

class QComboBox;
class QSqlTableModel;

// A table model's data source: the state of the row being edited, as the
// windows that append and edit rows through table objects see it.
class DataSource : public QObject
{
    Q_OBJECT
public:
    enum State { Inactive, Browse, Edit, Insert };
    Q_ENUM(State)

    DataSource(QSqlTableModel *model, QObject *parent = nullptr);

    QSqlTableModel *model() const { return m_model; }
    State state() const { return m_state; }
    int currentRow() const { return m_row; }

    void open(); // selects the table when not yet open; Browse
    void edit(int row);
    void append(); // a new row at the end, current, Insert
    // Stores the current row. False (and the row stays in its state) when the
    // before-post check refuses it; throws DbError when the database does.
    bool post();
    void cancel();

Q_SIGNALS:
    void stateChanged(DataSource::State state);

protected:
    // Runs before a row is stored; false cancels the store silently.
    virtual bool beforePost(int row);
    void setState(State state);

private:
    QSqlTableModel *m_model;
    State m_state = Inactive;
    int m_row = -1;
};

// The data module: the one connection of the program and what hangs on it.
class Tdm : public QObject
{
    Q_OBJECT
public:
    static constexpr auto ConnectionName = "conn";

    Tdm();
    ~Tdm() override;

    QSqlDatabase conn() const;
    // The shared query for one-off statements.
    QSqlQuery &other_adoq();

    // Table objects, opened (selected) on first use, manual submit.
    QSqlTableModel *Operator_ado();
    QSqlTableModel *RoomType_ado();
    QSqlTableModel *RoomState_ado();
    QSqlTableModel *Groups_ado();
    QSqlTableModel *MakeCardRecord_ado();
    DataSource *Operator_Ds();
    DataSource *RoomType_Ds();

    // Fills a list with column 0 of the kind's statement (4 buildings,
    // 5 floors, 6 districts), in the database's order; no change signal
    // fires while it is filled, and nothing is selected afterwards.
    void GetDataTypeItems(int kind, QComboBox *list);
    QStringList GetDataTypeItems(int kind);

    // Called after the connection was closed and opened again (restore):
    // drops the table objects and the shared query, then emits connectionReopened().
    void notifyConnectionReopened();

Q_SIGNALS:
    void connectionReopened();

private:
    struct Tables;
    std::unique_ptr<Tables> m_tables;
    std::unique_ptr<QSqlQuery> m_otherQuery;
};

// The data module of the run, created at start-up.
Tdm &dm();
