#include "SetupWindows.h"

#include "WindowRegistry.h"

void registerHotelSetupWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
