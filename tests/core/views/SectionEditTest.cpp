#include "core/views/SectionEdit.h"
#include "platform/ini/IniFile.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

TEST(SectionEdit, DisplayFieldsAreChecked) {
    const QStringList fields = {"Title", "Format", "Style", "Lvl"};
    struct Row {
        const char *text;
        const char *unknown; // nullptr: every line known
    } table[] = {
        {"Title=200\nLastC=60\nrecent=20\n", nullptr},
        {"Title=200\nColour=5", "COLOUR"},
        {"Title=200\nno equals sign", ""},
        {"=5", ""},
    };
    for (const Row &r : table) {
        const std::optional<QString> got = UnknownDisplayField(r.text, fields);
        if (!r.unknown) EXPECT_FALSE(got.has_value()) << r.text;
        else EXPECT_EQ(got.value_or("(none)"), QString(r.unknown)) << r.text;
    }
}

TEST(SectionEdit, PairsTakeLinesWithAKey) {
    const auto pairs = SectionPairs("A=1\r\nB=x=y\n=no key\nplain\n");
    ASSERT_EQ(pairs.size(), 2);
    EXPECT_EQ(pairs[1], qMakePair(QString("B"), QString("x=y")));
}

class ReplaceSectionTest : public QuillaryTest {};

// The section is replaced in place, in one write; a failed write leaves the
// file and the object as they were.
TEST_F(ReplaceSectionTest, OneWriteKeepsTheRest) {
    const QString file = path("Q.ini");
    WriteFileBytes(file, "[System]\r\nA=1\r\n[Display]\r\nTitle=100\r\nLvl=10\r\n[User]\r\nX=2\r\n");
    TIniFile ini(file);
    ini.ReplaceSection("Display", {{"Title", "200"}, {"LastC", "60"}});
    EXPECT_EQ(ReadFileBytes(file), "[System]\r\nA=1\r\n[Display]\r\nTitle=200\r\nLastC=60\r\n[User]\r\nX=2\r\n");
    ini.ReplaceSection("Timings", {{"1", "5"}});
    EXPECT_TRUE(ReadFileBytes(file).endsWith("[User]\r\nX=2\r\n\r\n[Timings]\r\n1=5\r\n"));

    const QByteArray before = ReadFileBytes(file);
    TIniFile::SetSaveFunction([](const QString &, const QByteArray &) { throw std::runtime_error("disk full"); });
    EXPECT_THROW(ini.ReplaceSection("Display", {{"Title", "1"}}), std::runtime_error);
    TIniFile::SetSaveFunction({});
    EXPECT_EQ(ReadFileBytes(file), before);
    EXPECT_EQ(ini.ReadString("Display", "Title", ""), "200");
}
