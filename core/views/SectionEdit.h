#pragma once
// The section editor's text without its window: the lines read as keys and
// values, and the check of the [Display] section.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

// The editor's text as key = value pairs: every line with "=" after its
// first character; a final line break adds no line.
QList<QPair<QString, QString>> SectionPairs(const QString &text);

// The first line of a [Display] text that names no field of Dances nor one
// of LASTC, LASTH, TIME, RECENT, as its folded name ("" for a line without
// "="); nothing when every line is known.
std::optional<QString> UnknownDisplayField(const QString &text, const QStringList &danceFields);
