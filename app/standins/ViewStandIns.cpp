#include "app/standins/ViewStandIns.h"

#include "base/Log.h"
#include "core/startup/Positioning.h"
#include "platform/sqlite/Dataset.h"

bool SeekEventDay(Dataset &events, double day) {
    return SeekRecord(events, {day}, SeekMode::FirstEq);
}

void RunFullScreen(QWidget *) { WriteLog(QStringLiteral("Stand-in: full-screen display")); }
void ResetFullScreenSpeed() { WriteLog(QStringLiteral("Stand-in: full-screen speed 100")); }
void ShowFullScreenNumLock(bool on) {
    WriteLog(QStringLiteral("Stand-in: full-screen NumLock ") + (on ? QStringLiteral("on") : QStringLiteral("off")));
}

QString RuleSetName() {
    WriteLog(QStringLiteral("Stand-in: RuleSetName"));
    return {};
}

void InitFolders() { WriteLog(QStringLiteral("Stand-in: InitFolders")); }
