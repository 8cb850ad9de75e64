#include "EventFormFixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

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

TEST_F(OrgFormEditorTest, EachKeyPressActsOnce) {
    for (const char *title : {"A", "B", "C"}) addDance(title);
    open(addEvent("Hall", 3, Prog("~O|Club~D|A|Longways|English~D|B|Longways|English~D|C|Longways|English~")));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    auto target = [&] { return QApplication::focusWidget() ? QApplication::focusWidget() : form.get(); };
    auto titles = [&] {
        QStringList out;
        for (TItem *row : form->Rows->ItemList.mid(1, 3)) out.append(static_cast<TDance *>(row)->key().Title);
        return out;
    };
    QTest::keyClick(target(), Qt::Key_Down);
    EXPECT_EQ(ThisIndex, 1);
    EXPECT_FALSE(EventChanged);
    QTest::keyClick(target(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(titles(), QStringList({"B", "A", "C"}));
    EXPECT_TRUE(EventChanged);
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Down, Qt::ShiftModifier, QString(), true);
    QApplication::sendEvent(target(), &repeat);
    EXPECT_EQ(titles(), QStringList({"B", "C", "A"}));
    const qsizetype rows = form->Rows->ItemList.size();
    QTest::keyClick(target(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(form->Rows->ItemList.size(), rows + 1);
}
