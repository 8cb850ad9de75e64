#pragma once
// The large seeded catalogue (20,000 dances, 5,000 events ending on
// 6 December 2026), built once per benchmark run and copied for each
// benchmark that measures it, so that a change one benchmark makes to its
// copy reaches no other.

#include <QString>

// Writes a copy of the large catalogue to path (an existing file there is
// replaced) and gives path back.
QString CopyLargeCatalogue(const QString &path);
