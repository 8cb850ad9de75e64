#pragma once
// "Check for updates": reads the version the maker's download page offers
// and tells the user whether it is newer than this one.

#include <QString>

// The version after the first "Latest version is" and its blanks: the run of
// digits and dots there (trailing dots dropped). Empty when the marker is
// missing, no digit follows it, or the run is longer than MaxVersionLength.
constexpr int MaxVersionLength = 100;
QString OfferedVersion(const QString &page);

// The download page's address on the maker's site.
QString DownloadPageAddress();

// Fetches the download page. A newer version is announced and its page
// opened in the browser; otherwise the user is told why not (through
// AbortMsg, which abandons the command).
void CheckForUpdates();
