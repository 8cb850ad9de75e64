#include "core/filter/Tags.h"
#include "core/startup/Settings.h"
#include "TestSupport.h"

class TagsTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        ResetTagState();
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDelim=\xB7\r\n[$Workshop]\r\n|Reel|Longways|English|=1\r\n"
                                             "[User]\r\n[$Ball]\r\n\xB7=\r\n[$Empty]\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    }
    void TearDown() override {
        ResetTagState();
        QuillaryTest::TearDown();
    }
    QString iniText() { return QString::fromLatin1(ReadFileBytes(path("Quillary.ini"))); }
};

TEST_F(TagsTest, LoadingASet) {
    TagSetName = "Workshop";
    LoadTagSet();
    EXPECT_EQ(TaggedCount, 1);
    EXPECT_EQ(TagKeyList, "||Reel|Longways|English|");
    EXPECT_TRUE(IsTagged("|REEL|longways|English|"));
    EXPECT_FALSE(IsTagged("|Reel|Longways|Scottish|"));
    TagSetName = "Ball";
    LoadTagSet();
    EXPECT_EQ(TaggedCount, 1); // the placeholder counts
    TagSetName.clear();
    LoadTagSet();
    EXPECT_EQ(TaggedCount, 0);
    EXPECT_TRUE(TagKeyList.isEmpty());
}

TEST_F(TagsTest, TagAndUntagWhateverTheCase) {
    TagSetName = "Ball";
    LoadTagSet();
    AddTag("|Jig|Longways|English|");
    EXPECT_EQ(TaggedCount, 1); // the placeholder went
    EXPECT_EQ(TagKeyList, "||Jig|Longways|English|");
    AddTag("|Hornpipe|Square|English|");
    EXPECT_EQ(TagKeyList, "||Jig|Longways|English||Hornpipe|Square|English|");
    // The dance's key differs in case from the stored one.
    RemoveTag("|JIG|longways|english|");
    EXPECT_EQ(TaggedCount, 1);
    EXPECT_FALSE(IsTagged("|Jig|Longways|English|"));
    RemoveTag("|Hornpipe|Square|English|");
    EXPECT_EQ(TaggedCount, 0);
    // A set emptied of tags is still listed, and stays in the file.
    EXPECT_EQ(TagSetNames(), (QStringList{"Workshop", "Ball", "Empty"}));
    EXPECT_TRUE(iniText().contains("[$Ball]"));
    // Re-reading the file gives the same.
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    EXPECT_EQ(TagSetNames(), (QStringList{"Workshop", "Ball", "Empty"}));
}
