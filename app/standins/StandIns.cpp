#include "app/standins/StandIns.h"

namespace StandIn {

bool FullScreenExists = false;

} // namespace StandIn

