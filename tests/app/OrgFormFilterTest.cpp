#include "app/OrgForm.h"
#include "core/filter/FilterCommands.h"
#include "core/filter/FiltForm.h"
#include "core/filter/Tags.h"
#include "core/services/MainWindowLink.h"
#include "core/startup/Settings.h"
#include "platform/rtf/RichEdit.h"
#include "platform/sqlite/Dataset.h"
#include "programme/rows/ProgrammeRows.h"
#include "ModalDriver.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

namespace {

class OrgFormFilterTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ResetFilterState();
        ResetTagState();
        ResetFilterCommands();
        ProgrammeSeparator = SepDot;
        WriteFileBytes(path("Quillary.ini"), "[System]\r\nDBName=Quillary.mdb\r\n");
        IniFile = std::make_unique<TIniFile>(path("Quillary.ini"));
        db.create(path("Test.mdb"));
        db.execRaw("PRAGMA synchronous=OFF");
        for (const char *t : {"Reel of Tulloch", "Reel", "Jig", "Waltz", "Hornpipe Reel"})
            db.execRaw(QString("INSERT INTO Dances (Title, Format, Style) VALUES ('%1', 'Longways', 'English')").arg(t));
        events = std::make_unique<Dataset>(db, "Events");
        events->setIndexName("EDate");
        events->open();
        dances = std::make_unique<Dataset>(db, "Dances");
        dances->setIndexName("FST");
        dances->open();
        form = std::make_unique<TOrgForm>();
        BindFilterDatasets(&db, events.get(), dances.get());
        form->PC->setCurrentWidget(form->DancePage);
    }
    void TearDown() override {
        form.reset();
        ResetFilterCommands();
        ResetFilterState();
        ResetTagState();
        dances.reset();
        events.reset();
        db.close();
        WindowTest::TearDown();
    }
    void focusIn(QWidget *w) {
        QFocusEvent e(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }

    Database db;
    std::unique_ptr<Dataset> events, dances;
    std::unique_ptr<TOrgForm> form;
};

} // namespace

TEST_F(OrgFormFilterTest, FilterOnTheTitleBoxThenTheIndicatorEndsIt) {
    EXPECT_EQ(form->Instructions->palette().color(QPalette::Base), QColor(210, 255, 255))
        << "the instructions start in the colour a filter leaves them in";
    EXPECT_FALSE(form->DFiltered->isVisibleTo(form.get()));
    focusIn(form->Title);
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<TFiltForm *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Filter");
        EXPECT_EQ(dialog->Info->text(), "Enter value for:  Title");
        QTest::keyClicks(dialog->UFind, "reel");
        QTest::keyClick(dialog->UFind, Qt::Key_Return);
    });
    form->FilterItem->trigger();
    EXPECT_TRUE(dances->Filtered());
    EXPECT_EQ(dances->VisibleCount(), 3);
    EXPECT_TRUE(form->DFiltered->isVisibleTo(form.get()));
    EXPECT_EQ(form->DFiltered->toolTip(), "Dances are filtered:  Title contains reel");
    EXPECT_EQ(form->windowTitle(), "Quillary displaying 3 records      Dances are filtered:  Title contains reel");
    EXPECT_EQ(form->Title->palette().color(QPalette::Base), QColor(255, 255, 128));

    // A second condition from the "+" button, on the form that the table
    // view of the filtered dances covers.
    form->FormViewClick();
    focusIn(form->Style);
    WhenModal([](QWidget *w) {
        auto *dialog = qobject_cast<TFiltForm *>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Multi-filter");
        QTest::keyClicks(dialog->UFind, "engl");
        QTest::mouseClick(dialog->OKBtn, Qt::LeftButton);
    });
    QTest::mouseClick(form->DMultiBtn, Qt::LeftButton);
    EXPECT_EQ(form->DFiltered->toolTip(), "Dances are filtered:  Title contains reel, and Style contains engl");

    QTest::mouseClick(form->DFiltered, Qt::LeftButton);
    EXPECT_FALSE(dances->Filtered());
    EXPECT_FALSE(form->DFiltered->isVisibleTo(form.get()));
    EXPECT_EQ(form->windowTitle(), "Quillary displaying 5 records      ");
    EXPECT_EQ(form->Title->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(form->Instructions->palette().color(QPalette::Base), QColor(210, 255, 255));
}

// F3 selects the first dance row of the shown programme whose title holds
// the answer, ignoring case; the rows as shown count, not the stored text.
TEST_F(OrgFormFilterTest, FindDanceSelectsTheProgrammeRow) {
    const QString dot(SepDot);
    form->ShowProgText(true, dot + "O|Evening" + dot + "D|Jig|Longways|English" + dot + "N|Reel next" + dot +
                                 "D|Hornpipe Reel|Longways|English" + dot + "D|Reel|Longways|English" + dot);
    ASSERT_GE(form->Rows->ItemList.size(), 5);
    WhenModal([](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), "Enter part of dance in this event");
        auto *edit = w->findChild<QLineEdit *>();
        ASSERT_NE(edit, nullptr);
        QTest::keyClicks(edit, "REEL");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    form->FindDance->trigger();
    EXPECT_EQ(ThisIndex, 3) << "the note mentioning a reel is not a dance row";
    EXPECT_EQ(form->Rows->ThisItem, form->Rows->ItemList[3]);
}

// The focus control that "Set all" and "Change all" act on: the box or check
// box last focused on the page shown, or the control last filtered on when
// that came later.
TEST_F(OrgFormFilterTest, FocusControlIsTheLastFocusedOrFilteredControl) {
    FocusControl focus;
    EXPECT_FALSE(form->Focus(&focus)) << "nothing focused yet";

    form->PC->setCurrentWidget(form->EventPage);
    focusIn(form->Prv);
    ASSERT_TRUE(form->Focus(&focus));
    EXPECT_EQ(focus.table, "Events");
    EXPECT_EQ(focus.field, "Prv");
    EXPECT_TRUE(focus.isCheckBox);

    form->PC->setCurrentWidget(form->DancePage);
    EXPECT_FALSE(form->Focus(&focus)) << "the Events page's box is not the Dances page's";
    dances->First();
    focusIn(form->Title);
    ASSERT_TRUE(form->Focus(&focus));
    EXPECT_EQ(focus.table, "Dances");
    EXPECT_EQ(focus.field, "Title");
    EXPECT_EQ(focus.text, form->Title->text());
    EXPECT_FALSE(focus.isCheckBox);

    form->Never->trigger();
    ASSERT_TRUE(form->Focus(&focus));
    EXPECT_EQ(focus.field, "Called") << "filtered on after the Title box was focused";
    focusIn(form->Callit);
    ASSERT_TRUE(form->Focus(&focus));
    EXPECT_EQ(focus.field, "Callit");
    EXPECT_TRUE(focus.isCheckBox);
}
