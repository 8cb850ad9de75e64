#include "app/standins/ViewStandIns.h"

#include "base/Log.h"

void InitFolders() { WriteLog(QStringLiteral("Stand-in: InitFolders")); }
