#include "core/services/MainWindowLink.h"

#include "base/Log.h"

namespace {
MainWindowLink *installed = nullptr;
}

void MainWindowLink::SplashStatus(const QString &text) {
    if (!text.isEmpty()) WriteLog(text);
}

void SetMainWindowLink(MainWindowLink *link) { installed = link; }

MainWindowLink &TheMainWindow() {
    static MainWindowLink silent;
    return installed ? *installed : silent;
}
