#pragma once

class WindowRegistry;

// Room types, rooms, districts, operators and the password change.
void registerSetupWindows(WindowRegistry &registry);
