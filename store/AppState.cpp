#include "AppState.h"

#include <QCoreApplication>

bool RoomsChanged = false;

namespace {
bool endRequested = false;
}

void requestProgramEnd()
{
    endRequested = true;
    QCoreApplication::quit();
}

bool programEndRequested()
{
    return endRequested;
}

void clearProgramEndRequest()
{
    endRequested = false;
}
