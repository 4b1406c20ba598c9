#pragma once

class QWidget;
class TLanguage;

// Gives a window its translation component while the window is created: the
// component takes the settings' LanguageID and applies the translation while
// TranslationActive is set. A translation database that cannot be opened or
// read is shown once in the standard error box; the window then keeps its
// designed texts and its messages stay empty.
TLanguage *translateWindow(QWidget *window);

// The hidden capture prompt (Ctrl+Alt+F12, Shift not looked at).
enum class CapturePrompt {
    Standard, // "提示" / "文件不存在，请重新选择！", then "验证 " / "请输入验证码:"
    FromMessages, // box texts are the window's messages 13 (confirmation) and 14 (input)
    WhileInactive, // offered only while TranslationActive is clear
};
// Watches the window's key presses before its controls see them; the prompt
// captures into the window's Language1 when answered with the access code.
void installCapturePrompt(QWidget *window, CapturePrompt variant = CapturePrompt::Standard);
// The prompt itself, as the key press runs it.
void runCapturePrompt(QWidget *window, CapturePrompt variant = CapturePrompt::Standard);

// Fills the translation hooks of the windows below this library (the settings
// window); called once at start, before any window is made.
void installTranslationHooks();
