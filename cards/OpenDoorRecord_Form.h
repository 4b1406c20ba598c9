#pragma once

#include "DoorRecordQuery.h"

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QStatusBar;
class QTableView;
class TLanguage;

// Shows the stored door-opening records of one room; deletes single records,
// prints the list and exports it as CSV.
class TOpenDoorRecord_Form : public QDialog {
    Q_OBJECT
public:
    explicit TOpenDoorRecord_Form(QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *Room_Edit = nullptr;
    QPushButton *RoomList_Bt = nullptr;
    QPushButton *Query_Bt = nullptr;
    QPushButton *BitBtn1 = nullptr;
    QPushButton *Print_Bt = nullptr;
    QPushButton *Export_Bt = nullptr;
    QPushButton *BitBtn3 = nullptr;
    QTableView *OpenDoorRecord_DBGrid = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel0 = nullptr;
    QLabel *StatusPanel1 = nullptr;
    TLanguage *Language1 = nullptr;

    void Query_BtClick();
    void RoomList_BtClick();
    void ClearRecord_BtClick();
    void Print_BtClick();
    void Export_BtClick();
    void ReadOpenDoorRecord_AdoAfterScroll();

    // The rows shown, in grid order; empty before the first search.
    const QList<DoorRecordRow> &rows() const { return m_rows; }
    bool searched() const { return m_searched; }
    int currentRow() const;

private:
    void showRows();
    void setCurrentRow(int row);

    QStandardItemModel *m_model = nullptr;
    QList<DoorRecordRow> m_rows;
    bool m_searched = false;
};
