#include "CardsWindows.h"

#include "DataModule.h"
#include "OpenDoorRecord_Form.h"
#include "ReadDataCard_Form.h"
#include "Sql.h"
#include "WindowRegistry.h"
#include "WriteTransaction.h"

#include <QLineEdit>

namespace {

// The browser with rows: a room's stored records, or on a hotel without any a
// few sample records that are rolled back afterwards.
void browserWithRows(QDialog *window, const std::function<void(const QString &)> &grab)
{
    auto *form = qobject_cast<TOpenDoorRecord_Form *>(window);
    if (!form)
        return;
    const QSqlDatabase db = dm().conn();
    WriteTransaction samples(db);
    QSqlQuery stored = Sql::exec(db, QStringLiteral("Select RoomStr From OpenDoorRecord Order By RecID"));
    QString roomStr;
    if (stored.next()) {
        roomStr = stored.value(0).toString();
    } else {
        QSqlQuery room = Sql::exec(db, QStringLiteral("Select RoomStr From RoomInfo Order By RoomStr"));
        roomStr = room.next() ? room.value(0).toString() : QStringLiteral("8101");
        const char *holders[] = { "张三", "李四", "王五", "None" };
        for (int i = 0; i < 8; ++i) {
            Sql::exec(db,
                QStringLiteral("Insert Into OpenDoorRecord (RoomStr, Rom, OpenTime, CardType, CardTypeStr, "
                               "CardHolderStr, MakeName) Values (?, ?, ?, ?, ?, ?, ?)"),
                { roomStr,
                    QStringLiteral("%1%2")
                        .arg(i % 3 == 0 ? QStringLiteral("0A") : QStringLiteral("00"))
                        .arg(300 + i, 6, 16, QLatin1Char('0'))
                        .toUpper(),
                    QStringLiteral("2024-03-05 %1:%2:00")
                        .arg(8 + i, 2, 10, QLatin1Char('0'))
                        .arg(i * 7 % 60, 2, 10, QLatin1Char('0')),
                    i % 3 == 0 ? 10 : 4, QString::fromUtf8(i % 3 == 0 ? "总控卡" : "客人卡"),
                    QString::fromUtf8(holders[i % 4]), QString::fromUtf8("管理员") });
        }
    }
    form->Room_Edit->setText(roomStr);
    form->Query_BtClick();
    grab(QStringLiteral("rows"));
    form->Room_Edit->clear();
}

} // namespace

void registerDoorRecordWindows(WindowRegistry &registry)
{
    registry.add(QStringLiteral("ReadDataCard_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TReadDataCard_Form(parent); });
    registry.add(
        QStringLiteral("CheckOpenRecord_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TOpenDoorRecord_Form(parent); },
        browserWithRows);
}
