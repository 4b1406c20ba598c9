#include "Settings.h"

TSystemSettings SystemSettings;
