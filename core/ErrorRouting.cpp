#include "core/ErrorRouting.h"

#include "core/Log.h"
#include "core/Messages.h"

namespace {
std::function<void(const QString &)> &handler() {
    static std::function<void(const QString &)> fn;
    return fn;
}
} // namespace

void SetApplicationHandler(std::function<void(const QString &)> fn) {
    handler() = std::move(fn);
}

void CallApplicationHandler(const QString &message) {
    try {
        if (handler()) {
            handler()(message);
        } else {
            ShowMsg(message); // logs it as well
        }
    } catch (...) {
        // A failing handler must not take the event loop down with it.
    }
}

void RouteEscapedException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const SilentAbort &) {
        // AbortMsg has already told the user.
    } catch (const EQuietError &e) {
        WriteLog(QString::fromUtf8(e.what()));
    } catch (const std::exception &e) {
        CallApplicationHandler(QString::fromUtf8(e.what()));
    } catch (...) {
        CallApplicationHandler(QStringLiteral("Unknown error"));
    }
}
