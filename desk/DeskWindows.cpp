#include "DeskWindows.h"

void registerDeskWindows(WindowRegistry &registry)
{
    registerCheckInWindows(registry);
    registerCheckOutWindows(registry);
}
