#pragma once
// Values the web pages need from areas still being built (help, the
// maintainer's tools). Each gives what those areas will give, so
// swapping in the real one removes this file and nothing else.

#include <QString>

// The maker's web site, without a trailing "/".
QString MakerSite();
// The maintainer's name, used in maintainer mode and in the tune-button
// message.
QString MaintainerName();
