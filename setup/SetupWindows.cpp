#include "SetupWindows.h"

void registerSetupWindows(WindowRegistry &registry)
{
    registerHotelSetupWindows(registry);
    registerOperatorWindows(registry);
}
