#include "tests/programme/ProgrammeTestHelpers.h"

#include "app/OrgForm.h"
#include "base/AppState.h"
#include "core/startup/Settings.h"
#include "programme/evaluation/ProgrammeData.h"
#include "programme/rows/ProgrammeRows.h"
#include "TestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTest>
#include <stdexcept>

namespace {

QColor Background(const QWidget *w) { return w->palette().color(QPalette::Window); }
QColor FontColour(const QWidget *w) { return w->palette().color(QPalette::WindowText); }
QColor Rgb2Q(const Rgb &c) { return QColor(c.r, c.g, c.b); }

const char *const DisplaySection = "[Display]\r\nTime=40\r\nTitle=200\r\nFormat=80\r\nStyle=80\r\n"
                                   "Lvl=24\r\nCalled=30\r\nRecent=30\r\nLastC=70\r\nLastH=70\r\n";

class OrgFormProgrammeTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        makeForm(QByteArray());
    }
    void TearDown() override {
        form.reset();
        QuillaryTest::TearDown();
    }

    // A main window on a settings file with the programme columns and extra.
    void makeForm(const QByteArray &extra) {
        form.reset();
        WriteFileBytes(path(QStringLiteral("Quillary.ini")),
                       QByteArray("[System]\r\nDBName=Quillary.mdb\r\n") + DisplaySection + extra);
        IniFile = std::make_unique<TIniFile>(path(QStringLiteral("Quillary.ini")));
        form = std::make_unique<TOrgForm>();
        form->resize(1200, 800);
        form->show();
        // The start-up is not wanted here: only the window.
        QCoreApplication::removePostedEvents(form.get(), QEvent::MetaCall);
        QCoreApplication::processEvents();
        dances = std::make_shared<MemoryDanceLookup>();
        history = std::make_shared<MemoryEventHistory>();
        form->SetEvaluationSources([this] {
            return EvaluationSources{dances, history, QDate(2026, 12, 6)};
        });
    }

    QString sep(const char *text) const { return Sep(text, ProgrammeSeparator); }
    QList<TItem *> &items() const { return form->Rows->ItemList; }
    TItem *row(int i) const { return items().value(i); }
    QLabel *label(int i, const char *name) const {
        return form->Rows->FindItemLabel(row(i), QLatin1String(name));
    }
    void addDance(const char *title, const char *format, const char *style, const char *lvl,
                  const char *called, const char *timing) {
        dances->add(DanceKey{title, format, style},
                    DanceFields{{"Lvl", lvl}, {"Called", called}, {"Timing", timing}});
    }
    // Shows the programme as the Events page would, then evaluates it.
    void showAndEvaluate(const char *programme) {
        form->ShowProgText(true, sep(programme));
        form->Evaluate();
    }

    std::unique_ptr<TOrgForm> form;
    std::shared_ptr<MemoryDanceLookup> dances;
    std::shared_ptr<MemoryEventHistory> history;
};

} // namespace

TEST_F(OrgFormProgrammeTest, RowsOfTheProgrammeUnderTheColumnTitles) {
    ProgrammeSeparator = SepEuro;
    const ProgrammeRead read =
        form->ShowProgText(true, sep("~O|Evening~D|Hole|Longways|Reel§2~N|walk~O|Interval~"));
    EXPECT_FALSE(read.repaired);
    ASSERT_EQ(items().size(), 5);
    auto *dance = qobject_cast<TDance *>(row(1));
    ASSERT_TRUE(dance);

    TDance *titles = form->Rows->TitleRow;
    ASSERT_TRUE(titles);
    EXPECT_EQ(titles->columns.size(), dance->columns.size());
    EXPECT_EQ(titles->y() + 16, form->Body->y());

    // The rows go back into the programme string in the separator in use.
    form->SerialiseRows();
    EXPECT_EQ(form->ProgText, sep("~O|Evening~D|Hole|Longways|Reel§2~N|walk~O|Interval~"));
}

