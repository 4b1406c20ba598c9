#include "SetupWindows.h"

#include "WindowRegistry.h"

void registerSetupWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
