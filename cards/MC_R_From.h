#pragma once

#include "CardJournalQuery.h"

#include <QDialog>
#include <QSqlQueryModel>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStatusBar;
class QTableView;
class TLanguage;

// The grid's rows: the journal statement's columns, date-times shown as text.
class CardJournalModel : public QSqlQueryModel {
    Q_OBJECT
public:
    using QSqlQueryModel::QSqlQueryModel;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
};

// Lists the card-issue journal for a range of issue days and one card type
// or all, and prunes rows older than two months.
class TMC_R_From : public QDialog {
    Q_OBJECT
public:
    explicit TMC_R_From(QWidget *parent = nullptr);

    // Columns of the journal statement the grid uses.
    enum Column {
        C_Title = 0,
        Rom = 1,
        Holder = 2,
        MakeName = 5,
        RoomStr = 7,
        InputTime = 8,
        StartTime = 11,
        EndTime = 12,
        Explain = 13,
    };

    QComboBox *CardType_CB;
    QDateEdit *DateStart_Dtp;
    QDateEdit *DateEnd_Dtp;
    QPushButton *Check_Bt;
    QPushButton *DeleteOldData_Bt;
    QPushButton *BitBtn2;
    QTableView *DBGrid1;
    QStatusBar *StatusBar1;
    QLabel *StatusPanels[3];
    CardJournalModel *MC_S_ADO;
    TLanguage *Language1 = nullptr;

    // The rows the last search found.
    int rowCount() const { return m_count; }

public Q_SLOTS:
    void Check_BtClick();
    void DeleteOldData_BtClick();

private:
    void FormCreate();
    void GetDataTypeItems(QComboBox *strings);
    void MakeCardRecordList();
    void MC_S_ADOAfterScroll();
    CardJournalFilter currentFilter() const;

    int m_count = 0;
};
