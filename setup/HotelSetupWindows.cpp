#include "SetupWindows.h"

#include "DistrictSetting_Form.h"
#include "RoomInfo_Form.h"
#include "RoomType_Form.h"
#include "WindowRegistry.h"

#include <QLineEdit>

void registerHotelSetupWindows(WindowRegistry &registry)
{
    registry.add(QStringLiteral("RoomType_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TRoomType_Form(parent); });
    registry.add(
        QStringLiteral("RoomSetting_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TRoomInfo_Form(parent); },
        [](QDialog *window, const std::function<void(const QString &)> &grab) {
            // The free numbers of the first floor of the first building.
            auto *form = static_cast<TRoomInfo_Form *>(window);
            form->Building_Edit->setText(QStringLiteral("1"));
            form->Floor_Edit->setText(QStringLiteral("1"));
            form->GenRoomNumber();
            grab(QStringLiteral("listed"));
        });
    registry.add(QStringLiteral("DistrictSetting_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TDistrictSetting_Form(parent); });
}
