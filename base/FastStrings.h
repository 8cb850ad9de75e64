#pragma once
// Fast searching and replacing in the catalogue's long texts (RTF
// instructions, programme strings, HTML). Positions count from 1; 0 means
// not found. Case-insensitive work folds both sides through the program's
// upper-case table (base/Cp1252.h).

#include <QString>

// First position at or after start where sub occurs, ignoring case. An empty
// sub gives 1; a sub longer than the text gives 0. A start below 1 is a
// caller's fault and throws std::logic_error.
qsizetype PosNoCase(const QString &sub, const QString &text, qsizetype start = 1);

// Last position at or before start where sub begins, ignoring case. A start
// of 0 or below searches from the end; a start past the last possible
// beginning is taken as that beginning. 0 when absent, or when sub is empty
// or longer than the text.
qsizetype PosBackNoCase(const QString &sub, const QString &text, qsizetype start = 0);

// PosNoCase that must succeed: when sub is not found it shows what was sought
// and where (not logged) and abandons the action with SilentAbort.
qsizetype MustPos(const QString &sub, const QString &text, qsizetype start = 1);

// Every occurrence of oldText replaced by newText, left to right without
// overlaps; ignoring case unless caseSensitive. An empty text or oldText
// gives the text unchanged; an empty newText deletes. With wordEnds, an
// oldText ending in a letter matches only where no letter follows ("gent" is
// not found in "gentle").
QString FastReplaceStr(const QString &text, const QString &oldText, const QString &newText,
                       bool caseSensitive = false, bool wordEnds = false);

// Every occurrence replaced, ignoring case.
QString ReplaceText(const QString &text, const QString &oldText, const QString &newText);

// Replaces pair by pair from two "|"-separated lists: the first old by the
// first new in the whole text, then the second pair in the result, and so on.
// Lists of different lengths show the pairs done so far (not logged) and
// abandon the action with SilentAbort.
QString MultiReplace(const QString &text, const QString &olds, const QString &news,
                     bool caseSensitive = false, bool wordEnds = false);
