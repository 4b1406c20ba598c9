#pragma once

#include <QApplication>

#include <exception>
#include <type_traits>
#include <utility>

// The application title every standard error box carries.
inline constexpr auto ApplicationTitle = "Tarvane V12.0";

// Shows an operation's failure in the standard error box (error icon, the
// application's title, the database's own text) through the Prompts seam.
void showError(const QString &text);
// Shows the exception in flight (DbError, std::exception or anything else).
void showCurrentException() noexcept;

// Wraps a slot so that nothing it throws unwinds through Qt: the operation
// ends there and the operator sees the standard error box.
template <typename F> auto guarded(F &&f)
{
    return [f = std::forward<F>(f)](auto &&...args) mutable {
        try {
            // A slot may ignore what the signal carries (clicked(bool), ...).
            if constexpr (std::is_invocable_v<F &, decltype(args)...>)
                f(std::forward<decltype(args)>(args)...);
            else
                f();
        } catch (...) {
            showCurrentException();
        }
    };
}

// Runs f at once, showing whatever it throws; true when it ran through.
template <typename F> bool runGuarded(F &&f)
{
    try {
        std::forward<F>(f)();
        return true;
    } catch (...) {
        showCurrentException();
        return false;
    }
}

class TarvaneApplication : public QApplication {
    Q_OBJECT
public:
    TarvaneApplication(int &argc, char **argv);
    // The last resort for an exception that escaped a slot: shown, not fatal.
    bool notify(QObject *receiver, QEvent *event) override;
};
