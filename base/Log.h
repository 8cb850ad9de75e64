#pragma once
// The log "Log.Txt" in DataFolder: opened by the "START" entry, closed by
// "END"; nothing is written outside. WriteLog never throws.

#include <QString>

void WriteLog(const QString &text);

// The text, then "\rHex: " and for each character the character, a blank,
// its two-digit code (in the code page where it has one) and two blanks.
QString HexText(const QString &text);
// Logs HexText.
void LogHex(const QString &text);

// Log state: ' ' not open, 'Y' open, 'N' opening or writing failed.
char LogState();
// Closes the log and forgets every state (tests).
void ResetLog();
