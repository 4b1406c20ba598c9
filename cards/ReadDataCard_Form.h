#pragma once

#include <QDialog>

#include <cstdint>

class QLabel;
class QPushButton;

// Reads the door-opening records of a data card or data collector into OpenDoorRecord.
class TReadDataCard_Form : public QDialog {
    Q_OBJECT
public:
    explicit TReadDataCard_Form(QWidget *parent = nullptr);

    QPushButton *ReadDataCard_Bt = nullptr;
    QLabel *Label1 = nullptr;

    void ReadDataCard_BtClick();
    void ShowPromptMessage(int16_t result);

protected:
    // The window has no key handling of its own: Esc does not close it.
    void keyPressEvent(QKeyEvent *event) override;
};
