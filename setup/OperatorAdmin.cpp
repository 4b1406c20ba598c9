#include "OperatorAdmin.h"

#include "DbError.h"
#include "Operators.h"
#include "Sql.h"
#include "WriteTransaction.h"

OperatorAdmin::OperatorAdmin(const QSqlDatabase &db)
    : m_db(db)
{
}

OperatorAdmin::AddResult OperatorAdmin::add(const NewOperator &op) const
{
    const QStringList &columns = operatorRightColumns();
    QVariantList values { op.staffer, op.stafferName };
    QStringList marks { QStringLiteral("?"), QStringLiteral("?") };
    for (qsizetype i = 0; i < columns.size(); ++i) {
        values << (i < op.rights.size() && op.rights.at(i));
        marks << QStringLiteral("?");
    }
    const QString sql = QStringLiteral("INSERT INTO Operator (Staffer, StafferName, ") + columns.join(QLatin1Char(','))
        + QStringLiteral(") VALUES (") + marks.join(QLatin1Char(',')) + QLatin1Char(')');
    WriteTransaction tx(m_db);
    try {
        Sql::exec(m_db, sql, values);
    } catch (const DbError &error) {
        // The unique index on the lower-case login name is the one judge of
        // a repeated name; the guard rolls the refused insert back.
        if (error.isUniqueViolation())
            return AddResult::NameTaken;
        throw;
    }
    tx.commit();
    return AddResult::Added;
}

bool OperatorAdmin::setFirstPassword(int id, const QString &password) const
{
    const QString masked = QString::fromLatin1(MaskedPassword);
    const QString hash = hashPassword(password);
    WriteTransaction tx(m_db);
    QSqlQuery query = Sql::exec(m_db,
        QStringLiteral("UPDATE Operator SET Pass = ?, Branch = ? "
                       "WHERE ID = ? AND (Branch IS NULL OR Branch <> ?)"),
        { hash, masked, id, masked });
    const bool changed = query.numRowsAffected() > 0;
    tx.commit();
    return changed;
}

OperatorAdmin::DeleteResult OperatorAdmin::remove(int id) const
{
    WriteTransaction tx(m_db);
    // On SQLite the transaction began IMMEDIATE and holds the file's write
    // lock; on the server the administrators' rows are locked instead, so a
    // second desk counts only after the first one's delete is committed.
    const QString countSql = Sql::isPostgres(m_db)
        ? QStringLiteral("SELECT ID FROM Operator WHERE OperatorManage FOR UPDATE")
        : QStringLiteral("SELECT ID FROM Operator WHERE OperatorManage");
    QSqlQuery admins = Sql::exec(m_db, countSql);
    int adminCount = 0;
    while (admins.next())
        ++adminCount;
    admins.finish();

    QSqlQuery row = Sql::exec(m_db, QStringLiteral("SELECT OperatorManage FROM Operator WHERE ID = ?"), { id });
    if (!row.next())
        return DeleteResult::Missing;
    const bool isAdministrator = row.value(0).toBool();
    row.finish();
    if (isAdministrator && adminCount < 2)
        return DeleteResult::LastAdministrator;

    Sql::exec(m_db, QStringLiteral("DELETE FROM Operator WHERE ID = ?"), { id });
    tx.commit();
    return DeleteResult::Deleted;
}
