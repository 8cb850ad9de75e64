#include "core/services/AppServices.h"

bool InErrorHandler = false;
quintptr LastErrorAddress = 0;
QString LastErrorCommand;
qint32 ElapsedSeconds = 0;
qint32 TotalSeconds = 0;
bool SeekDragging = false;

int Speed = 100;

void ResetAppServices() {
    InErrorHandler = false;
    LastErrorAddress = 0;
    LastErrorCommand.clear();
    ElapsedSeconds = TotalSeconds = 0;
    SeekDragging = false;
    Speed = 100;
}
