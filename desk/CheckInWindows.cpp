#include "DeskWindows.h"

#include "WindowRegistry.h"

void registerCheckInWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
