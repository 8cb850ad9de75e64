#pragma once
// A dataset's filter as SQL where-terms, for the work done on the table with
// SQL (the dance chooser's list, the ranking listing, deleting the shown
// dances): the same selection the filter hook makes record by record.

#include "core/filter/FilterDef.h"

#include <QString>

class Dataset;

// Appends one line to MyQuery's SQL: "Where " + term when the text holds no
// "Where " yet, else "and " + term.
void AddWhereTerm(const QString &term);

// Appends the where-terms of the filter when the dataset is filtered.
// dfilterOption: one of the "Not" selections (or the maintainer's own
// filter) is on, which adds the DFilter mark. Values go in as quoted
// literals; a numeric condition whose value is no number throws.
void BuildDanceFilterSql(Dataset &dataset, const FilterDef &filter, bool dfilterOption = false);
