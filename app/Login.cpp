#include "Login.h"

#include "Sql.h"
#include "WriteTransaction.h"

#include <QRegularExpression>

bool hasOperators(const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db, QStringLiteral("SELECT ID FROM Operator ORDER BY ID"));
    const bool any = query.next();
    query.finish();
    return any;
}

int createFirstOperator(const QSqlDatabase &db, const QString &login, const QString &password)
{
    const QStringList &rights = operatorRightColumns();
    QStringList marks;
    QVariantList values { login, QString::fromUtf8("系统管理员"), hashPassword(password),
        QString::fromLatin1(MaskedPassword) };
    for (qsizetype i = 0; i < rights.size(); ++i) {
        marks << QStringLiteral("?");
        values << true;
    }
    WriteTransaction tx(db);
    Sql::exec(db,
        QStringLiteral("INSERT INTO Operator (Staffer, StafferName, Pass, Branch, ") + rights.join(QLatin1Char(','))
            + QStringLiteral(") VALUES (?, ?, ?, ?, ") + marks.join(QLatin1Char(',')) + QLatin1Char(')'),
        values);
    QSqlQuery query
        = Sql::exec(db, QStringLiteral("SELECT GroupID FROM Operator WHERE Staffer = ? ORDER BY ID DESC"), { login });
    const int groupId = query.next() ? query.value(0).toInt() : 0;
    query.finish();
    tx.commit();
    return groupId;
}

std::optional<OperatorRow> checkLogin(const QSqlDatabase &db, const QString &login, const QString &password)
{
    std::optional<OperatorRow> row = findOperator(db, login);
    if (!row || !verifyPassword(password, row->pass))
        return std::nullopt;
    if (!isPasswordHash(row->pass)) {
        row->pass = hashPassword(password);
        Sql::exec(db, QStringLiteral("UPDATE Operator SET Pass = ? WHERE ID = ?"), { row->pass, row->id });
    }
    return row;
}

std::optional<std::array<int16_t, 4>> systemPasswordWords(const QString &pass)
{
    static const QRegularExpression eightHex(QStringLiteral("^[0-9A-Fa-f]{8}$"));
    if (!eightHex.match(pass).hasMatch())
        return std::nullopt;
    std::array<int16_t, 4> words {};
    for (int i = 0; i < 4; ++i)
        words[i] = static_cast<int16_t>(pass.mid(2 * i, 2).toInt(nullptr, 16));
    return words;
}

QString systemPasswordText(const int16_t *words4)
{
    QString text;
    for (int i = 0; i < 4; ++i)
        text += QStringLiteral("%1").arg(static_cast<uint16_t>(words4[i]) & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    return text;
}
