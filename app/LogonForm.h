#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The login window; on a database without operators it creates the first.
class TLogonForm : public QDialog {
    Q_OBJECT
public:
    explicit TLogonForm(QWidget *parent = nullptr);

    QLabel *Title_Label = nullptr;
    QLabel *FirstRun_Label = nullptr;
    QLabel *Operator_Label = nullptr;
    QLabel *Pass_Label = nullptr;
    QLineEdit *LoginCode_Edit = nullptr;
    QLineEdit *SystemLogin_Pas = nullptr;
    QPushButton *Ok_Bt = nullptr;

    bool isFirstRun() const { return m_firstRun; }

public Q_SLOTS:
    void Ok_BtClick();

private:
    void FormCreate();
    void firstRunOk();
    void loginOk();

    bool m_firstRun = false;
};
