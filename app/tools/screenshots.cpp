// Renders every window of the program to PNG for review, on the demo hotel in
// the program folder it is given: the login window (also on a database
// without operators), the main window for both demo operators with each
// dropped menu and the board's context menu, and every registered window with
// the extra states its library drives it into. Message boxes are answered OK
// and written to messages.txt instead of being shown.
//
// Usage: tarvane-screenshots <program folder> <output folder>
#include "Connection.h"
#include "DataModule.h"
#include "Encoder.h"
#include "EncoderBinding.h"
#include "LogonForm.h"
#include "MainForm.h"
#include "Paths.h"
#include "ProgramWindows.h"
#include "Prompts.h"
#include "Settings.h"
#include "Sql.h"
#include "TarvaneApplication.h"
#include "Translation.h"
#include "WindowRegistry.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSqlDatabase>
#include <QTextStream>
#include <QTimer>

#include <sodium.h>

#include <cstdio>
#include <memory>

namespace {

// Answers every box with its default (or OK) and logs what was asked.
class AnsweringPrompts : public Prompts {
public:
    explicit AnsweringPrompts(const QString &logFile)
        : m_log(logFile)
    {
        (void)m_log.open(QIODevice::WriteOnly | QIODevice::Text);
    }

    QMessageBox::StandardButton message(QWidget *, QMessageBox::Icon, const QString &title, const QString &text,
        QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) override
    {
        log(title + QStringLiteral(": ") + text);
        if (defaultButton != QMessageBox::NoButton)
            return defaultButton;
        return buttons.testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    }
    std::optional<QString> inputText(
        QWidget *, const QString &title, const QString &label, const QString &defaultText) override
    {
        log(title + QStringLiteral(": ") + label);
        return defaultText;
    }
    QString openFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(QWidget *, const QString &, const QString &, const QString &) override { return {}; }

private:
    void log(const QString &line)
    {
        QTextStream(&m_log) << line << '\n';
        m_log.flush();
    }
    QFile m_log;
};

class Shooter {
public:
    explicit Shooter(const QString &outDir)
        : m_out(outDir)
    {
    }

    void settle() const
    {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    void save(QWidget *widget, const QString &name) const
    {
        settle();
        save(widget->grab(), name);
    }

    void save(const QPixmap &pixmap, const QString &name) const
    {
        const QString file = m_out.filePath(name + QStringLiteral(".png"));
        if (!pixmap.save(file))
            std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
        else
            std::printf("%s\n", qPrintable(file));
    }

    // A popup menu drawn over the window it drops from.
    void saveMenu(QWidget *window, QMenu *menu, const QPoint &at, const QString &name) const
    {
        menu->popup(window->mapToGlobal(at));
        settle();
        QPixmap picture = window->grab();
        {
            QPainter painter(&picture);
            painter.drawPixmap(window->mapFromGlobal(menu->pos()), menu->grab());
        }
        menu->hide();
        save(picture, name);
    }

private:
    QDir m_out;
};

bool logIn(const QString &login, const QString &password)
{
    TLogonForm logon;
    logon.LoginCode_Edit->setText(login);
    logon.SystemLogin_Pas->setText(password);
    logon.Ok_BtClick();
    return logon.result() == QDialog::Accepted;
}

void shootLogon(const Shooter &shooter)
{
    {
        TLogonForm logon;
        logon.show();
        shooter.save(&logon, logon.objectName());
    }
    // The first run: the same window on a hotel without operators.
    QSqlDatabase db = dm().conn();
    Sql::execDirect(db, QStringLiteral("BEGIN"));
    Sql::execDirect(db, QStringLiteral("DELETE FROM Operator"));
    {
        TLogonForm logon;
        logon.show();
        shooter.save(&logon, logon.objectName() + QStringLiteral("-firstrun"));
    }
    Sql::execDirect(db, QStringLiteral("ROLLBACK"));
}

std::unique_ptr<TMainForm> mainFormFor(const QString &login)
{
    if (!logIn(login, QStringLiteral("123456")))
        std::fprintf(stderr, "screenshots: %s cannot log in\n", qPrintable(login));
    auto form = std::make_unique<TMainForm>(
        TMainForm::EncoderPort { [] { return Encoder::MakeCardOpenPort(1); }, EncoderRegister });
    form->show();
    // Not maximised: the offscreen screen is smaller than a desk's.
    form->setWindowState(Qt::WindowNoState);
    form->resize(1280, 800);
    return form;
}

void shootMainForm(const Shooter &shooter, TMainForm *form, const QString &name)
{
    shooter.save(form, name);
    const QList<QAction *> menus = form->menuBar()->actions();
    for (QAction *entry : menus) {
        QMenu *menu = entry->menu();
        if (!menu)
            continue;
        const QRect place = form->menuBar()->actionGeometry(entry);
        shooter.saveMenu(form, menu, form->menuBar()->mapTo(form, place.bottomLeft()),
            name + QStringLiteral("-") + menu->objectName());
    }
    if (form->Room_ListView->count() > 0) {
        QListWidgetItem *item = form->Room_ListView->item(0);
        form->Room_ListView->setCurrentItem(item);
        form->PopupMenu1Popup();
        const QRect place = form->Room_ListView->visualItemRect(item);
        shooter.saveMenu(form, form->PopupMenu1, form->Room_ListView->mapTo(form, place.center()),
            name + QStringLiteral("-PopupMenu1"));
    }
}

void shootWindows(const Shooter &shooter, QWidget *parent)
{
    const WindowRegistry &registry = windowRegistry();
    for (const QString &key : registry.keys()) {
        const WindowRegistry::Entry *entry = registry.entry(key);
        const bool ran = runGuarded([&] {
            std::unique_ptr<QDialog> window(entry->factory(parent, OpenOptions {}));
            if (!window)
                return;
            window->show();
            const QString name = window->objectName().isEmpty() ? key : window->objectName();
            shooter.save(window.get(), name);
            if (entry->screenshotStates)
                entry->screenshotStates(window.get(),
                    [&](const QString &state) { shooter.save(window.get(), name + QStringLiteral("-") + state); });
            window->hide();
        });
        if (!ran)
            std::fprintf(stderr, "screenshots: %s failed\n", qPrintable(key));
    }
}

} // namespace

int main(int argc, char **argv)
{
    TarvaneApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvane-screenshots <program folder> <output folder>\n");
        return 2;
    }
    if (sodium_init() < 0)
        return 1;
    Paths::setProgramDir(QString::fromLocal8Bit(argv[1]));
    const QString outDir = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(outDir);

    AnsweringPrompts answers(QDir(outDir).filePath(QStringLiteral("messages.txt")));
    setPrompts(&answers);
    installTranslationHooks();

    Tdm dataModule;
    startupLoad();
    applyLanguageLocale(SystemSettings.LanguageID);
    if (!openDatabase()) {
        std::fprintf(stderr, "screenshots: the demo hotel does not open\n");
        return 1;
    }
    registerProgramWindows(windowRegistry());

    const Shooter shooter(outDir);
    shootLogon(shooter);
    {
        auto form = mainFormFor(QStringLiteral("qiantai"));
        shooter.save(form.get(), QStringLiteral("MainForm-qiantai"));
    }
    auto form = mainFormFor(QStringLiteral("admin"));
    shootMainForm(shooter, form.get(), form->objectName());
    shootWindows(shooter, form.get());
    setPrompts(nullptr);
    return 0;
}
