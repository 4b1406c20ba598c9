#include "Operators.h"

#include "Sql.h"

#include <sodium.h>

#include <stdexcept>

const QStringList &operatorRightColumns()
{
    static const QStringList columns{
        QStringLiteral("CheckIn"),        QStringLiteral("CheckOut"),     QStringLiteral("ClearCard"),
        QStringLiteral("TimeCard"),       QStringLiteral("LostCard"),     QStringLiteral("EmergentCard"),
        QStringLiteral("MasterCard"),     QStringLiteral("BuildingCard"), QStringLiteral("FloorCard"),
        QStringLiteral("DistrictCard"),   QStringLiteral("SystemInfo"),   QStringLiteral("OperatorManage"),
        QStringLiteral("DataCard"),       QStringLiteral("RoomType"),     QStringLiteral("RoomInfo"),
        QStringLiteral("DistrictInfo"),
    };
    return columns;
}

bool OperatorRow::right(const QString &column) const
{
    const qsizetype i = operatorRightColumns().indexOf(column);
    return i >= 0 && i < rights.size() && rights.at(i);
}

std::optional<OperatorRow> findOperator(const QSqlDatabase &db, const QString &login)
{
    static const QString sql = QStringLiteral("SELECT ID, Staffer, StafferName, Pass, Branch, GroupID, ")
                               + operatorRightColumns().join(QStringLiteral(", "))
                               + QStringLiteral(" FROM Operator WHERE lower(Staffer) = lower(?) ORDER BY ID");
    QSqlQuery query = Sql::exec(db, sql, {login});
    if (!query.next())
        return std::nullopt;
    OperatorRow row;
    row.id = query.value(0).toInt();
    row.staffer = query.value(1).toString();
    row.stafferName = query.value(2).toString();
    row.pass = query.value(3).toString();
    row.branch = query.value(4).toString();
    row.groupId = query.value(5).isNull() ? 0 : query.value(5).toInt();
    for (int i = 0; i < operatorRightColumns().size(); ++i)
        row.rights << query.value(6 + i).toBool();
    query.finish();
    return row;
}

namespace {
void initSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw std::runtime_error("libsodium could not be initialised");
}
} // namespace

QString hashPassword(const QString &password)
{
    initSodium();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        throw std::runtime_error("out of memory while hashing a password");
    return QString::fromLatin1(out);
}

bool isPasswordHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

bool verifyPassword(const QString &typed, const QString &stored)
{
    if (!isPasswordHash(stored))
        return typed == stored;
    initSodium();
    const QByteArray hash = stored.toLatin1();
    const QByteArray utf8 = typed.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size()))
           == 0;
}
