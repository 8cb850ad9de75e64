#pragma once
// The sound library, loaded on first use (see MpvLibrary.cpp).

#include <QString>

// Loads it now if it is not loaded yet; false when it cannot be loaded.
// Safe from any thread.
bool LoadMpvLibrary();
// Why it could not be loaded; empty when it was, or has not been tried.
QString MpvLibraryError();
