#include "TarvaneApplication.h"

#include "DbError.h"
#include "Prompts.h"

#include <QApplication>

void showError(const QString &text)
{
    prompts().message(QApplication::activeWindow(), QMessageBox::Critical, QString::fromUtf8(ApplicationTitle), text,
                      QMessageBox::Ok, QMessageBox::Ok);
}

void showCurrentException() noexcept
{
    try {
        try {
            throw;
        } catch (const DbError &e) {
            showError(e.text());
        } catch (const std::exception &e) {
            showError(QString::fromUtf8(e.what()));
        } catch (...) {
            showError(QStringLiteral("Unknown error"));
        }
    } catch (...) {
        // Showing the box itself failed; nothing more can be done here.
    }
}

TarvaneApplication::TarvaneApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tarvane"));
}

bool TarvaneApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showCurrentException();
        return false;
    }
}
