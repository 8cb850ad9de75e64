#pragma once
// Values the web pages need from areas still being built (the maintainer's
// tools). Each gives what those areas will give, so
// swapping in the real one removes this file and nothing else.

#include <QString>

// The maintainer's name, used in maintainer mode and in the tune-button
// message.
QString MaintainerName();
