#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSqlQueryModel;
class QTableView;

// Districts: numbers and descriptions, added and deleted, never edited.
class TDistrictSetting_Form : public QDialog {
    Q_OBJECT
public:
    explicit TDistrictSetting_Form(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *Dn_Edit;
    QLineEdit *Notes_Edit;
    QTableView *DBGrid1;
    QPushButton *Add_Bt;
    QPushButton *Save_Bt;
    QPushButton *Delete_Bt;
    QSqlQueryModel *RoomInfo_ado;

    void Add_BtClick();
    void Dn_EditChange();
    void Save_BtClick();
    void Delete_BtClick();
    void DBGrid1CellClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void reload();
};
