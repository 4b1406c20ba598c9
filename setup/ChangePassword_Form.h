#pragma once

#include <QDialog>

#include <memory>

class PasswordChange;
class QLabel;
class QLineEdit;
class QPushButton;

// The logged-in operator changes his own password: the current one first,
// then the new one twice.
class TChangePassword_Form : public QDialog {
    Q_OBJECT
public:
    explicit TChangePassword_Form(QWidget *parent = nullptr);
    ~TChangePassword_Form() override;

    QLabel *Label1 = nullptr;
    QLineEdit *OldPassword_Edit = nullptr;
    QLabel *Label2 = nullptr;
    QLineEdit *NewPassword_Edit = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *RepeatNewPassword_Edit = nullptr;
    QPushButton *Ok_Bt = nullptr;

    // The first stage asks for the current password.
    bool isFirstStage() const;

public Q_SLOTS:
    void Ok_BtClick();

private:
    void checkCurrent();
    void storeNew();
    void showFirstStage();

    std::unique_ptr<PasswordChange> m_change;
};
