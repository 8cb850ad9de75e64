#include "EventFormFixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>
#include <functional>
#include <optional>

#include "core/filter/FilterCommands.h"
#include "platform/sqlite/DBNavigator.h"

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

// Emptying the programme is an edit like any other: whichever way the caller
// moves on, the emptied programme is what the event holds afterwards.
TEST_F(OrgFormEditorTest, AnEmptiedProgrammeIsKeptWhenMovingOn) {
    struct Emptying {
        const char *name;
        std::function<void(TOrgForm &)> run;
    };
    const Emptying emptyings[] = {
        {"Clear All", [](TOrgForm &f) { f.DPopup->findChild<QAction *>("ClearAll")->trigger(); }},
        {"Delete of the only row",
         [](TOrgForm &f) {
             f.Rows->SelectItem(f.Rows->ItemList[0]);
             f.DPopup->findChild<QAction *>("DeleteP")->trigger();
         }},
    };
    struct Move {
        const char *name;
        std::function<void(TOrgForm &)> run;
    };
    auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(target, k, m);
    };
    const Move moves[] = {
        {"Right", [&](TOrgForm &) { key(Qt::Key_Right); }},
        {"Left", [&](TOrgForm &) { key(Qt::Key_Left); }},
        {"a find",
         [&](TOrgForm &f) {
             SetEventChooser([] { return std::optional<EventChoice>(EventChoice{"Hall", "9-Dec-26", "Dance"}); });
             f.FindEventClick();
             SetEventChooser({});
         }},
        {"F6, then the next event",
         [&](TOrgForm &f) {
             key(Qt::Key_F6);
             EXPECT_EQ(f.PC->currentWidget(), f.DancePage);
             EXPECT_TRUE(EventChanged) << "still to save";
             f.ENav->click(NavButton::Next);
         }},
    };
    addDance("A");
    const QString full = Prog("~D|A|Longways|English~");
    const qint64 before = addEvent("Barn", 1, Prog("~N|before~"));
    const qint64 club = addEvent("Club", 2, full);
    const qint64 hall = addEvent("Hall", 3, Prog("~N|after~"));
    open(club);
    showActive();
    // F6 comes last: the field it focuses takes the arrow keys afterwards.
    for (const Move &m : moves)
        for (const Emptying &e : emptyings) {
            SCOPED_TRACE(std::string(e.name) + ", then " + m.name);
            {
                Statement reset(Conn.handle(), "UPDATE Events SET Programme=? WHERE rowid=?");
                reset.bindAll({full, club});
                reset.step();
            }
            Conn.tableChanged("Events");
            EventsData.GotoBookmark(club);
            form->ShowEvent(true);
            ASSERT_EQ(form->ProgText, full);
            e.run(*form);
            EXPECT_TRUE(form->ProgText.isEmpty());
            m.run(*form);
            EXPECT_NE(EventsData.GetBookmark(), club) << "moved on";
            EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {club}).toString(), QString());
            EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {before}).toString(), Prog("~N|before~"));
            EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {hall}).toString(), Prog("~N|after~"));
            answerer->clear();
        }
}
