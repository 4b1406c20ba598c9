// Builds a small demo hotel for trying the program: two buildings, room
// types, districts, a few rooms under repair, three live stays with their
// cards in the journal, and two operators (admin and qiantai, password
// 123456). The file is made beside the target and renamed into place, so a
// half-made hotel never takes the target's name.
#include "Connection.h"
#include "Identifiers.h"
#include "Operators.h"
#include "Schema.h"
#include "Sql.h"
#include "WriteTransaction.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

#include <cstdio>
#include <exception>

namespace {

QString u(const char *text)
{
    return QString::fromUtf8(text);
}

struct DemoStay {
    QString roomStr;
    QString guest;
    QString guestId;
    int daysAgo;
    int days;
};

void insertOperator(const QSqlDatabase &db, const QString &login, const QString &name, const QStringList &granted)
{
    const QStringList &rights = operatorRightColumns();
    QVariantList values { login, name, hashPassword(QStringLiteral("123456")), QString::fromLatin1(MaskedPassword), 0 };
    QStringList marks;
    for (const QString &right : rights) {
        values << granted.contains(right);
        marks << QStringLiteral("?");
    }
    Sql::exec(db,
        QStringLiteral("INSERT INTO Operator (Staffer, StafferName, Pass, Branch, GroupID, ")
            + rights.join(QLatin1Char(',')) + QStringLiteral(") VALUES (?,?,?,?,?,") + marks.join(QLatin1Char(','))
            + QLatin1Char(')'),
        values);
}

void fill(const QSqlDatabase &db)
{
    WriteTransaction tx(db);
    const QStringList types { u("标准间"), u("大床房"), u("套房") };
    const double prices[] = { 198, 238, 468 };
    const int beds[] = { 2, 1, 2 };
    for (int i = 0; i < types.size(); ++i)
        Sql::exec(db, QStringLiteral("INSERT INTO RoomType (Title, Size, Piece) VALUES (?, ?, ?)"),
            { types[i], beds[i], prices[i] });
    Sql::exec(db, QStringLiteral("INSERT INTO District (DistrictNumber, Notes) VALUES (1, ?)"), { u("一号楼") });
    Sql::exec(db, QStringLiteral("INSERT INTO District (DistrictNumber, Notes) VALUES (2, ?)"), { u("二号楼") });

    // Building 1: three floors of seven rooms; building 2: two floors of ten.
    const struct {
        int building, floors, rooms;
    } buildings[] = { { 1, 3, 7 }, { 2, 2, 10 } };
    const QStringList underRepair { QStringLiteral("1105"), QStringLiteral("1203"), QStringLiteral("2107") };
    for (const auto &b : buildings) {
        for (int floor = 1; floor <= b.floors; ++floor) {
            for (int number = 1; number <= b.rooms; ++number) {
                const QString roomStr
                    = QStringLiteral("%1%2%3").arg(b.building).arg(floor).arg(number, 2, 10, QLatin1Char('0'));
                const QString building = QString::number(b.building);
                const QString floorText = QString::number(floor);
                const QString type = number == b.rooms ? types[2] : types[number % 2];
                Sql::exec(db,
                    QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, "
                                   "RoomNumber, RoomTypeStr, District, RoomState) VALUES (?,?,?,?,?,?,?,?,?)"),
                    { Room(building, floorText, number).value_or(0), roomStr,
                        SystemRoomStr(building, floorText, number), b.building, floor, number, type, b.building,
                        underRepair.contains(roomStr) ? 1 : 0 });
            }
        }
    }

    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime today(now.date(), QTime(now.time().hour(), now.time().minute()));
    const QList<DemoStay> stays {
        { QStringLiteral("1102"), u("张伟"), QStringLiteral("110101199001011234"), 1, 2 },
        { QStringLiteral("1203"), u("李娜"), QStringLiteral("310101198505052345"), 0, 1 },
        { QStringLiteral("2104"), u("王芳"), QStringLiteral("440101199210103456"), 2, 3 },
    };
    for (const DemoStay &stay : stays) {
        const CardNumber number = ReadRoomCardSn(stay.roomStr, db);
        const QString cardText = CardNoText(number.data());
        const QString systemRoomStr = LookupSystemRoomStr(LookupRoomBlock(stay.roomStr, db), db);
        const QDateTime start = today.addDays(-stay.daysAgo);
        const QDateTime end(start.date().addDays(stay.days), QTime(12, 0));
        Sql::exec(db,
            QStringLiteral("INSERT INTO GuestInRecord (GuestName, GuestID, Room, RoomStr, Rom, GuestInTime, "
                           "GuestLeaveTime, enOverride, InputUser, InputTime, MakeName, CardCounts) "
                           "VALUES (?,?,?,?,?,?,?,0,?,?,?,1)"),
            { stay.guest, stay.guestId, LookupRoom(stay.roomStr, db), stay.roomStr, cardText, Sql::dateTimeValue(start),
                Sql::dateTimeValue(end), QStringLiteral("admin"), Sql::dateTimeValue(start), u("系统管理员") });
        Sql::exec(db,
            QStringLiteral("INSERT INTO MakeCardRecord (CardType, Rom, RoomStr, Holder, Explain, MakeUser, "
                           "MakeName, StartTime, EndTime, enOverride, InputTime) VALUES (4,?,?,?,'',?,?,?,?,1,?)"),
            { QString(systemRoomStr + cardText), stay.roomStr, stay.guest, QStringLiteral("admin"), u("系统管理员"),
                Sql::dateTimeValue(start), Sql::dateTimeValue(end), Sql::dateTimeValue(start) });
        AdvanceRoomCardSn(stay.roomStr, db);
    }

    insertOperator(db, QStringLiteral("admin"), u("系统管理员"), operatorRightColumns());
    insertOperator(db, QStringLiteral("qiantai"), u("前台"), { QStringLiteral("CheckIn"), QStringLiteral("CheckOut") });
    tx.commit();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makedemo FILE\n");
        return 2;
    }
    const QString target = QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath();
    if (QFileInfo::exists(target)) {
        std::fprintf(stderr, "makedemo: %s exists; it is left as it is\n", argv[1]);
        return 1;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    const QString work = target + QStringLiteral(".demo");
    QFile::remove(work);
    try {
        createEmbeddedDatabase(work);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo"));
            db.setDatabaseName(work);
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            configureConnection(db);
            fill(db);
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("demo"));
        QFile::remove(work + QStringLiteral("-wal"));
        QFile::remove(work + QStringLiteral("-shm"));
        if (!QFile::rename(work, target))
            throw std::runtime_error("cannot rename the demo hotel into place");
    } catch (const std::exception &e) {
        QFile::remove(work);
        std::fprintf(stderr, "makedemo: %s\n", e.what());
        return 1;
    }
    std::printf("Demo hotel written to %s\n", argv[1]);
    return 0;
}
