#pragma once

class WindowRegistry;

// The front-desk windows and services: check-in, hourly rooms, card change,
// check-out, the card window and the room picker.
void registerDeskWindows(WindowRegistry &registry);

// Each half of the front desk registers its own windows.
void registerCheckInWindows(WindowRegistry &registry); // picker, check-in, hourly, extension
void registerCheckOutWindows(WindowRegistry &registry); // check-out, card window, quickCheckOut
