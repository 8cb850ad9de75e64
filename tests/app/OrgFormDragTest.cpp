#include "EventFormFixture.h"

#include "base/Clock.h"
#include "core/views/ListForm.h"
#include "ModalDriver.h"
#include "PlainRead.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

namespace {

class OrgFormDragTest : public EventFormTest {
protected:
    // A club night: heading, three dances, an interval heading, one dance.
    void openClub() {
        for (const char *title : {"Apple", "Banana", "Cherry", "Damson"}) addDance(title);
        open(addEvent("Club", 2,
                      Prog("~O|Club~D|Apple|Longways|English~D|Banana|Longways|English~D|Cherry|Longways|English"
                           "~O|Interval~D|Damson|Longways|English~")));
        form->resize(1000, 700);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        answerer->clear();
    }
    TItem *row(int i) { return form->Rows->ItemList[i]; }
    // Each press a second after the one before, unless a test says otherwise.
    void tick(double seconds = 1) {
        now = now.addMSecs(qint64(seconds * 1000));
        const QDateTime at = now;
        SetClock([at] { return at; });
    }
    // Presses at a point of the row, moves the pointer by each step on the
    // screen and releases it there.
    void drag(QWidget *pressed, QList<int> steps, Qt::KeyboardModifiers mods = {}) {
        tick();
        const QPoint at(pressed->width() / 2, pressed->height() / 2);
        QPoint global = pressed->mapToGlobal(at);
        QTest::mousePress(pressed, Qt::LeftButton, mods, at);
        for (int dy : steps) {
            global.ry() += dy;
            QTest::mouseMove(pressed, pressed->mapFromGlobal(global));
        }
        QTest::mouseRelease(pressed, Qt::LeftButton, mods, pressed->mapFromGlobal(global));
    }
    QString serialised() {
        form->SerialiseRows();
        return form->ProgText;
    }
    QStringList titles() {
        QStringList out;
        for (TItem *r : form->Rows->ItemList)
            if (auto *d = qobject_cast<TDance *>(r)) out << d->key().Title;
        return out;
    }
    // The chooser for a row: the typed text, then the button pressed.
    void choose(TItem *target, const char *typed, const char *button) {
        WhenModal([typed, button](QWidget *w) {
            auto *chooser = qobject_cast<TListForm *>(w);
            ASSERT_NE(chooser, nullptr);
            chooser->ListSel->setText(QLatin1String(typed));
            QTest::mouseClick(chooser->findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
        });
        form->TitleClick(static_cast<TDance *>(target));
    }
    QDateTime now = QDateTime(QDate(2026, 12, 6), QTime(20, 0));
};

} // namespace

TEST_F(OrgFormDragTest, DraggingARowReordersTheProgramme) {
    openClub();
    const QString before = serialised();
    // Two pixels: neither moved nor marked edited.
    drag(static_cast<TDance *>(row(1))->Title, {1, 1});
    EXPECT_EQ(serialised(), before);
    EXPECT_FALSE(EventChanged);
    // Rows built anew during a drag (a re-show) end it quietly.
    tick();
    TItem *pressed = row(2);
    QTest::mousePress(pressed, Qt::LeftButton, {}, QPoint(200, 5));
    form->ShowEvent(false);
    QTest::mouseMove(pressed, QPoint(200, 30));
    QTest::mouseRelease(pressed, Qt::LeftButton, {}, QPoint(200, 30));
    EXPECT_EQ(serialised(), before);
    EXPECT_FALSE(EventChanged);
    // Apple down past Banana, pressed on its Title.
    drag(static_cast<TDance *>(row(1))->Title, {6, 6, 6});
    EXPECT_EQ(serialised(), Prog("~O|Club~D|Banana|Longways|English~D|Apple|Longways|English~D|Cherry|Longways|"
                                 "English~O|Interval~D|Damson|Longways|English~"));
    EXPECT_TRUE(EventChanged);
    EXPECT_EQ(ThisIndex, 2);
    EXPECT_EQ(form->Rows->ThisItem, row(2));
    // Rows lie one under the other again.
    for (int i = 1; i < form->Rows->ItemList.size(); ++i) EXPECT_EQ(row(i)->y(), row(i - 1)->y() + row(i - 1)->height());
    // Damson up past the Interval heading and Cherry, one row per pass.
    drag(row(5), {-6, -6, -6, -6, -6, -6});
    EXPECT_TRUE(serialised().contains(Prog("~D|Damson|Longways|English~D|Cherry|Longways|English~O|Interval~")));
    EXPECT_TRUE(answerer->texts().isEmpty());
    EXPECT_TRUE(form->Rows->ItemList[3]->isVisible());
}

TEST_F(OrgFormDragTest, HeadingReleasedInPlaceIsEditedOneDraggedIsNot) {
    openClub();
    drag(row(4), {12, 12});
    EXPECT_FALSE(form->NewText->isVisible());
    EXPECT_EQ(row(5)->caption(), "Interval");
    drag(row(5), {});
    EXPECT_TRUE(form->NewText->isVisible());
    EXPECT_EQ(form->NewText->text(), "Interval");
}

TEST_F(OrgFormDragTest, QuickSecondPressShowsTheDance) {
    openClub();
    for (const auto &[gap, shows] : {std::pair{0.4, false}, std::pair{0.3, true}}) {
        SCOPED_TRACE(gap);
        form->PC->setCurrentWidget(form->EventPage);
        TItem *cherry = row(3);
        tick(5);
        QTest::mouseClick(cherry, Qt::LeftButton, {}, QPoint(200, 5));
        tick(gap);
        QTest::mouseClick(cherry, Qt::LeftButton, {}, QPoint(200, 5));
        EXPECT_EQ(form->PC->currentWidget() == form->DancePage, shows);
    }
    EXPECT_EQ(form->Title->text(), "Cherry");
}

TEST_F(OrgFormDragTest, CtrlAndShiftMarksFeedCopyAndEraseSelected) {
    openClub();
    drag(row(1), {});
    drag(row(3), {}, Qt::ControlModifier);
    form->OnIdle();  // the idle colouring leaves the marks alone
    EXPECT_TRUE(row(1)->isSelected());
    form->DPopup->findChild<QAction *>("CopySel")->trigger();
    EXPECT_EQ(form->ProgClip, Prog("~D|Apple|Longways|English~D|Cherry|Longways|English"));
    // Ctrl on a marked row takes its mark away; Shift marks the run from
    // the row selected before.
    drag(row(1), {}, Qt::ControlModifier);
    EXPECT_FALSE(row(1)->isSelected());
    drag(row(2), {}, Qt::ControlModifier);
    drag(row(3), {}, Qt::ShiftModifier);
    form->DPopup->findChild<QAction *>("EraseSel")->trigger();
    EXPECT_EQ(serialised(), Prog("~O|Club~D|Apple|Longways|English~O|Interval~D|Damson|Longways|English~"));
    // A plain press leaves one row marked.
    drag(row(1), {});
    EXPECT_FALSE(row(0)->isSelected());
}

TEST_F(OrgFormDragTest, ChoosingADanceForARow) {
    openClub();
    // No to "Replace": Damson goes in after Apple, whose place it does not take.
    answerer->script(ResultNo);
    answerer->script(ResultNo);
    choose(row(1), "Damson", "OKButton");
    EXPECT_EQ(answerer->texts().value(0), "Replace Apple?");
    // Damson is on the programme: No keeps the new row blank.
    EXPECT_TRUE(answerer->texts().value(1).contains("Damson is already on the programme"));
    EXPECT_EQ(titles(), QStringList({"Apple", "", "Banana", "Cherry", "Damson"}));
    // Yes, but No to "already": Banana keeps its dance.
    answerer->clear();
    answerer->script(ResultYes);
    answerer->script(ResultNo);
    choose(row(3), "Cherry", "OKButton");
    EXPECT_EQ(titles(), QStringList({"Apple", "", "Banana", "Cherry", "Damson"}));
    // A blank row asks nothing; the next blank row is not selected past a dance.
    answerer->clear();
    answerer->script(ResultYes);
    choose(row(2), "Cherry", "OKButton");
    EXPECT_EQ(answerer->texts().size(), 1);
    EXPECT_EQ(titles(), QStringList({"Apple", "Cherry", "Banana", "Cherry", "Damson"}));
    EXPECT_TRUE(EventChanged);
    // None blanks the row and drops its recording choice.
    static_cast<TDance *>(row(3))->Recording = 2;
    choose(row(3), "", "None");
    EXPECT_EQ(titles(), QStringList({"Apple", "Cherry", "", "Cherry", "Damson"}));
    EXPECT_FALSE(serialised().contains(QChar(0xA7)));
    // Consecutive choices fill consecutive blank dances.
    form->ShowProgText(true, Prog("~D|||~D|||~"));
    choose(row(0), "Apple", "OKButton");
    EXPECT_EQ(ThisIndex, 1);
    choose(row(1), "Banana", "OKButton");
    EXPECT_EQ(titles(), QStringList({"Apple", "Banana"}));
}

TEST_F(OrgFormDragTest, SelectDPutsTheDanceOrEverySelectedDanceInOrder) {
    openClub();
    // The Dances page's dance replaces the selected one.
    form->Rows->SelectItem(row(5));
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Banana", "Longways", "English");
    answerer->script(ResultYes);
    answerer->script(ResultYes);
    form->SelectM->trigger();
    EXPECT_EQ(answerer->texts().value(0), "Replace Damson?");
    EXPECT_EQ(form->PC->currentWidget(), form->EventPage);
    EXPECT_EQ(titles(), QStringList({"Apple", "Banana", "Cherry", "Banana"}));
    // Three dances selected in the table go in after the row, in the table's order.
    form->PC->setCurrentWidget(form->DancePage);
    form->ShowGrid(false);
    QItemSelectionModel *selection = form->Grid->selectionModel();
    selection->clearSelection();
    for (int r : {2, 0, 3})
        selection->select(form->Grid->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    form->Rows->SelectItem(row(1));
    form->SelectDClick(form->SelectD);
    EXPECT_EQ(titles(), QStringList({"Apple", "Apple", "Cherry", "Damson", "Banana", "Cherry", "Banana"}));
    EXPECT_TRUE(EventChanged);
}

// Opening the Dances menu turns the table back into the form: Put into
// Programme picked from that menu still puts in every dance the table had
// selected, in its order; a menu closed unused keeps nothing for later.
TEST_F(OrgFormDragTest, PutIntoProgrammeFromTheMenuTakesTheTableSelection) {
    const struct {
        const char *name;
        bool picked; // else closed, and the command given afterwards
        const char *stored;
    } cases[] = {
        {"picked from the menu", true,
         "~O|Club~D|Apple|Longways|English~D|Banana|Longways|English~D|Apple|Longways|English"
         "~D|Cherry|Longways|English~D|Damson|Longways|English~D|Cherry|Longways|English"
         "~O|Interval~D|Damson|Longways|English~"},
        {"menu closed first", false,
         "~O|Club~D|Apple|Longways|English~D|Banana|Longways|English~D|Damson|Longways|English"
         "~D|Cherry|Longways|English~O|Interval~D|Damson|Longways|English~"},
    };
    openClub();
    const qint64 club = EventsData.GetBookmark();
    const QString start = serialised();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        form->ShowProgText(true, start);
        form->Rows->SelectItem(row(2)); // Banana
        form->PC->setCurrentWidget(form->DancePage);
        DancesData.Last(); // Damson: the dance the form shows
        form->ShowGrid(false);
        QItemSelectionModel *selection = form->Grid->selectionModel();
        selection->clearSelection();
        for (int r : {3, 0, 2})
            selection->select(form->Grid->model()->index(r, 0),
                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
        form->DancesM->popup(form->mapToGlobal(QPoint(10, 10)));
        EXPECT_TRUE(form->Grid->isHidden());
        if (c.picked) {
            form->DancesM->setActiveAction(form->SelectM);
            QTest::keyClick(form->DancesM, Qt::Key_Return);
        } else {
            QTest::keyClick(form->DancesM, Qt::Key_Escape);
            QApplication::processEvents();
            answerer->script(ResultNo);  // "Replace Banana?": a row of its own
            answerer->script(ResultYes); // Damson again
            form->SelectM->trigger();
        }
        EXPECT_FALSE(form->DancesM->isVisible());
        EXPECT_EQ(form->PC->currentWidget(), form->EventPage);
        form->SaveE->trigger();
        EXPECT_EQ(PlainRead(path("Quillary.mdb"), "SELECT Programme FROM Events WHERE rowid=?", club),
                  Prog(c.stored));
        answerer->clear();
    }
}

TEST_F(OrgFormDragTest, CtrlDownInTheDancesTableStepsByGroup) {
    for (const auto &[title, format] : {std::pair{"Ash", "Circle"}, std::pair{"Birch", "Circle"},
                                        std::pair{"Cedar", "Longways"}, std::pair{"Damson", "Longways"}})
        insert("Dances", {{"Title", title}, {"Format", format}, {"Style", "English"}});
    open(addEvent("Club", 2, Prog("~D|Ash|Circle|English~")));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->PC->setCurrentWidget(form->DancePage);
    auto stepFromFirst = [this] {
        DancesData.First();
        form->ShowGrid(false);
        QTest::keyClick(form->Grid, Qt::Key_Down, Qt::ControlModifier);
        return DancesData.FieldByName("Title").AsString();
    };
    EXPECT_EQ(stepFromFirst(), "Birch");  // every title its own group
    DancesFilter.Field[1] = "Format";
    DancesFilter.Value[1] = "l";
    DancesFilter.Count = 1;
    SetFilter(FilterTable::Dances, 3);
    EXPECT_EQ(stepFromFirst(), "Cedar");  // the formats are the groups
}

TEST_F(OrgFormDragTest, DownIntoThePickListHoldsTheFieldsLeave) {
    addEvent("Oak Club", 11, QString());
    addEvent("Oakham Club", 12, QString());
    open(addEvent("Ash Club", 2, QString()));
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (const bool enter : {true, false}) {
        SCOPED_TRACE(enter ? "Enter takes the value" : "the list is left");
        form->Org->clear();
        form->Org->setFocus();
        QTest::keyClicks(form->Org, "oak");
        ASSERT_TRUE(form->PopList->isVisible());
        QTest::keyClick(form->Org, Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), form->PopList);
        EXPECT_EQ(form->Org->text(), "oak");  // not yet tidied as a left box
        QTest::keyClick(form->PopList, Qt::Key_Down);
        if (enter) {
            QTest::keyClick(form->PopList, Qt::Key_Return);
            EXPECT_EQ(form->Org->text(), "Oakham Club");
            EXPECT_EQ(QApplication::focusWidget(), form->Org);
        } else {
            form->Event->setFocus();
            EXPECT_EQ(form->Org->text(), "Oak");
        }
        EXPECT_FALSE(form->PopList->isVisible());
    }
}

TEST_F(OrgFormDragTest, PressOnALastCalledDateShowsThatEvent) {
    WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\n[Display]\r\nTitle=200\r\nLastC=70\r\n");
    IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
    const qint64 earlier = addEvent("Barn", -7, Prog("~D|Apple|Longways|English~D|Cherry|Longways|English~"));
    openClub();
    ASSERT_NE(EventsData.GetBookmark(), earlier);
    QLabel *date = form->Rows->FindItemLabel(row(3), "LastC");
    ASSERT_NE(date, form->Rows->DummyItem);
    date->setText(FormatDdMmmYy(QDate(2026, 11, 29)));
    tick();
    QTest::mouseClick(date, Qt::LeftButton);
    EXPECT_EQ(EventsData.GetBookmark(), earlier);
    ASSERT_TRUE(qobject_cast<TDance *>(form->Rows->ThisItem));
    EXPECT_EQ(static_cast<TDance *>(form->Rows->ThisItem)->key().Title, "Cherry");
}
