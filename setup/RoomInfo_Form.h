#pragma once

#include "RoomNumbering.h"

#include <QDialog>
#include <QIcon>
#include <QSqlTableModel>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

// The rooms of the hotel as the rooms window shows them, in building, floor
// and room order. Only the door-plate and the room type are edited here, and
// the door-plate only while the window allows it.
class RoomInfoQuery : public QSqlTableModel {
    Q_OBJECT
public:
    RoomInfoQuery(QObject *parent, const QSqlDatabase &db);

    Qt::ItemFlags flags(const QModelIndex &index) const override;
    void setRoomStrEditable(bool on) { m_roomStrEditable = on; }
    bool roomStrEditable() const { return m_roomStrEditable; }
    // While a new room waits, only its row is edited; -1 for every row.
    void setEditableRow(int row) { m_editableRow = row; }

    void reload(); // throws DbError

protected:
    QString selectStatement() const override;

private:
    bool m_roomStrEditable = true;
    int m_editableRow = -1;
};

// Rooms: free numbers of a floor, new rooms made from them, door-plates and types.
class TRoomInfo_Form : public QDialog {
    Q_OBJECT
public:
    explicit TRoomInfo_Form(QWidget *parent = nullptr);
    ~TRoomInfo_Form() override;

    QListWidget *RoomInfo_LV;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *Building_Edit;
    QLineEdit *Floor_Edit;
    QPushButton *GenRoomNumber_Bt;
    QTableView *RoomInfo_Dbg;
    QPushButton *Ok_Bt;
    QPushButton *Delete_Bt;
    QPushButton *Exit_Bt;
    RoomInfoQuery *RoomInfo_ado;

    // The picture every free number shows.
    QIcon roomPicture() const { return m_roomPicture; }
    // Whether a new room (Insert) or an edited one (Edit) waits to be stored.
    bool isNewRoomPending() const { return m_pendingRow >= 0 && m_pendingNew; }
    bool isEditPending() const { return m_pendingRow >= 0 && !m_pendingNew; }
    int column(const char *name) const;

    void Building_EditChange();
    void GenRoomNumber();
    void RoomInfo_LVDblClick();
    void Ok_BtClick();
    void Delete_BtClick();
    void RoomInfo_DbgCellClick();

    void done(int result) override;

private:
    // Shows the two-digit form's message and moves the focus; "" then.
    QString twoDigits(QLineEdit *edit);
    // Lists the free numbers again after a store, without messages.
    void listAgain();
    void fillList(int building, int floor);
    void backToChoosing();
    void RoomInfo_DsStateChange();
    void rowChanged(int current, int previous);
    // Stores the waiting room; false when refused (the refusal is shown).
    bool storePending(bool inErrorBox);
    void reload();
    void FormClose();

    QIcon m_roomPicture;
    int m_pendingRow = -1;
    bool m_pendingNew = false;
    Rooms::NewRoom m_newRoom;
    bool m_filling = false;
    bool m_storing = false;
    bool m_closed = false;
};
