#include "Translation.h"

#include "Prompts.h"
#include "Settings.h"
#include "TarvaneApplication.h"
#include "TLanguage.h"
#include "TranslationHooks.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QWidget>

namespace {

const QString accessCode = QStringLiteral("quorm");

// Sees every key press of the application and reacts to those meant for its
// window, so that no control of the window can swallow the keys first.
class CapturePromptFilter : public QObject {
public:
    CapturePromptFilter(QWidget *window, CapturePrompt variant)
        : QObject(window)
        , m_window(window)
        , m_variant(variant)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || m_running)
            return false;
        auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() != m_window)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers needed = Qt::ControlModifier | Qt::AltModifier;
        if (key->key() != Qt::Key_F12 || (key->modifiers() & needed) != needed)
            return false;
        if (m_variant == CapturePrompt::WhileInactive && SystemSettings.TranslationActive)
            return false;
        m_running = true;
        QPointer<QWidget> window = m_window;
        runGuarded([&] { runCapturePrompt(window, m_variant); });
        m_running = false;
        return true;
    }

private:
    QWidget *m_window;
    CapturePrompt m_variant;
    bool m_running = false;
};

} // namespace

TLanguage *translateWindow(QWidget *window)
{
    auto *language = new TLanguage(window);
    language->setLanguageId(SystemSettings.LanguageID);
    if (!language->openError().isEmpty()) {
        showError(language->openError());
        return language;
    }
    if (SystemSettings.TranslationActive)
        runGuarded([&] { language->ApplyLanguage(); });
    return language;
}

void installCapturePrompt(QWidget *window, CapturePrompt variant)
{
    new CapturePromptFilter(window, variant);
}

void runCapturePrompt(QWidget *window, CapturePrompt variant)
{
    if (!window)
        return;
    auto *language = window->findChild<TLanguage *>(QStringLiteral("Language1"), Qt::FindDirectChildrenOnly);
    if (!language)
        return;
    if (variant == CapturePrompt::WhileInactive && SystemSettings.TranslationActive)
        return;

    QString boxTitle = QString::fromUtf8("提示");
    QString boxText = QString::fromUtf8("文件不存在，请重新选择！");
    QString inputTitle = QString::fromUtf8("验证 ");
    QString inputPrompt = QString::fromUtf8("请输入验证码:");
    if (variant == CapturePrompt::FromMessages) {
        boxTitle = boxText = language->MessageText(13);
        inputTitle = inputPrompt = language->MessageText(14);
    }
    if (!prompts().confirm(window, QMessageBox::Warning, boxTitle, boxText))
        return;
    const std::optional<QString> answer = prompts().inputText(window, inputTitle, inputPrompt, QString());
    if (answer && *answer == accessCode)
        language->CaptureForm();
}

void installTranslationHooks()
{
    TranslationHooks &hooks = translationHooks();
    hooks.apply = [](QWidget *window) { translateWindow(window); };
    hooks.installPrompt = [](QWidget *window) { installCapturePrompt(window); };
}
