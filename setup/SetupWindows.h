#pragma once

class WindowRegistry;

// Room types, rooms, districts, operators and the password change.
void registerSetupWindows(WindowRegistry &registry);

void registerHotelSetupWindows(WindowRegistry &registry); // room types, rooms, districts
void registerOperatorWindows(WindowRegistry &registry); // operators, password change
