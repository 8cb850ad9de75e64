#pragma once
// A small input box that asks for a whole number.

#include <QString>

// Shows prompt with n as the box's text. OK with a number puts it into n and
// gives true; text that is no number shows "Not a number!" and gives false;
// Cancel gives false. n changes only on success.
bool AskNumber(const QString &prompt, int &n);
