#pragma once

#include <QDialog>

#include <cstdint>

class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TLanguage;

// Check-in: writes a guest card for a room and records the stay.
class TGuestQuickIn_Form : public QDialog {
    Q_OBJECT
public:
    explicit TGuestQuickIn_Form(QWidget *parent = nullptr);

    TLanguage *Language1 = nullptr;
    QGroupBox *Room_Group = nullptr;
    QGroupBox *Stay_Group = nullptr;
    QLineEdit *se_Room1 = nullptr;
    QPushButton *RoomList_Bt = nullptr;
    QLabel *F2_Label = nullptr;
    QLabel *Days_Label = nullptr;
    QLabel *DaysUnit_Label = nullptr;
    QLineEdit *Days_Edit = nullptr;
    QDateEdit *SD_GQI_Dtp = nullptr;
    QTimeEdit *ST_GQI_Dtp = nullptr;
    QDateEdit *ED_GQI_Dtp = nullptr;
    QTimeEdit *ET_GQI_Dtp = nullptr;
    QLineEdit *E_H_GQI = nullptr;
    QLineEdit *GuestCode_Edit = nullptr;
    QCheckBox *CB_eO_GQI = nullptr;
    QPushButton *Confirm_Bt = nullptr;
    QPushButton *Close_Bt = nullptr;
    QLabel *Prompt_Label = nullptr;

public Q_SLOTS:
    virtual void Days_EditChange();
    virtual void ED_GQI_DtpChange();
    void RoomList_BtClick();
    void Confirm_BtClick();
    virtual void ShowPromptMessage(int16_t code);

protected:
    enum class StayUnit { Days, Hours };
    // Builds the controls without setting them up; the caller runs its own FormCreate.
    TGuestQuickIn_Form(QWidget *parent, StayUnit unit);

    // Sets a picker from code: the operator's change handlers do not run.
    void setEndDate(const QDate &date);
    void setEndTime(const QTime &time);
    QDateTime shownStart() const;
    QDateTime shownEnd() const;

private:
    void FormCreate();
};
