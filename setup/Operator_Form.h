#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QPushButton;
class QSqlTableModel;
class QTableView;

// Operators and their rights: adds operators, gives a new operator his first
// password, deletes operators while one administrator remains. Names, rights
// and set passwords of existing operators are never changed here.
class TOperator_Form : public QDialog {
    Q_OBJECT
public:
    explicit TOperator_Form(QWidget *parent = nullptr);

    QTableView *EmployeeInfo_DBGrid = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *StafferName_Edit = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *User_Edit = nullptr;
    QPushButton *Add_BT = nullptr;
    QPushButton *Save_Bt = nullptr;
    QPushButton *Delete_Bt = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *Pass1_Edit = nullptr;
    QPushButton *PassOk_Bt = nullptr;
    QGroupBox *QuanXian_Gb = nullptr;
    QCheckBox *SelectAll_CB = nullptr;
    // In operatorRightColumns() order.
    QList<QCheckBox *> rightBoxes;

public Q_SLOTS:
    void Add_BTClick();
    void User_EditChange();
    void SelectAll_CBClick();
    void EmployeeInfo_DBGridCellClick(const QModelIndex &index);
    void Save_BtClick();
    void PassOk_BtClick();
    void Delete_BtClick();

private:
    void FormCreate();
    QSqlTableModel *table() const;
    void reload();
    void clearRights();

    int m_currentId = 0; // the operator whose row was clicked last; 0 for none
};
