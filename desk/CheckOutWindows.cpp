#include "DeskWindows.h"

#include "WindowRegistry.h"

void registerCheckOutWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
