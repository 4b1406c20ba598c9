#include "PasswordChange.h"

#include "Operators.h"
#include "Sql.h"
#include "WriteTransaction.h"

PasswordChange::PasswordChange(const QSqlDatabase &db, const QString &login)
    : m_db(db)
    , m_login(login)
{
}

bool PasswordChange::checkCurrent(const QString &typed)
{
    m_checked = false;
    const std::optional<OperatorRow> row = findOperator(m_db, m_login);
    // An operator who never had a password has nothing to replace.
    if (!row || row->pass.isNull())
        return false;
    const QString trimmed = typed.trimmed();
    if (!verifyPassword(trimmed, row->pass) && (trimmed == typed || !verifyPassword(typed, row->pass)))
        return false;
    m_checked = true;
    m_id = row->id;
    m_storedPass = row->pass;
    return true;
}

PasswordChange::Result PasswordChange::change(const QString &newPassword, const QString &repeated)
{
    const QString wanted = newPassword.trimmed();
    if (wanted != repeated.trimmed())
        return Result::Mismatch;
    if (!m_checked)
        return Result::CurrentChanged;
    const QString hash = hashPassword(wanted);
    WriteTransaction tx(m_db);
    QSqlQuery query = Sql::exec(
        m_db, QStringLiteral("Update Operator Set Pass=? where ID=? and Pass=?"), { hash, m_id, m_storedPass });
    const bool changed = query.numRowsAffected() == 1;
    tx.commit();
    if (!changed) {
        m_checked = false;
        return Result::CurrentChanged;
    }
    m_storedPass = hash;
    return Result::Changed;
}
