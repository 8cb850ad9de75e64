#pragma once
// Text handed over by another program (the window message of the old
// platform, a local-socket message here): a frame of 12 characters in front
// and 2 behind around the name of the whiteboard item to open.

#include <QByteArray>
#include <QString>
#include <optional>

// The text received with the last message.
extern QString CopyDataText;

// The most a message may carry.
inline constexpr int CopyDataLimit = 64 * 1024;

// The item's name in a message: the bytes decoded by the program's reading
// rule, less the first 12 and the last 2 characters. Nothing, with a log
// line, for a message of fewer than 14 bytes or more than the limit.
std::optional<QString> CopyDataName(const QByteArray &bytes);
