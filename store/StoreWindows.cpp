#include "StoreWindows.h"

#include "SystemInfo_Form.h"
#include "WindowRegistry.h"

void registerStoreWindows(WindowRegistry &registry)
{
    registry.add(QStringLiteral("SystemSetting_Menu"),
        [](QWidget *parent, const OpenOptions &) -> QDialog * { return new TSystemInfo_Form(parent); });
}
