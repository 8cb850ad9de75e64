#include "core/services/AppServices.h"

bool InErrorHandler = false;
quintptr LastErrorAddress = 0;
QString LastErrorCommand;
qint32 ElapsedSeconds = 0;
qint32 TotalSeconds = 0;
bool SeekDragging = false;

namespace PlayerStandIn {
qint64 Position = 0;
qint64 PlayLength = 0;
int TrackMinutes = 0;
int TrackSeconds = 0;
int Speed = 100;
} // namespace PlayerStandIn

void ResetAppServices() {
    InErrorHandler = false;
    LastErrorAddress = 0;
    LastErrorCommand.clear();
    ElapsedSeconds = TotalSeconds = 0;
    SeekDragging = false;
    PlayerStandIn::Position = PlayerStandIn::PlayLength = 0;
    PlayerStandIn::TrackMinutes = PlayerStandIn::TrackSeconds = 0;
    PlayerStandIn::Speed = 100;
}
