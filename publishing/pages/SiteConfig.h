#pragma once
// Where the maker's tune pages live and how a link is known to point there.
// Nothing here is fetched; the addresses only go into pages.

#include <QString>

// The tune page that prints and plays a list of tunes.
QString TunePageAddress();
// The maker's domain as links name it (the host without "www.").
QString MakerDomain();
// The text names the maker's domain (letter case ignored).
bool OnMakerSite(const QString &text);
