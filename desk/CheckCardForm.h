#pragma once

#include <QDialog>

#include <cstdint>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

// The card window: reads the card on the encoder and shows what it carries;
// with the cancel button offered, also cancels it.
class TCheckCardForm : public QDialog {
    Q_OBJECT
public:
    explicit TCheckCardForm(QWidget *parent = nullptr, bool showCancel = true);

    void ReadCard_BtClick();
    void Register_BtClick();
    void ShowPromptMessage(int16_t code);

    QLineEdit *CardType_Edit = nullptr;
    QLineEdit *District_Edit = nullptr;
    QLineEdit *StartTime_Edit = nullptr;
    QLineEdit *Building_Edit = nullptr;
    QLineEdit *EndTime_Edit = nullptr;
    QLineEdit *Floor_Edit = nullptr;
    QWidget *Override_RG = nullptr;
    QRadioButton *OverrideYes_Rb = nullptr;
    QRadioButton *OverrideNo_Rb = nullptr;
    QLineEdit *RoomNo_Edit = nullptr;
    QPushButton *ReadCard_Bt = nullptr;
    QPushButton *Register_Bt = nullptr;
    QPushButton *Close_Bt = nullptr;
    QLabel *Prompt_Label = nullptr;

private:
    void FormCreate();
    void clearOverrideChoice();

    QButtonGroup *m_overrideGroup = nullptr;
};
