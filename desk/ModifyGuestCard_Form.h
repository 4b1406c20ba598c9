#pragma once

#include <QDialog>

#include <cstdint>

class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;
class TLanguage;

// The extension window: the guest's card gives the room and the start, the
// operator sets a new end, the live stay and the card take it.
class TModifyGuestCard_Form : public QDialog {
    Q_OBJECT
public:
    explicit TModifyGuestCard_Form(QWidget *parent = nullptr);

    void Button1Click();
    void Confirm_BtClick();
    void Days_EditChange();
    void ED_GQI_DtpChange();
    void se_Room1Change();
    void ShowPromptMessage(int16_t code);

    QLineEdit *se_Room1 = nullptr;
    QPushButton *Button1 = nullptr;
    QLineEdit *Days_Edit = nullptr;
    QDateEdit *SD_GQI_Dtp = nullptr;
    QTimeEdit *ST_GQI_Dtp = nullptr;
    QDateEdit *ED_GQI_Dtp = nullptr;
    QTimeEdit *ET_GQI_Dtp = nullptr;
    QLineEdit *E_H_GQI = nullptr;
    QLineEdit *GuestCode_Edit = nullptr;
    QPushButton *Confirm_Bt = nullptr;
    QPushButton *Close_Bt = nullptr;
    QLabel *Prompt_Label = nullptr;

private:
    void FormCreate();
    // The end date picker set by the window itself, not as an operator edit.
    void setEndDate(const QDate &date);
    void moveEndDateByDays();

    TLanguage *Language1 = nullptr;
};
