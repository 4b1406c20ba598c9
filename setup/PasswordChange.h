#pragma once

#include <QSqlDatabase>
#include <QString>

// The logged-in operator replaces his own password: the current one is
// checked first, then the new one is written only over the very password
// that was checked.
class PasswordChange {
public:
    PasswordChange(const QSqlDatabase &db, const QString &login);

    // True when typed (without its outer blanks, or else exactly as typed)
    // is the password of the operator whose login name matches in any case;
    // his row's ID and stored password are kept for change(). Throws DbError.
    [[nodiscard]] bool checkCurrent(const QString &typed);
    bool isChecked() const { return m_checked; }

    enum class Result {
        Changed,
        Mismatch, // the two new passwords differ (nothing written)
        CurrentChanged, // the password was changed elsewhere since the check
    };
    // Compares both entries without their outer blanks; equal ones (two
    // empty ones too) are stored hashed. CurrentChanged forgets the check.
    // Throws DbError.
    [[nodiscard]] Result change(const QString &newPassword, const QString &repeated);

private:
    QSqlDatabase m_db;
    QString m_login;
    bool m_checked = false;
    int m_id = 0;
    QString m_storedPass;
};
