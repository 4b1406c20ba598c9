#pragma once

#include "RoomListQuery.h"

#include <QDialog>
#include <QStringList>

#include <optional>
#include <vector>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStandardItemModel;
class QStatusBar;
class QTableView;
class TLanguage;

// The room picker: the hotel's rooms with their occupancy, filtered by
// building, floor and state; one or more rooms can be picked.
class TRoomList_Form : public QDialog {
    Q_OBJECT
public:
    explicit TRoomList_Form(QWidget *parent = nullptr);

    TLanguage *Language1 = nullptr;
    QGroupBox *RoomStatus_RadioGroup = nullptr;
    QRadioButton *FreeRooms_Radio = nullptr;
    QRadioButton *AllRooms_Radio = nullptr;
    QRadioButton *OccupiedRooms_Radio = nullptr;
    QComboBox *Buiding_CB = nullptr;
    QComboBox *Floor_CB = nullptr;
    QPushButton *Query_Bt = nullptr;
    QPushButton *Confirm_Bt = nullptr;
    QPushButton *Close_Bt = nullptr;
    QTableView *RoomInfo_DBGrid = nullptr;
    QLabel *RoomStr_Value = nullptr;
    QLabel *Buiding_Value = nullptr;
    QLabel *Floor_Value = nullptr;
    QLabel *State_Value = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *StatusPanel1 = nullptr;

    // The rows of the last query, in grid order.
    const std::vector<RoomListRow> &rows() const { return m_rows; }
    // RoomStr of the selected rows, in grid-row order.
    QStringList selectedRoomStrs() const;

public Q_SLOTS:
    void FindRoomList();
    void Query_BtClick();
    void RoomList_AdoAfterScroll();
    void RoomInfo_DBGridDblClick();

private:
    void FormCreate();
    RoomListFilter currentFilter() const;

    QStandardItemModel *m_model = nullptr;
    std::vector<RoomListRow> m_rows;
};

// Opens the picker modally; the picked rooms' RoomStr in grid order, nullopt on Cancel.
std::optional<QStringList> pickRooms(QWidget *parent);
