#include "app/standins/StandIns.h"


namespace StandIn {

bool FullScreenExists = false;
bool ImportWindowExists = false;

} // namespace StandIn

namespace StandIn {

void ShowProgressPanel(const QString &text) { WriteLog(text); }

void ProgressPanelFiller(int, int) {}

} // namespace StandIn
