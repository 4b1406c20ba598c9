#include "DoorRecordQuery.h"

#include "Sql.h"

namespace DoorRecords {

QList<DoorRecordRow> find(const QString &roomStr, const QSqlDatabase &db)
{
    QSqlQuery query = Sql::exec(db,
        QStringLiteral("Select RecID, RoomStr, Rom, OpenTime, CardType, CardTypeStr, CardHolderStr, MakeName "
                       "From OpenDoorRecord Where RoomStr=? Order By RecID"),
        { roomStr.isNull() ? QStringLiteral("") : roomStr });
    QList<DoorRecordRow> rows;
    while (query.next()) {
        DoorRecordRow row;
        row.recId = query.value(0).toLongLong();
        row.roomStr = query.value(1).toString();
        row.rom = query.value(2).toString();
        row.openTime = Sql::readDateTime(query.value(3));
        row.cardType = query.value(4).toInt();
        row.cardTypeStr = query.value(5).toString();
        row.cardHolderStr = query.value(6).toString();
        row.makeName = query.value(7).toString();
        rows.append(row);
    }
    return rows;
}

void remove(qint64 recId, const QSqlDatabase &db)
{
    Sql::exec(db, QStringLiteral("Delete From OpenDoorRecord Where RecID=?"), { recId });
}

QString timeText(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

QStringList columnNames()
{
    return { QStringLiteral("RoomStr"), QStringLiteral("Rom"), QStringLiteral("OpenTime"), QStringLiteral("CardType"),
        QStringLiteral("CardTypeStr"), QStringLiteral("CardHolderStr"), QStringLiteral("MakeName"),
        QStringLiteral("RecID") };
}

QStringList columnTitles()
{
    return { QString(), QString::fromUtf8("卡号"), QString::fromUtf8("开门时间"), QString(),
        QString::fromUtf8("卡类型"), QString::fromUtf8("持卡人"), QString::fromUtf8("发卡人"), QString() };
}

QStringList cells(const DoorRecordRow &row)
{
    return { row.roomStr, row.rom, timeText(row.openTime), QString::number(row.cardType), row.cardTypeStr,
        row.cardHolderStr, row.makeName, QString::number(row.recId) };
}

} // namespace DoorRecords
