#pragma once

#include "DataModule.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// Room types: title, beds and price, on the data module's shared table object.
class TRoomType_Form : public QDialog {
    Q_OBJECT
public:
    explicit TRoomType_Form(QWidget *parent = nullptr);
    ~TRoomType_Form() override;

    enum class Mode { Adding, Editing };
    Mode mode() const { return m_mode; }

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    QLabel *Label4;
    QLineEdit *RoomType_Edit;
    QLineEdit *MaxCounts_Edit;
    QLineEdit *Price_Edit;
    QTableView *RoomType_DBGrid;
    QPushButton *Add_Bt;
    QPushButton *Save_Bt;
    QPushButton *Edit_Bt;
    QPushButton *Delete_Bt;

    void Add_BtClick();
    void Edit_BtClick();
    void Save_BtClick();
    void Delete_BtClick();
    void RoomType_DBGridCellClick();
    void RoomType_EditChange();
    void RoomType_DsStateChange(DataSource::State state);

    void done(int result) override;

private:
    void setEditsEnabled(bool on);
    int currentRow() const;
    void makeFirstRowCurrent();
    void FormClose();

    DataSource *m_ds;
    Mode m_mode = Mode::Adding;
    bool m_closed = false;
};
