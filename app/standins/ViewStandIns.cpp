#include "app/standins/ViewStandIns.h"

#include "base/Log.h"

void RunFullScreen(QWidget *) { WriteLog(QStringLiteral("Stand-in: full-screen display")); }
void ResetFullScreenSpeed() { WriteLog(QStringLiteral("Stand-in: full-screen speed 100")); }
void ShowFullScreenNumLock(bool on) {
    WriteLog(QStringLiteral("Stand-in: full-screen NumLock ") + (on ? QStringLiteral("on") : QStringLiteral("off")));
}
