#include "CardsWindows.h"

#include "DataModule.h"
#include "OpenDoorRecord_Form.h"
#include "ReadDataCard_Form.h"
#include "Sql.h"
#include "WindowRegistry.h"
#include "WriteTransaction.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>

#include <memory>

namespace {

// The print preview is a window of the printing library: its picture is taken
// while it shows, then laid over the browser for the grab.
void grabPreview(TOpenDoorRecord_Form *form, const std::function<void(const QString &)> &grab)
{
    QPixmap picture;
    int ticks = 0;
    QTimer poll;
    poll.setInterval(50);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == form || !modal->inherits("QPrintPreviewDialog"))
            return;
        // A few ticks more, so that the pages are laid out.
        if (++ticks < 6)
            return;
        poll.stop();
        modal->resize(900, 1000);
        QApplication::processEvents();
        picture = modal->grab();
        modal->close();
    });
    poll.start();
    form->Print_BtClick();
    poll.stop();
    if (picture.isNull())
        return;
    const QSize size = form->size();
    form->resize(picture.size());
    auto shot = std::make_unique<QLabel>(form);
    shot->setPixmap(picture);
    shot->setGeometry(QRect(QPoint(0, 0), picture.size()));
    shot->show();
    shot->raise();
    grab(QStringLiteral("preview"));
    shot.reset();
    form->resize(size);
}

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
    grabPreview(form, grab);
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
