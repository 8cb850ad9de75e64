#include "publishing/pages/standins/PageStandIns.h"

#include "core/startup/StartupRules.h"

QString MakerSite() { return WebsiteAddress; }

QString MaintainerName() { return QStringLiteral("Vellam Orrisk"); }
