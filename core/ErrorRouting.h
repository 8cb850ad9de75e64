#pragma once
// What happens to an exception that escapes an event handler.

#include <QString>
#include <exception>
#include <functional>

// The silent abort is dropped, EQuietError is only logged, anything else goes
// to the application handler. Never throws.
void RouteEscapedException(std::exception_ptr error);

// The application handler receives the message of any other failure. The
// default logs it and shows it with ShowMsg.
void SetApplicationHandler(std::function<void(const QString &)> handler);
void CallApplicationHandler(const QString &message);
