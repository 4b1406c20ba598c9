#include "HotelFixture.h"

#include "Connection.h"
#include "Operators.h"
#include "Schema.h"
#include "Settings.h"
#include "Sql.h"

#include <QDir>
#include <QSqlError>
#include <QUuid>

#include <stdexcept>

namespace {

QSqlDatabase pgAdmin(const QString &name)
{
    QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
    admin.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
    admin.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
    admin.setUserName(qEnvironmentVariable("TARVANE_PG_SUPERUSER"));
    admin.setDatabaseName(QStringLiteral("postgres"));
    if (!admin.open())
        throw std::runtime_error(admin.lastError().text().toStdString());
    return admin;
}

void runOnAdmin(const QString &sql)
{
    const QString name = QStringLiteral("fixture-admin");
    {
        QSqlDatabase admin = pgAdmin(name);
        Sql::execDirect(admin, sql);
        admin.close();
    }
    QSqlDatabase::removeDatabase(name);
}

} // namespace

bool HotelFixture::postgresConfigured()
{
    return !qEnvironmentVariable("TARVANE_PG_HOST").isEmpty();
}

HotelFixture::HotelFixture(bool postgres)
    : m_dm(std::make_unique<Tdm>())
    , m_postgres(postgres)
{
    SystemSettings = TSystemSettings();
    SystemSettings.Recycle = 24;
    SystemSettings.DayCount = 1;
    SystemSettings.LeaveTime = QTime(12, 0);
    if (!postgres) {
        const QString path = m_env.programFile(QStringLiteral("db/lock.db"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        createEmbeddedDatabase(path);
        SystemSettings.ConnType = 0;
        m_open = openDatabase();
        return;
    }
    if (!postgresConfigured())
        return;
    m_pgName = QStringLiteral("hotel_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
    runOnAdmin(QStringLiteral("CREATE DATABASE %1 OWNER %2").arg(m_pgName, qEnvironmentVariable("TARVANE_PG_USER")));
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QString::fromLatin1(Tdm::ConnectionName));
    db.setHostName(qEnvironmentVariable("TARVANE_PG_HOST"));
    db.setPort(qEnvironmentVariableIntValue("TARVANE_PG_PORT"));
    db.setUserName(qEnvironmentVariable("TARVANE_PG_USER"));
    db.setPassword(qEnvironmentVariable("TARVANE_PG_PASSWORD"));
    db.setDatabaseName(m_pgName);
    if (!db.open())
        throw std::runtime_error(db.lastError().text().toStdString());
    configureConnection(db);
    createSchema(db);
    SystemSettings.ConnType = 1;
    m_open = true;
}

HotelFixture::~HotelFixture()
{
    m_dm.reset();
    if (!m_pgName.isEmpty()) {
        try {
            runOnAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(m_pgName));
        } catch (...) {
        }
    }
}

void HotelFixture::dropServerSessions() const
{
    runOnAdmin(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1' "
                              "AND pid <> pg_backend_pid()")
                   .arg(m_pgName));
}

QString HotelFixture::databaseFile() const
{
    return m_env.programFile(QStringLiteral("db/lock.db"));
}

void HotelFixture::addRoom(const QString &roomStr, int building, int floor, int number, int state)
{
    const QString systemRoomStr = QStringLiteral("%1%2%3")
                                      .arg(building, 2, 10, QLatin1Char('0'))
                                      .arg(floor, 2, 10, QLatin1Char('0'))
                                      .arg(number, 2, 10, QLatin1Char('0'));
    const int room = QStringLiteral("%1%2%3").arg(building).arg(floor).arg(number, 2, 10, QLatin1Char('0')).toInt();
    Sql::exec(db(),
        QStringLiteral("INSERT INTO RoomInfo (Room, RoomStr, SystemRoomStr, Buiding, Floor, RoomNumber, "
                       "RoomTypeStr, District, RoomState) VALUES (?,?,?,?,?,?,?,?,?)"),
        { room, roomStr, systemRoomStr, building, floor, number, QStringLiteral("T"), 1, state });
}

void HotelFixture::addStay(const QString &roomStr, bool closed)
{
    const QDateTime now = QDateTime::currentDateTime();
    Sql::exec(db(),
        QStringLiteral("INSERT INTO GuestInRecord (GuestName, Room, RoomStr, Rom, GuestInTime, GuestLeaveTime, "
                       "LeaveTime, enOverride, InputUser, MakeName) "
                       "SELECT 'Guest', Room, RoomStr, '00000000', ?, ?, ?, ?, 'admin', 'Admin' "
                       "FROM RoomInfo WHERE RoomStr = ?"),
        { Sql::dateTimeValue(now), Sql::dateTimeValue(now.addDays(1)),
            closed ? Sql::dateTimeValue(now) : Sql::dateTimeValue(QDateTime()), closed ? 1 : 0, roomStr });
}

void HotelFixture::addOperator(const QString &login, const QString &pass, const QStringList &rights)
{
    QVariantList values { login, QString(QStringLiteral("Name of ") + login), pass,
        QString::fromLatin1(MaskedPassword) };
    QStringList marks;
    for (const QString &right : operatorRightColumns()) {
        values << rights.contains(right);
        marks << QStringLiteral("?");
    }
    Sql::exec(db(),
        QStringLiteral("INSERT INTO Operator (Staffer, StafferName, Pass, Branch, ")
            + operatorRightColumns().join(QLatin1Char(',')) + QStringLiteral(") VALUES (?,?,?,?,")
            + marks.join(QLatin1Char(',')) + QLatin1Char(')'),
        values);
}

int HotelFixture::count(const QString &table) const
{
    QSqlQuery query = Sql::exec(db(), QStringLiteral("SELECT count(*) FROM ") + table);
    query.next();
    return query.value(0).toInt();
}
