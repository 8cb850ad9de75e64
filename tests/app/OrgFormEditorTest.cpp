#include "EventFormFixture.h"

#include <QAction>
#include <QMenu>

namespace {
class OrgFormEditorTest : public EventFormTest {};
} // namespace

TEST_F(OrgFormEditorTest, PopupCopiesASectionPastesItAndInserts) {
    addDance("A");
    addDance("B");
    open(addEvent("Club", 2, Prog("~O|Club~D|A|Longways|English~O|Second~D|B|Longways|English~")));
    auto item = [&](const char *name) { return form->DPopup->findChild<QAction *>(QLatin1String(name)); };
    form->Rows->SelectItem(form->Rows->ItemList[3]);
    item("CopySect")->trigger();
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    item("Paste")->trigger();
    EXPECT_EQ(form->ProgText, Prog("~O|Club~N|Inserted ...~O|Second~D|B|Longways|English~N|End inserted"
                                   "~D|A|Longways|English~O|Second~D|B|Longways|English~"));
    EXPECT_TRUE(EventChanged);
    item("InsI")->trigger();  // after the selected heading, and selected
    EXPECT_TRUE(form->ProgText.startsWith(Prog("~O|Club~O|Interval~N|Inserted ...~")));
    EXPECT_EQ(form->Rows->ThisItem, form->Rows->ItemList[1]);
    EXPECT_TRUE(answerer->texts().isEmpty());
}
