#include "EventFormFixture.h"
#include "base/AppState.h"
#include "base/TextRoutines.h"
#include "core/startup/MaintainerConfig.h"

#include <QAction>
#include <QDir>

namespace {

struct ListOpener : DocumentOpener {
    QStringList opened;
    bool open(const QUrl &target) override { return opened.append(target.toLocalFile()), true; }
};

class OrgFormMaintainerTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        SetDataFolder(folder());
        QDir::setCurrent(folder());
        oldHome = qgetenv("HOME");
        qputenv("HOME", folder().toUtf8()); // no Maintainer.ini: our defaults
        ReloadMaintainerConfig();
        AuthorMode = true;
        SetDocumentOpener(&opener);
        addDance("Mill Race", {{"Collection", "MOXE 1"}});
        addDance("Lark Rise", {{"Instructions", "Interpretation by Vellam Orrisk"}, {"Format", "Circle"}});
        addDance("Orrisk Reel", {{"Author", "Vellam Orrisk"}});
        addDance("Other Jig");
        open(addEvent("Club", 3, Prog("~D|Other Jig|Longways|English~")));
    }
    void TearDown() override {
        SetDocumentOpener(nullptr);
        qputenv("HOME", oldHome);
        ReloadMaintainerConfig();
        EventFormTest::TearDown();
    }
    QByteArray oldHome;
    ListOpener opener;
};

} // namespace

TEST_F(OrgFormMaintainerTest, MyInterpretationsFiltersAndTheListsOpen) {
    form->MyInts->trigger();
    ASSERT_TRUE(DancesData.Filtered());
    EXPECT_EQ(DancesData.VisibleCount(), 2);
    EXPECT_TRUE(form->windowTitle().endsWith("Vellam's interpretations")) << form->windowTitle().toStdString();
    form->MyInts->trigger();
    EXPECT_FALSE(DancesData.Filtered());

    form->findChild<QAction *>("Unpub")->trigger();
    ASSERT_EQ(opener.opened, QStringList{path("List.Txt")});
    const QString list = LoadTextFile(path("List.Txt"));
    EXPECT_TRUE(list.contains("  Orrisk Reel\r\n") && list.contains("  (Lark Rise)\r\n")) << list.toStdString();
    EXPECT_FALSE(list.contains("Mill Race"));

    // No Install folder beside the program: refused, nothing written.
    ProgramFolder = folder();
    EXPECT_THROW(form->InstallClick(), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Install folder does not exist!"));
}

TEST_F(OrgFormMaintainerTest, DancesPageRewrittenWithItsBackup) {
    const QString site = path("QuillaryDev/Site/");
    const QByteArray old = "<html><head><title>D</title></head><body>\r\n<Table Id=Collect></Table>\r\n"
                           "<Table Id=Level></Table>\r\n<Table Id=Dances></Table>\r\n</body></html>";
    WriteFileBytes(site + "dances.htm", old);
    WriteFileBytes(site + "Collect.Tab", "KRAV|Own\r\n");
    WriteFileBytes(site + "Level.Tab", "1|Easy\r\n");
    WriteFileBytes(site + "Dances.Tab", "Title|Level\r\nOrrisk Reel|2\r\n");
    WriteFileBytes(site + "Totals.txt", "Dances written by Vellam Orrisk: 1 (Dec 26)\r\n");
    form->MakeWebPages(false);
    const QByteArray page = ReadFileBytes(site + "dances.htm");
    EXPECT_TRUE(page.contains("<TD>Orrisk Reel</TD><TD> &nbsp; &nbsp; 2</TD>") && page.contains("Vellam Orrisk: 1 (Dec 26)</P>"))
        << page.toStdString();
    EXPECT_EQ(ReadFileBytes(site + "dances.htm.bak"), old);
    EXPECT_EQ(opener.opened, QStringList{site + "dances.htm"});
    // An emptied page: the message, and the file stays as it was.
    WriteFileBytes(site + "dances.htm", "");
    EXPECT_THROW(form->MakeWebPages(false), SilentAbort);
    EXPECT_TRUE(answerer->sawText("Please use Scrivlet to reformat dances.htm"));
    EXPECT_EQ(ReadFileBytes(site + "dances.htm"), QByteArray());
}
