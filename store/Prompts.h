#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

// Every message box, input box and file dialog of the program goes through
// here. The real implementation shows Qt dialogs; tests install one that
// records what was asked and answers from a script.
class Prompts
{
public:
    virtual ~Prompts() = default;

    virtual QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                                const QString &text, QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton) = 0;
    // nullopt when the operator cancels.
    virtual std::optional<QString> inputText(QWidget *parent, const QString &title, const QString &label,
                                             const QString &defaultText) = 0;
    // Empty when the operator cancels.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter) = 0;

    // Shorthands over message().
    void information(QWidget *parent, const QString &title, const QString &text);
    void warning(QWidget *parent, const QString &title, const QString &text);
    void error(QWidget *parent, const QString &title, const QString &text);
    // OK/Cancel question; true for OK.
    bool confirm(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text);
};

// Shows real Qt dialogs.
class DialogPrompts : public Prompts
{
public:
    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    std::optional<QString> inputText(QWidget *parent, const QString &title, const QString &label,
                                     const QString &defaultText) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
};

// The prompts in force; DialogPrompts unless a test installed others.
Prompts &prompts();
// Installs p (not owned); nullptr restores the dialogs.
void setPrompts(Prompts *p);
