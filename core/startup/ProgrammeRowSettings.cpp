#include "core/startup/ProgrammeRowSettings.h"

#include "core/startup/Settings.h"

DisplayColumns LoadDisplayColumns() {
    DisplayColumns columns;
    if (!IniFile) return columns;
    const QString section = QStringLiteral("Display");
    for (const QString &key : IniFile->ReadSection(section))
        columns.append({key, DisplayWidth(IniFile->ReadString(section, key, QString()))});
    return columns;
}

RowSettings CurrentRowSettings() {
    RowSettings settings;
    settings.separator = ProgrammeSeparator;
    settings.display = LoadDisplayColumns();
    settings.scale.screenScale = ScreenScale;
    settings.scale.toFit = OptionChecked(QStringLiteral("ToFit"));
    settings.scale.large = OptionChecked(QStringLiteral("Large"));
    return settings;
}
