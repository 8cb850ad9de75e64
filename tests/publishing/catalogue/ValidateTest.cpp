#include "publishing/catalogue/Validate.h"
#include "TestSupport.h"

#include <QSet>

namespace {

struct ValidateRow {
    const char *name;
    ValidatedDance dance;
    ValidateOptions options;
    QString fault;
};

TEST(ValidateTest, EachDanceFailsOnlyWhereItShould) {
    const QString sep = QString(QChar(0x00B7));
    // Recording lines: Title, Trk, Location.
    const auto rec = [&](const QString &location) { return "x" + sep + "1" + sep + location; };
    const ValidateOptions all, none{false, false, false};
    const QList<ValidateRow> rows = {
        {"technique needs nothing", {"Warm up", "Technique", "", "", "", ""}, all, ""},
        {"break with a level needs no music", {"Pause", "Break", "1", "", "", ""}, all, ""},
        {"generated dance", {"Gen", "English", "", "Generated Dance", "", ""}, all, ""},
        {"web link not tested", {"Jig", "English", "2", "", "live", "Link=\"http://x/a.pdf\""}, all, ""},
        {"relative link under the data folder", {"Jig", "English", "2", "", "live", "see LINK=\"notes\\a.pdf\""}, all, ""},
        {"drive and named CD skipped", {"Jig", "English", "2", "", "live" + sep + rec("D:") + "\r" + rec("Barn Dance 2"), ""}, all, ""},
        {"everything off", {"Jig", "English", "", "", "", "Link=\"gone.pdf\""}, none, ""},
        {"blank level", {"Jig", "English", "", "", "live", ""}, all, "Level is blank."},
        {"blank music", {"Jig", "English", "2", "", "", ""}, all, "Music is blank."},
        {"missing link", {"Jig", "English", "2", "", "live", "Link=\"gone.pdf\" more"}, all, "gone.pdf\rnot found."},
        {"missing second recording",
         {"Jig", "English", "2", "", "live" + sep + rec("tunes/a.mp3") + "\r" + rec("tunes\\b.mp3"), ""}, all,
         "tunes\\b.mp3\rNot found"},
    };
    const QSet<QString> files = {"/data/notes/a.pdf", "/music/tunes/a.mp3"};
    ValidateContext context;
    context.locationColumn = 2;
    context.baseFolder = "/music/";
    context.dataFolder = "/data/";
    context.fileExists = [&](const QString &path) { return files.contains(path); };
    for (const ValidateRow &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ValidateDance(row.dance, row.options, context), row.fault);
    }
}

} // namespace
