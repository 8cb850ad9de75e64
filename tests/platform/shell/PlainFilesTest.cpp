#include "platform/shell/PlainFiles.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

class PlainFilesTest : public QuillaryTest {};

TEST_F(PlainFilesTest, OnlyPlainFilesAreReadAndWithinTheirBound) {
    WriteFileBytes(path("abc.txt"), "abc");
    WriteFileBytes(path("empty.txt"), "");
    ASSERT_TRUE(QFile::link(path("abc.txt"), path("link.txt")));
    ASSERT_TRUE(QFile::link("/dev/zero", path("zero.mp3")));
    QDir().mkpath(path("folder.mp3"));
    const struct {
        const char *name;
        qint64 limit;
        bool read;
        QByteArray bytes;
        QString error; // what follows the path
    } cases[] = {
        {"abc.txt", 3, true, "abc", ""},
        {"abc.txt", 2, false, "", " is larger than 2 bytes."},
        {"empty.txt", 0, true, "", ""},
        {"link.txt", 10, true, "abc", ""},
        {"zero.mp3", 10, false, "", " is not a plain file."},
        {"folder.mp3", 10, false, "", " is not a plain file."},
        {"missing.txt", 10, false, "", ": No such file or directory"},
    };
    for (const auto &c : cases) {
        const QString file = path(QString::fromLatin1(c.name));
        QByteArray bytes = "old";
        QString error;
        EXPECT_EQ(ReadPlainFile(file, c.limit, bytes, &error), c.read) << c.name;
        EXPECT_EQ(bytes, c.bytes) << c.name;
        EXPECT_EQ(error, c.error.isEmpty() ? QString() : file + c.error) << c.name;
        EXPECT_EQ(IsPlainFile(file), QFileInfo(file).isFile()) << c.name;
    }
}

// The new bytes take the name; whatever a link there pointed at is untouched,
// and a folder reached through a link out of its place is refused.
TEST_F(PlainFilesTest, ReplacedByRenameNeverThroughALink) {
    const QString home = path("Music/"), outside = path("Outside/");
    WriteFileBytes(outside + "diary.txt", "Monday");
    WriteFileBytes(home + "kept.txt", "old");
    ASSERT_TRUE(QFile::setPermissions(home + "kept.txt", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(outside + "diary.txt", home + "linked.txt"));
    ASSERT_TRUE(QFile::link(outside + "new.txt", home + "dangling.txt"));
    ASSERT_TRUE(QFile::link(outside, home + "Away"));
    const struct {
        const char *name;
        bool written;
    } cases[] = {{"kept.txt", true}, {"linked.txt", true}, {"dangling.txt", true}, {"Away/diary.txt", false},
                 {"Gone/x.txt", false}};
    for (const auto &c : cases) {
        const QString file = home + QString::fromLatin1(c.name);
        QString error;
        EXPECT_EQ(ReplaceFileByRename(file, "new", &error, home), c.written) << c.name;
        EXPECT_EQ(error.isEmpty(), c.written) << c.name;
        if (c.written) {
            EXPECT_EQ(ReadFileBytes(file), QByteArray("new")) << c.name;
            EXPECT_FALSE(QFileInfo(file).isSymLink()) << c.name;
        } else {
            EXPECT_TRUE(error.startsWith("Cannot write file " + file + ": ")) << error.toStdString();
        }
    }
    // Owner, group and others: the current user's flags repeat the owner's.
    const QFileDevice::Permissions mask = QFileDevice::Permissions::fromInt(0x7077);
    EXPECT_EQ(QFile::permissions(home + "kept.txt") & mask, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_EQ(ReadFileBytes(outside + "diary.txt"), QByteArray("Monday"));
    EXPECT_FALSE(QFileInfo::exists(outside + "new.txt"));
    // No temporary is left behind.
    EXPECT_EQ(QDir(home).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
              QStringList({"Away", "dangling.txt", "kept.txt", "linked.txt"}));
    EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"diary.txt"}));
}
