#pragma once

#include "Board.h"

#include <QHash>
#include <QIcon>
#include <QMainWindow>

#include <functional>

class QAction;
class QComboBox;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QTimer;
class QToolBar;
class QToolButton;

// The program's main window: the room board, the menus and tool buttons with
// the operator's rights, and the status bar.
class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // What the main window needs from the card encoder; the program passes
    // the encoder library's calls, tests may pass their own.
    struct EncoderPort {
        std::function<int16_t()> openPort; // MakeCardOpenPort(1)
        std::function<void(TMainForm *)> bind; // EncoderRegister
    };

    explicit TMainForm(EncoderPort encoder = {}, QWidget *parent = nullptr);
    ~TMainForm() override;

    QListWidget *Room_ListView = nullptr;
    QToolBar *CoolBar1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QPushButton *BoardRefresh_Bt = nullptr;
    QComboBox *BuildingFilter_Cb = nullptr;
    QComboBox *FloorFilter_Cb = nullptr;
    QTimer *Timer1 = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *CheckIn_MfPopMenu = nullptr;
    QAction *mi_GuestLeave = nullptr;
    QList<QIcon> Room_ImageList;

    int EncoderType = 0;

    QAction *action(const QString &name) const { return m_actions.value(name); }
    QString MessageText(int number) const;

    // The board's items in board order, with their picture.
    QList<BoardItem> boardItems() const;
    QStringList selectedRoomsInBoardOrder() const;

public Q_SLOTS:
    void SetRoom_LV();
    void Timer1Timer();
    void PopupMenu1Popup();
    void CheckIn_MfPopMenuClick();
    void mi_GuestLeaveClick();
    void InitMenu();
    void N39Click();
    void N40Click();
    void OprManual_MenuClick();
    void FAQ_MenuClick();
    void A_SysExitExecute();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const EncoderPort &encoder);
    // False when the statement failed (shown) or a rebuild is running.
    bool rebuildBoard(bool fromTimer = false);
    void buildMenus();
    void buildToolBar();
    void InitializeForm();
    void LoadICon();
    void openEntry(const QString &name);
    void setEntryEnabled(const QString &name, bool enabled);
    BoardFilter currentFilter() const;
    void setStatusText(int panel, const QString &text);

    QHash<QString, QAction *> m_actions;
    QHash<QString, QToolButton *> m_toolButtons;
    QList<class QLabel *> m_panels;
    bool m_rebuilding = false;
    bool m_timerFailureShown = false; // the timer's rebuild failed and said so
};
