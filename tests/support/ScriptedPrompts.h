#pragma once

#include "Prompts.h"

#include <QList>
#include <QQueue>

// Prompts for tests: records every box, input box and file dialog the code
// asked for, and answers from a queue. A prompt with no answer queued fails
// the running test (and is answered with Cancel, or OK where that is the
// only button).
class ScriptedPrompts : public Prompts
{
public:
    enum Kind { Message, Input, OpenFile, SaveFile };
    struct Asked
    {
        Kind kind = Message;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text; // message text, input label, file dialog caption
        QMessageBox::StandardButtons buttons;
        QString defaultText; // input default, file dialog folder
        QString filter;
    };

    ScriptedPrompts(); // installs itself
    ~ScriptedPrompts() override; // restores the dialogs

    // Answers, taken in order.
    void answer(QMessageBox::StandardButton button);
    void answerOk() { answer(QMessageBox::Ok); }
    void answerCancel() { answer(QMessageBox::Cancel); }
    void answerText(const std::optional<QString> &text);
    void answerFile(const QString &path); // "" = cancelled
    // Every prompt without a queued answer gets OK / the default text / "".
    void setAnswerAll(bool on) { m_answerAll = on; }

    QList<Asked> asked;
    int pendingAnswers() const { return m_answers.size(); }
    QStringList texts() const;
    const Asked &last() const { return asked.last(); }
    void clear();

    QMessageBox::StandardButton message(QWidget *parent, QMessageBox::Icon icon, const QString &title,
                                        const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton) override;
    std::optional<QString> inputText(QWidget *parent, const QString &title, const QString &label,
                                     const QString &defaultText) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter) override;

private:
    struct Answer
    {
        QMessageBox::StandardButton button = QMessageBox::NoButton;
        std::optional<QString> text;
    };
    std::optional<Answer> take(const Asked &asked);

    QQueue<Answer> m_answers;
    bool m_answerAll = false;
};
