#include "core/services/ErrorRouting.h"

#include "base/Log.h"
#include "base/Messages.h"

#include <cxxabi.h>
#include <cstdlib>
#include <typeinfo>

namespace {
std::function<void(const QString &)> &handler() {
    static std::function<void(const QString &)> fn;
    return fn;
}
std::function<void(std::exception_ptr)> &exceptionHandler() {
    static std::function<void(std::exception_ptr)> fn;
    return fn;
}

QString Demangled(const std::type_info &type) {
    int status = 0;
    char *name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    const QString out = QString::fromUtf8(status == 0 && name ? name : type.name());
    std::free(name);
    return out;
}

bool CallExceptionHandler(std::exception_ptr error) {
    if (!exceptionHandler()) return false;
    try {
        exceptionHandler()(error);
    } catch (...) {
        // A failing handler must not take the event loop down with it.
    }
    return true;
}
} // namespace

void SetExceptionHandler(std::function<void(std::exception_ptr)> handler) {
    exceptionHandler() = std::move(handler);
}

bool HasExceptionHandler() { return bool(exceptionHandler()); }

QString ExceptionMessage(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

QString ExceptionTypeName(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        return Demangled(typeid(e));
    } catch (...) {
        const std::type_info *type = abi::__cxa_current_exception_type();
        return type ? Demangled(*type) : QStringLiteral("unknown");
    }
}

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
        if (!CallExceptionHandler(std::current_exception())) WriteLog(QString::fromUtf8(e.what()));
    } catch (const std::exception &e) {
        if (!CallExceptionHandler(std::current_exception())) CallApplicationHandler(QString::fromUtf8(e.what()));
    } catch (...) {
        if (!CallExceptionHandler(std::current_exception())) CallApplicationHandler(QStringLiteral("Unknown error"));
    }
}
