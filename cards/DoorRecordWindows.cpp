#include "CardsWindows.h"

#include "WindowRegistry.h"

void registerDoorRecordWindows(WindowRegistry &registry)
{
    Q_UNUSED(registry);
}
