#include "DeskWindows.h"

#include "ClockRoom_Form.h"
#include "GuestQuickIn_Form.h"
#include "RoomList_Form.h"
#include "WindowRegistry.h"

#include <QLineEdit>

void registerCheckInWindows(WindowRegistry &registry)
{
    registry.add(
        QStringLiteral("CheckIn_Menu"),
        [](QWidget *parent, const OpenOptions &options) -> QDialog * {
            auto *form = new TGuestQuickIn_Form(parent);
            if (!options.roomStr.isEmpty())
                form->se_Room1->setText(options.roomStr);
            return form;
        },
        [](QDialog *window, const std::function<void(const QString &)> &grab) {
            auto *form = qobject_cast<TGuestQuickIn_Form *>(window);
            if (!form)
                return;
            form->ShowPromptMessage(1);
            grab(QStringLiteral("issued"));
        });
    registry.add(QStringLiteral("ClockRoom_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TClockRoom_Form(parent); });
    // The room status query shows the picker as a plain viewer: what is picked is not used.
    registry.add(QStringLiteral("CheckRoomStatus_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TRoomList_Form(parent); });
    registry.pickRooms = [](QWidget *parent) { return pickRooms(parent); };
}
