#include "DeskWindows.h"

#include "CheckCardForm.h"
#include "CheckOut.h"
#include "GuestLeave_Form.h"
#include "ModifyGuestCard_Form.h"
#include "WindowRegistry.h"

void registerCheckOutWindows(WindowRegistry &registry)
{
    registry.add(QStringLiteral("ModifyGuestCard_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TModifyGuestCard_Form(parent); });
    registry.add(QStringLiteral("CheckOut_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TGuestLeave_Form(parent); });
    // Reading and cancelling share one window; the menu entry decides whether cancelling is offered.
    const WindowFactory cardWindow = [](QWidget *parent, const OpenOptions &options) -> QDialog * {
        return new TCheckCardForm(parent, options.showCancel);
    };
    registry.add(QStringLiteral("ReadCard_Menu"), cardWindow);
    registry.add(QStringLiteral("ClearCard_Menu"), cardWindow);
    registry.quickCheckOut = [](const QStringList &roomStrs) { return quickCheckOut(roomStrs); };
}
