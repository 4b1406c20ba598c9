#pragma once

class WindowRegistry;

// The windows of this library the menus open: "SystemSetting_Menu".
void registerStoreWindows(WindowRegistry &registry);
