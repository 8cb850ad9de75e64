#include "app/standins/StandIns.h"


namespace StandIn {

bool FullScreenExists = false;
bool MusicDialogActive = false;
bool Playing = false;
bool ImportWindowExists = false;

} // namespace StandIn
