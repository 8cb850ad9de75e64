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