TEST_F(OrgFormProgrammeTest, EvaluationFillsTheColumnsAndTheAverageRow) {
    struct Case {
        const char *name;
        QByteArray timings;
        const char *finish; // the third dance (level 2, no Timing) ends then
    };
    const Case cases[] = {
        {"every level ten minutes", QByteArray(), "8:02"},
        {"the time table of the settings", "[Timings]\r\n1=8\r\n2=9\r\n3=10\r\n4=10\r\n5=11\r\n"
                                           "6=12\r\n7=12\r\n8=13\r\n9=14\r\n",
         "8:01"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        makeForm(c.timings);
        addDance("Hole", "Longways", "Reel", "3", "12", "10");
        addDance("Jig", "Circle", "Jig", "1", "4", "12");
        addDance("Fling", "Square", "Polka", "2", "", "");
        history->events = {
            {QDate(2026, 11, 1), "Barn", sep("~D|Jig|Circle|Jig~")},
            {QDate(2026, 11, 26), "Hall", sep("~D|Hole|Longways|Reel~")},
            {QDate(2026, 12, 6), "Hall", QString()},
            {QDate(2026, 12, 20), "Barn", sep("~D|Fling|Square|Polka~O|Next time~")},
        };
        history->shown = 2;
        form->Org->setText(QStringLiteral("Hall"));
        form->ETime->setText(QStringLiteral("7:30"));
        showAndEvaluate("~D|Hole|Longways|Reel~D|Jig|Circle|Jig~D|Fling|Square|Polka~");
        ASSERT_EQ(items().size(), 4);

        EXPECT_EQ(label(1, "Time")->text(), QStringLiteral("7:40"));
        EXPECT_EQ(label(0, "Lvl")->text(), QStringLiteral("3"));
        EXPECT_EQ(label(0, "Called")->text(), QStringLiteral("12"));

        // Ten days before, for this organiser: red, with its hint.
        EXPECT_EQ(label(0, "LastC")->text(), QStringLiteral("26-Nov-26"));
        EXPECT_EQ(label(0, "LastC")->toolTip(), QStringLiteral("Last called: Thu 26-Nov-26 for Hall"));
        EXPECT_EQ(Background(label(0, "LastC")), Rgb2Q(Red));
        EXPECT_EQ(label(0, "Recent")->text(), QStringLiteral("1"));
        // Five weeks before, for another organiser: no colour.
        EXPECT_EQ(label(1, "LastC")->text(), QStringLiteral("1-Nov-26"));
        EXPECT_FALSE(label(1, "LastC")->autoFillBackground());
        // Booked a fortnight ahead.
        EXPECT_EQ(Background(label(2, "LastC")), Rgb2Q(Orange));
        EXPECT_EQ(label(2, "LastC")->toolTip(), QStringLiteral("To be called: Sun 20-Dec-26 for Barn"));

        auto *average = qobject_cast<TNotes *>(row(3));
        ASSERT_TRUE(average);
        // (3 + 1 + 2) / 3 = 2, a whole number.
        EXPECT_EQ(average->text(), QStringLiteral("Average Level: 2    Calculated finish time: ") +
                                       QLatin1String(c.finish));
        EXPECT_FALSE(form->Rows->NoScroll);
    }
}

TEST_F(OrgFormProgrammeTest, APauseHeadingGetsItsPlaceAndTheTimeBefore) {
    addDance("Hole", "Longways", "Reel", "3", "", "10");
    form->ETime->setText(QStringLiteral("19.30-22.30"));
    showAndEvaluate("~O|Evening~D|Hole|Longways|Reel~O|Interval~");
    // Half-way through the evening after the pause: (1350 - 1170 - 30 + 15)
    // div 2 = 82 minutes after 19.30 is 20.52, rounded down to 20.50.
    EXPECT_EQ(row(2)->caption(), QStringLiteral("Interval » 20.50 - 21.20"));
    QLabel *pause = label(2, "Time");
    EXPECT_EQ(pause->text(), QStringLiteral("19.40"));
    // In black and plain, although the row's own font is blue.
    EXPECT_EQ(FontColour(row(2)), Rgb2Q(Blue));
    EXPECT_EQ(FontColour(pause), Rgb2Q(Black));
    EXPECT_FALSE(pause->font().bold());
}

TEST_F(OrgFormProgrammeTest, ALevelMessageKeepsTheSelectionAndWhatWasDone) {
    addDance("Hole", "Longways", "Reel", "3", "", "10");
    addDance("Bad", "Longways", "Reel", "12", "", "10");
    form->ETime->setText(QStringLiteral("7.30"));
    form->ShowProgText(true, sep("~D|Hole|Longways|Reel~D|Bad|Longways|Reel~D|Hole|Longways|Reel~"));
    form->Rows->SelectItem(row(2));
    ASSERT_EQ(ThisIndex, 2);
    EXPECT_THROW(form->Evaluate(), SilentAbort);
    EXPECT_EQ(answerer->texts(), QStringList({"Bad\nLevel must be 1-9"}));
    EXPECT_EQ(ThisIndex, 2);
    EXPECT_FALSE(form->Rows->NoScroll);
    EXPECT_EQ(label(0, "Time")->text(), QStringLiteral("7.30"));
    EXPECT_EQ(label(2, "Time")->text(), QString());
    // The average row is left as it was.
    EXPECT_EQ(qobject_cast<TNotes *>(row(3))->text(), QStringLiteral("Average Level: ?"));
}

TEST_F(OrgFormProgrammeTest, NoLevelsNoAverageRow) {
    addDance("Hole", "Longways", "Reel", "", "", "");
    form->ShowProgText(true, sep("~O|Evening~D|Hole|Longways|Reel~N|walk~"));
    ASSERT_EQ(items().size(), 4);
    TItem *average = row(3);
    form->Rows->SelectItem(row(1));
    form->Evaluate();
    ASSERT_EQ(items().size(), 3);
    EXPECT_FALSE(items().contains(average));
    EXPECT_EQ(ThisIndex, 1);
    EXPECT_EQ(Background(row(1)), Rgb2Q(SelectedRow));
    // Nothing of the note row is left to save.
    form->SerialiseRows();
    EXPECT_EQ(form->ProgText, sep("~O|Evening~D|Hole|Longways|Reel~N|walk~"));
}

TEST_F(OrgFormProgrammeTest, CheckAllKeepsTheRowsOutOfSight) {
    struct Case {
        const char *command; // objectName of the command in progress, or none
        bool shown;
    };
    for (const Case c : {Case{nullptr, true}, Case{"CheckAll", false}, Case{"Other", true}}) {
        SCOPED_TRACE(c.command ? c.command : "none");
        QAction item;
        if (c.command) {
            item.setObjectName(QLatin1String(c.command));
            CommandItem = &item;
        }
        form->ShowProgText(true, sep("~D|Hole|Longways|Reel~"));
        form->Body->hide();
        form->Evaluate();
        EXPECT_EQ(form->Body->isVisible(), c.shown);
        CommandItem = nullptr;
    }
}

TEST_F(OrgFormProgrammeTest, HeadingsOnlyViewShowsSessionsAndIsNeverSaved) {
    const QString programme = sep("~O|Evening~D|Hole|Longways|Reel~O|Interval~O|Late~N|x~");
    StoreOption(QStringLiteral("Headings"), true);
    form->ShowProgText(true, programme);
    ASSERT_EQ(items().size(), 2);
    EXPECT_EQ(row(0)->caption(), QStringLiteral("Evening"));
    EXPECT_EQ(row(1)->caption(), QStringLiteral("Late"));
    EXPECT_THROW(form->SerialiseRows(), std::logic_error);
    EXPECT_EQ(form->ProgText, programme);

    StoreOption(QStringLiteral("Headings"), false);
    form->ShowProgText(false);
    EXPECT_EQ(items().size(), 6);
}
