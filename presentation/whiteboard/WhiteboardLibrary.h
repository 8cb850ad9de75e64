#pragma once
// The whiteboard's dealings with files outside one item: seeding the sample
// items into the settings file, and fetching the downloadable library.

#include "platform/ini/IniFile.h"

#include <QString>
#include <functional>
#include <memory>

// Loads the settings file in use (that of another database when it has one of
// its own, else DataFolder + "Quillary.ini"); when it holds no whiteboard
// item, adds the two samples in one write and makes IniFile again on that
// same file, so every later setting still goes where it went before. A file
// that cannot be read or written gives its message and stays as it was.
// Returns whether the samples were added.
bool CheckIni();

// The maker's web site: QUILLARY_SITE when set (tests and trials), else the
// program's web address.
QString LibrarySite();

// Fetches site + "/Library.txt" into fileName through fetch, which throws on
// failure (its message is shown). Then opens the file, freshly fetched or
// kept from before; null when there is none.
using LibraryFetch = std::function<void(const QString &url, const QString &fileName)>;
std::unique_ptr<TIniFile> FetchLibrary(const LibraryFetch &fetch, const QString &site,
                                       const QString &fileName);
