#pragma once

#include "Settings.h"

#include <QDialog>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// Basic settings: hotel name, default stay, default check-out time, and the
// hidden room-code switch and lock technology. A save ends the program, so
// the new values take effect at the next start.
class TSystemInfo_Form : public QDialog {
    Q_OBJECT
public:
    explicit TSystemInfo_Form(QWidget *parent = nullptr);

    // Index of the checked lock technology, -1 when none is.
    int lockTypeIndex() const;

private Q_SLOTS:
    void Button1Click(); // save
    void Button2Click(); // show the records' values again
    void Button3Click(); // close unsaved

private:
    void showValues();

    TLock_Info m_lockInfo;

    QLabel *Label1;
    QLineEdit *HotelName_Edit;
    QLabel *Label2;
    QLineEdit *LeaveTime_Edit;
    QLabel *Label3;
    QSpinBox *DayCount_SE;
    QGroupBox *LockType;
    QButtonGroup *m_lockTypeButtons;
    QCheckBox *UseRoomID_CB;
    QPushButton *Button1;
    QPushButton *Button2;
    QPushButton *Button3;
};
