#pragma once
// What happens to an exception that escapes an event handler.

#include <QString>
#include <exception>
#include <functional>
#include <type_traits>
#include <utility>

// The silent abort is dropped, EQuietError is only logged, anything else goes
// to the application handler. Never throws.
void RouteEscapedException(std::exception_ptr error);

// A slot for a toolkit signal that routes here what its handler lets out.
// The toolkit's frames between a signal and the application's notify free
// nothing an exception passes (an action's guard of itself is lost on
// every refused save), so a handler that aborts as a matter of course is
// connected through this.
template <typename F> auto Guarded(F handler) {
    return [handler = std::move(handler)](auto &&...args) {
        try {
            // A handler may take fewer arguments than the signal gives.
            if constexpr (std::is_invocable_v<const F &, decltype(args)...>) handler(std::forward<decltype(args)>(args)...);
            else handler();
        } catch (...) {
            RouteEscapedException(std::current_exception());
        }
    };
}

// The application handler receives the message of any other failure. The
// default logs it and shows it with ShowMsg.
void SetApplicationHandler(std::function<void(const QString &)> handler);
void CallApplicationHandler(const QString &message);

// The main window's handler, which needs the failure itself (its type decides
// what it asks). While one is set it takes every failure the application
// handler would get, and EQuietError too; it must not throw.
void SetExceptionHandler(std::function<void(std::exception_ptr)> handler);
bool HasExceptionHandler();

// The message of a failure: what() of a standard exception (a database
// error's own text), "Unknown error" for anything else.
QString ExceptionMessage(std::exception_ptr error);
// The failure's type as the error text names it ("DbError", "std::bad_alloc").
QString ExceptionTypeName(std::exception_ptr error);
