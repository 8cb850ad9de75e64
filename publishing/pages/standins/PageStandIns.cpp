#include "publishing/pages/standins/PageStandIns.h"

QString MaintainerName() { return QStringLiteral("Vellam Orrisk"); }
