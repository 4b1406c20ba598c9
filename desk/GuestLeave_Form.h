#pragma once

#include <QDialog>
#include <QObject>

class QPushButton;
class QStandardItemModel;
class QTableView;

// Sees the key presses of one window before its controls do: Esc closes the
// window. Owned by the window.
class CloseOnEscape : public QObject {
public:
    explicit CloseOnEscape(QDialog *window);
    ~CloseOnEscape() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QDialog *m_window;
};

// The check-out window: the live stays, checked out one at a time.
class TGuestLeave_Form : public QDialog {
    Q_OBJECT
public:
    explicit TGuestLeave_Form(QWidget *parent = nullptr);

    void FindGuestInData();
    void NoCardConfirm_BtClick();

    QTableView *GuestInRecord_DBGrid = nullptr;
    QPushButton *NoCardConfirm_Bt = nullptr;
    QPushButton *Close_Bt = nullptr;

private:
    void FormCreate();

    QStandardItemModel *GL_ADO = nullptr;
};
