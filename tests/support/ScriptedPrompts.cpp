#include "ScriptedPrompts.h"

#include <QTest>

ScriptedPrompts::ScriptedPrompts()
{
    setPrompts(this);
}

ScriptedPrompts::~ScriptedPrompts()
{
    setPrompts(nullptr);
}

void ScriptedPrompts::answer(QMessageBox::StandardButton button)
{
    m_answers.enqueue(Answer{button, std::nullopt});
}

void ScriptedPrompts::answerText(const std::optional<QString> &text)
{
    m_answers.enqueue(Answer{text ? QMessageBox::Ok : QMessageBox::Cancel, text});
}

void ScriptedPrompts::answerFile(const QString &path)
{
    m_answers.enqueue(Answer{path.isEmpty() ? QMessageBox::Cancel : QMessageBox::Ok, path});
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const Asked &a : asked)
        result << a.text;
    return result;
}

void ScriptedPrompts::clear()
{
    asked.clear();
    m_answers.clear();
}

std::optional<ScriptedPrompts::Answer> ScriptedPrompts::take(const Asked &a)
{
    asked << a;
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (!m_answerAll) {
        const QByteArray what = QStringLiteral("Unexpected prompt \"%1\" titled \"%2\"").arg(a.text, a.title).toUtf8();
        QTest::qFail(what.constData(), __FILE__, __LINE__);
    }
    return std::nullopt;
}

QMessageBox::StandardButton ScriptedPrompts::message(QWidget *, QMessageBox::Icon icon, const QString &title,
                                                     const QString &text, QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton)
{
    const auto answer = take(Asked{Message, icon, title, text, buttons, {}, {}});
    if (answer)
        return answer->button;
    if (m_answerAll || buttons == QMessageBox::Ok)
        return QMessageBox::Ok;
    return QMessageBox::Cancel;
}

std::optional<QString> ScriptedPrompts::inputText(QWidget *, const QString &title, const QString &label,
                                                  const QString &defaultText)
{
    const auto answer = take(Asked{Input, QMessageBox::NoIcon, title, label, {}, defaultText, {}});
    if (answer)
        return answer->text;
    if (m_answerAll)
        return defaultText;
    return std::nullopt;
}

QString ScriptedPrompts::openFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter)
{
    const auto answer = take(Asked{OpenFile, QMessageBox::NoIcon, {}, caption, {}, dir, filter});
    return answer ? answer->text.value_or(QString()) : QString();
}

QString ScriptedPrompts::saveFileName(QWidget *, const QString &caption, const QString &dir, const QString &filter)
{
    const auto answer = take(Asked{SaveFile, QMessageBox::NoIcon, {}, caption, {}, dir, filter});
    return answer ? answer->text.value_or(QString()) : QString();
}
