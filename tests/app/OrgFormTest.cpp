#include "app/OrgForm.h"
#include "base/AppState.h"
#include "core/startup/Settings.h"
#include "TestSupport.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>

namespace {

class OrgFormTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteFileBytes(path(QStringLiteral("Quillary.ini")), "[System]\r\nDBName=Quillary.mdb\r\n");
        IniFile = std::make_unique<TIniFile>(path(QStringLiteral("Quillary.ini")));
        form = std::make_unique<TOrgForm>();
    }
    void TearDown() override {
        form.reset();
        QuillaryTest::TearDown();
    }
    std::unique_ptr<TOrgForm> form;
};

} // namespace

TEST_F(OrgFormTest, OptionItemWritesItsMark) {
    struct Case {
        const char *item;
        const char *stored; // after one click from the default
    } cases[] = {{"IntEditor", "0"}, {"ShowRules", "0"}, {"ToFit", "1"}, {"NumLock", "1"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.item);
        QAction *a = form->OptionAction(QLatin1String(c.item));
        ASSERT_NE(a, nullptr);
        a->trigger();
        EXPECT_EQ(IniFile->ReadString(QStringLiteral("System"), QLatin1String(c.item), QString()),
                  QLatin1String(c.stored));
        EXPECT_EQ(OptionChecked(QLatin1String(c.item)), a->isChecked());
        a->trigger();
        EXPECT_EQ(OptionChecked(QLatin1String(c.item)), a->isChecked());
    }
    EXPECT_EQ(form->OptionActions.size(), OptionItems().size());
}

TEST_F(OrgFormTest, TolbrookItemsShowOrHideTheBox) {
    struct Case {
        QAction *item;
        int stored;
        const char *caption;
        bool visible;
    } cases[] = {{form->Tolbrook0, 0, "Tolbrook (hide)", false},
                 {form->Tolbrook2, 2, "Tolbrook (both)", true},
                 {form->Tolbrook1, 1, "Tolbrook (only)", true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption);
        c.item->trigger();
        EXPECT_TRUE(c.item->isChecked());
        EXPECT_EQ(IniFile->ReadInteger(QStringLiteral("System"), QStringLiteral("ShowTolbrook"), -1),
                  c.stored);
        EXPECT_EQ(form->TolbrookM->title(), QLatin1String(c.caption));
        EXPECT_EQ(!form->Tolbrook->isHidden(), c.visible);
        EXPECT_EQ(!form->TolbrookLab->isHidden(), c.visible);
    }
}
