// The settings the programme rows are built from, read from the settings
// file and the start-up state.

#include "core/startup/ProgrammeRowSettings.h"
#include "core/startup/Settings.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

class RowSettingsTest : public QuillaryTest {};

TEST_F(RowSettingsTest, CurrentSettingsReadDisplayInFileOrder) {
    WriteFileBytes(path("Quillary.ini"), "[Display]\r\nTitle=200\r\nLvl=\r\nTime=40\r\nlastc=abc\r\n[System]\r\nToFit=1\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    ProgrammeSeparator = SepEuro;
    ScreenScale = 12000;
    LoadMenuOption(QStringLiteral("ToFit"), false);
    const RowSettings s = CurrentRowSettings();
    EXPECT_EQ(s.separator, SepEuro);
    EXPECT_TRUE(s.scale.toFit);
    ASSERT_EQ(s.display.size(), 4);
    const QStringList names = {"Title", "Lvl", "Time", "lastc"};
    const int widths[] = {200, 999, 40, 999};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.display[i].name, names[i]);
        EXPECT_EQ(s.display[i].width, widths[i]);
    }
    EXPECT_EQ(ColumnTag(s.display[3].name), ComputedTag);
}

TEST_F(RowSettingsTest, NoSettingsFileGivesNoColumns) {
    EXPECT_TRUE(CurrentRowSettings().display.isEmpty());
}
