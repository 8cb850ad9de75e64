#pragma once
// The maintainer's own folders and files (maintainer mode only): the
// development folder "QuillaryDev" under the home folder holds them all.

#include <QString>

// The folder that holds the maintainer's own material, ending with "/".
QString MaintainerFolder();
// The maintainer's music: running from a USB stick keeps maintainer mode
// only when the recordings base folder is this one.
QString MaintainerMusicFolder();
// The web site's graphics; without it the booking reminders are skipped.
QString MaintainerGraphicsFolder();
// The maintainer's copy of the sibling HTML editor.
QString MaintainerScrivletPath();
// The two tune-index files, one tune per line "T:" + title.
QString MaintainerTuneIndexPath(int n);

// The maintainer's name ("Maintainer.ini", core/startup/MaintainerConfig.h),
// used in maintainer mode and in the tune-button message.
QString MaintainerName();

// The tune index text: both files joined by a line feed (maintainer mode).
extern QString ABCIndex;
// Reads both tune-index files into ABCIndex; a missing file reads empty.
void LoadABCIndex();
