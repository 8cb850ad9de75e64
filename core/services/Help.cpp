#include "core/Help.h"

#include "core/Log.h"

#include <QString>

namespace {
std::function<void(int)> &opener() {
    static std::function<void(int)> fn;
    return fn;
}
} // namespace

void OpenHelp(int context) {
    if (opener()) opener()(context);
    else WriteLog(QStringLiteral("Help %1").arg(context));
}

void SetHelpOpener(std::function<void(int)> fn) { opener() = std::move(fn); }
