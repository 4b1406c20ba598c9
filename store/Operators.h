#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <optional>

// Operator rows: who may log in, and what they may do.

// The sixteen right columns of Operator, in table order.
const QStringList &operatorRightColumns();

struct OperatorRow
{
    int id = 0;
    QString staffer;
    QString stafferName;
    QString pass; // an argon2id hash, or a legacy plain password
    QString branch;
    int groupId = 0; // 0 when the column has no value
    QList<bool> rights; // in operatorRightColumns() order
    bool right(const QString &column) const;
};

// The first operator by ID whose login name matches without regard to case.
// Throws DbError.
std::optional<OperatorRow> findOperator(const QSqlDatabase &db, const QString &login);

// An argon2id hash of the password, as stored in Operator.Pass.
QString hashPassword(const QString &password);
// True when typed matches stored: a hash, or a legacy plain password
// compared exactly.
bool verifyPassword(const QString &typed, const QString &stored);
bool isPasswordHash(const QString &stored);

// Masked password the operator list shows once an operator has a password.
inline constexpr auto MaskedPassword = "********************";
