#include "Prompts.h"

#include <QFileDialog>
#include <QInputDialog>

void Prompts::information(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, QMessageBox::Information, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompts::warning(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, QMessageBox::Warning, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Prompts::error(QWidget *parent, const QString &title, const QString &text)
{
    message(parent, QMessageBox::Critical, title, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool Prompts::confirm(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    return message(parent, icon, title, text, QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok)
           == QMessageBox::Ok;
}

QMessageBox::StandardButton DialogPrompts::message(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                                   const QString &text, QMessageBox::StandardButtons buttons,
                                                   QMessageBox::StandardButton defaultButton)
{
    QMessageBox box(icon, title, text, buttons, parent);
    box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

std::optional<QString> DialogPrompts::inputText(QWidget *parent, const QString &title, const QString &label,
                                                const QString &defaultText)
{
    bool ok = false;
    const QString text = QInputDialog::getText(parent, title, label, QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString DialogPrompts::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString DialogPrompts::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                    const QString &filter)
{
    // The program decides itself what happens to an existing file.
    return QFileDialog::getSaveFileName(parent, caption, dir, filter, nullptr, QFileDialog::DontConfirmOverwrite);
}

namespace {
DialogPrompts dialogPrompts;
Prompts *current = nullptr;
} // namespace

Prompts &prompts()
{
    return current ? *current : dialogPrompts;
}

void setPrompts(Prompts *p)
{
    current = p;
}
