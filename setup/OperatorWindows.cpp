#include "SetupWindows.h"

#include "WindowRegistry.h"

void registerOperatorWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
