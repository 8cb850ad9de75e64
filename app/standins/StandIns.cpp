#include "app/standins/StandIns.h"

namespace StandIn {

bool FullScreenExists = false;
bool ImportWindowExists = false;

} // namespace StandIn

