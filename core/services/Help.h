#pragma once
// Opens help topics by context number through a replaceable opener.

#include <functional>

// Opens the help topic of a context number.
void OpenHelp(int context);
// Replaces the opener; an empty function restores the default, which logs
// "Help " + the context number.
void SetHelpOpener(std::function<void(int)> opener);
