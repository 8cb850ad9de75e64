#include "core/services/Help.h"

#include "base/Log.h"

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
