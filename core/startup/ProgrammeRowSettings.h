#pragma once
// The settings the programme rows are built from, as the program holds them
// now: the separator, the screen scale, the "ToFit" and "Large" marks and the
// [Display] section of the settings file.

#include "programme/rows/RowLayout.h"

// ProgrammeSeparator, ScreenScale, the "ToFit" and "Large" marks and the
// [Display] section.
RowSettings CurrentRowSettings();
// The [Display] section's keys in file order with their widths.
DisplayColumns LoadDisplayColumns();
