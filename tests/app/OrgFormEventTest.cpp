#include "base/Log.h"
#include "base/Messages.h"
#include "core/dances/DanceLocate.h"
#include "core/dialogs/NFForm.h"
#include "ModalDriver.h"
#include "PlainRead.h"
#include "core/startup/Settings.h"
#include "presentation/editor/SpecialChars.h"
#include "EventFormFixture.h"

#include "base/Clock.h"
#include "programme/evaluation/CallCounting.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextCursor>

namespace {

class OrgFormEventTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        never = addDance("Never Called");
        four = addDance("Four Times", {{"Called", 4}, {"Callit", "Y"}, {"Lvl", 3}});
        spare = addDance("Spare One", {{"Called", 2}});
        past = addEvent("Club", -1,
                        Prog("~O|Evening~D|Never Called|Longways|English~D|||~D|Four Times|Longways|English~"
                             "O|Extras~D|Spare One|Longways|English~"),
                        {{"Fee", "50"}, {"Town", "Ashbury"}});
    }
    QVariant called(qint64 rowid) { return scalar("SELECT Called FROM Dances WHERE rowid=?", {rowid}); }
    QString stored(const char *name) {
        return scalar(QStringLiteral("SELECT %1 FROM Events WHERE rowid=?").arg(QLatin1String(name)), {past})
            .toString();
    }
    qint64 never = 0, four = 0, spare = 0, past = 0;
};

TEST_F(OrgFormEventTest, ShowEventFillsTheBoxesAndRows) {
    const qint64 e = addEvent("Hall", 3, Prog("~N|Walk\u00A0through~"),
                              {{"Band", "RECORDED music"}, {"Acknowledged", "Y"}, {"Prv", "Y"}});
    open(e);
    EXPECT_TRUE(form->IsRec->isChecked());
    EXPECT_EQ(form->DateBox->text(), QStringLiteral("Wed 9-Dec-26"));
    // The no-break space is repaired, stored and reported.
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {e}).toString(), Prog("~N|Walk through~"));
    EXPECT_EQ(form->ProgText, Prog("~N|Walk through~"));
    EXPECT_FALSE(EventChanged);
    EXPECT_FALSE(form->ContBtn->isVisibleTo(form.get()));
}

TEST_F(OrgFormEventTest, SaveCountsEachDanceOnceAndFinalises) {
    open(past);
    answerer->script(ResultYes); // count
    answerer->script(ResultNo);  // Four Times reaches 5: stays on the list
    form->SaveE->trigger();
    EXPECT_EQ(answerer->texts(),
              (QStringList{"Update counts and change \"Extras\" to \"Next time\"?",
                           "Four Times\n\nTimes called: 5\n\nRemove from \"Callit\" list?"}));
    EXPECT_EQ(called(never), QVariant(qint64(1)));
    EXPECT_EQ(called(four), QVariant(qint64(5)));
    EXPECT_EQ(called(spare), QVariant(qint64(2)));
    EXPECT_EQ(stored("Updated"), QStringLiteral("Y"));
    EXPECT_EQ(stored("Programme"), Prog("~O|Evening~D|Never Called|Longways|English~D|Four Times|Longways|English~"
                                        "O|Next time~D|Spare One|Longways|English~"));
    EXPECT_TRUE(captions().contains(QStringLiteral("Next time")));
    EXPECT_TRUE(form->Updated->isChecked());

    answerer->clear();
    form->SaveE->trigger();
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(called(never), QVariant(qint64(1)));
}

TEST_F(OrgFormEventTest, RowsNotBuiltAreCountedFromTheProgramme) {
    open(past);
    form->BuildTitleRow(); // the rows go with the pools
    ASSERT_TRUE(form->Rows->ItemList.isEmpty());
    answerer->script(ResultYes);
    answerer->script(ResultNo);
    form->SaveE->trigger();
    EXPECT_EQ(called(never), QVariant(qint64(1)));
    EXPECT_EQ(called(four), QVariant(qint64(5)));
}

// "Four Times" leaves the catalogue after the event was shown; the not-found
// dialog then gets the given button.
void RemoveFourTimesAndAnswer(const char *button) {
    Conn.execRaw("DELETE FROM Dances WHERE Title = 'Four Times'");
    Conn.tableChanged("Dances");
    ResetLocateState();
    WhenModal([button](QWidget *w) {
        auto *f = qobject_cast<TNFForm *>(w);
        ASSERT_NE(f, nullptr) << "the not-found dialog did not come up";
        EXPECT_TRUE(f->ErrMsg->toPlainText().contains("Title:\tFour Times"));
        QTest::mouseClick(f->findChild<QPushButton *>(button), Qt::LeftButton);
    });
}

TEST_F(OrgFormEventTest, ExitInTheNotFoundDialogWritesNothing) {
    open(past);
    answerer->script(ResultYes);
    RemoveFourTimesAndAnswer("CancelBtn");
    EXPECT_THROW(form->SaveERec(SaveSender::SaveE), EQuietError);
    EXPECT_EQ(called(never), QVariant());
    EXPECT_EQ(stored("Updated"), QString());
    EXPECT_TRUE(stored("Programme").contains(QStringLiteral("D|Four Times|Longways|English")));
}

TEST_F(OrgFormEventTest, DanceMadeANoteIsNotCounted) {
    open(past);
    answerer->script(ResultYes);
    RemoveFourTimesAndAnswer("NoteBtn");
    form->SaveERec(SaveSender::SaveE);
    EXPECT_EQ(called(never), QVariant(qint64(1)));
    EXPECT_EQ(stored("Updated"), QStringLiteral("Y"));
    EXPECT_EQ(stored("Programme"),
              Prog("~O|Evening~D|Never Called|Longways|English~N|Four Times|Longways|English (dance has been deleted)~"
                   "O|Next time~D|Spare One|Longways|English~"));
}

TEST_F(OrgFormEventTest, NoAnswerSavesWithoutCounting) {
    open(past);
    answerer->script(ResultNo);
    form->SaveE->trigger();
    EXPECT_EQ(called(four), QVariant(qint64(4)));
    EXPECT_EQ(stored("Updated"), QString());
    // The rows were written back: the blank dance is still there.
    EXPECT_TRUE(stored("Programme").contains(Prog("~D|||~")));
}

TEST_F(OrgFormEventTest, DateMismatchStopsTheSaveBeforeAnythingIsCounted) {
    open(past);
    form->DateBox->setText(QStringLiteral("7-Dec-26"));
    try {
        form->SaveERec(SaveSender::SaveE);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error &e) {
        EXPECT_EQ(QString::fromUtf8(e.what()),
                  QStringLiteral("Table date is 5-Dec-26 but Date box says 7-Dec-26\rI suggest you cancel changes "
                                 "(if possible) \rand then check the Events records for both these dates."));
    }
    EXPECT_EQ(called(never), QVariant());
    EXPECT_EQ(EventsData.State(), DatasetState::Edit);
}

TEST_F(OrgFormEventTest, SaveInTheHeadingsViewKeepsEveryItem) {
    open(past);
    form->Headings->setChecked(true);
    StoreOption(QStringLiteral("Headings"), true);
    form->ShowEvent(false);
    ASSERT_TRUE(form->Rows->isPartial());
    answerer->script(ResultNo);
    form->SaveERec(SaveSender::SaveE);
    EXPECT_FALSE(form->Rows->isPartial());
    EXPECT_TRUE(stored("Programme").contains(QStringLiteral("D|Spare One|Longways|English")));
}

TEST_F(OrgFormEventTest, DateBoxLeftEmptyOrChanged) {
    open(past);
    form->DateBox->setText(QString());
    form->DateBox->setModified(true);
    EXPECT_THROW(form->DateBoxExit(), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("You cannot leave the date blank.")));

    form->DateBox->setText(QStringLiteral("8-Dec-26"));
    form->DateBox->setModified(true);
    form->DateBoxExit();
    EXPECT_EQ(form->DateBox->text(), QStringLiteral("Tue 8-Dec-26"));
    EXPECT_EQ(scalar("SELECT EDate FROM Events WHERE rowid=?", {past}).toDouble(),
              DateToDayNumber(QDate(2026, 12, 8)));
}

TEST_F(OrgFormEventTest, NoteThatGrowsIsSavedAndShownAgain) {
    const qint64 e = addEvent("Hall", 3, Prog("~O|Evening~N|one line~D|Spare One|Longways|English~"));
    open(e);
    auto *note = qobject_cast<TNotes *>(form->Rows->ItemList.value(1));
    ASSERT_NE(note, nullptr);
    const int before = note->height();
    note->Notes->moveCursor(QTextCursor::End);
    note->Notes->insertPlainText(QStringLiteral("\nsecond line\nthird line"));
    EXPECT_TRUE(form->ProgText.contains(QStringLiteral("N|one line\r\nsecond line\r\nthird line")));
    auto *again = qobject_cast<TNotes *>(form->Rows->ItemList.value(1));
    ASSERT_NE(again, nullptr);
    EXPECT_GT(again->height(), before);
    EXPECT_TRUE(EventChanged);
}

TEST_F(OrgFormEventTest, AClickInANoteSelectsItsRowAndTypesIntoIt) {
    const qint64 e = addEvent("Hall", 3, Prog("~D|Spare One|Longways|English~N|Raffle~"));
    open(e);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto *note = qobject_cast<TNotes *>(form->Rows->ItemList.value(1));
    ASSERT_NE(note, nullptr);
    QTest::mouseClick(note->Notes->viewport(), Qt::LeftButton, {}, QPoint(60, 5));
    EXPECT_EQ(form->Rows->ThisItem, note);
    EXPECT_EQ(QApplication::focusWidget(), note->Notes);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" at ten"));
    EXPECT_EQ(note->text(), QStringLiteral("Raffle at ten"));
    EXPECT_TRUE(EventChanged);
}

// "Special character" from the notes pop-up: the clicked button's character
// replaces the selection of the notes the menu was opened on, and is stored.
TEST_F(OrgFormEventTest, SpecialCharacterGoesIntoTheNotes) {
    const qint64 e = addEvent("Hall", 3, Prog("~D|Spare One|Longways|English~N|Tune X~"));
    open(e);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto button = [](int code) -> QPushButton * {
        for (QPushButton *b : SpecialPanel()->findChildren<QPushButton *>())
            if (b->property("code").toInt() == code) return b;
        return nullptr;
    };
    auto *note = qobject_cast<TNotes *>(form->Rows->ItemList.value(1));
    ASSERT_NE(note, nullptr);
    // On the Events page for the selected "X" of a notes row; on the Dances
    // page at the end of the dance's notes.
    const struct {
        QWidget *page;
        QPlainTextEdit *memo;
        TNotes *row;
        int code;
        const char *after;
    } cases[] = {{form->EventPage, note->Notes, note, 0xE9, "Tune \u00E9"},
                 {form->DancePage, form->Notes, nullptr, 0xBD, "In G\u00BD"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.after);
        form->PC->setCurrentWidget(c.page);
        if (!c.row) {
            DancesData.GotoBookmark(spare);
            form->ShowDance();
            form->Notes->setFocus();
            QTest::keyClicks(form->Notes, QStringLiteral("In G"));
        }
        QTextCursor cursor = c.memo->textCursor();
        cursor.movePosition(QTextCursor::End);
        if (c.row) cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor);
        c.memo->setTextCursor(cursor);
        form->NotesRClick(c.row);
        form->NPopup->hide();
        form->Special->trigger();
        ASSERT_TRUE(SpecialPanel() && SpecialPanel()->isVisible());
        EXPECT_EQ(SpecialPanel()->parentWidget(), form.get());
        // The fractions in the display font chosen at start-up.
        ASSERT_FALSE(SpecialFont.isEmpty());
        EXPECT_EQ(button(0xBC)->font().family(), SpecialFont);
        EXPECT_NE(button(0x41)->font().family(), SpecialFont);
        QTest::mouseClick(button(c.code), Qt::LeftButton);
        EXPECT_FALSE(SpecialPanel()->isVisible());
        EXPECT_EQ(c.memo->toPlainText(), QString::fromUtf8(c.after));
        if (c.row) form->SaveE->trigger();
        else form->SaveDRec();
    }
    EXPECT_EQ(PlainRead(path("Quillary.mdb"), "SELECT Programme FROM Events WHERE rowid=?", e),
              Prog("~D|Spare One|Longways|English~N|Tune \u00E9~"));
    EXPECT_EQ(PlainRead(path("Quillary.mdb"), "SELECT Notes FROM Dances WHERE rowid=?", spare), "In G\u00BD");
}

TEST_F(OrgFormEventTest, ADoubleClickOnADanceRowShowsTheDance) {
    const qint64 e = addEvent("Hall", 3, Prog("~D|Spare One|Longways|English~D|Four Times|Longways|English~D|||~"));
    open(e);
    form->PC->setCurrentWidget(form->EventPage);
    DancesData.GotoBookmark(never);
    TItem *row = form->Rows->ItemList.value(1);
    ASSERT_NE(qobject_cast<TDance *>(row), nullptr);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_EQ(form->PC->currentWidget(), form->EventPage) << "one click only selects";
    QTest::mouseDClick(row, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseRelease(row, Qt::LeftButton, {}, QPoint(100, 5)); // and up again, as a hand's
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_EQ(form->Title->text(), QStringLiteral("Four Times"));

    // A blank dance row has nothing to show (a second later: a new press).
    const QDateTime later = Now().addSecs(1);
    SetClock([later] { return later; });
    form->PC->setCurrentWidget(form->EventPage);
    TItem *blank = form->Rows->ItemList.value(2);
    QTest::mouseClick(blank, Qt::LeftButton, {}, QPoint(100, 5));
    ASSERT_EQ(form->Rows->ThisItem, blank);
    QTest::mouseDClick(blank, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseRelease(blank, Qt::LeftButton, {}, QPoint(100, 5)); // and up again, as a hand's
    EXPECT_EQ(form->PC->currentWidget(), form->EventPage);
    EXPECT_EQ(DancesData.GetBookmark(), four);
}

// ---- field services ------------------------------------------------------------

class FieldServicesTest : public OrgFormEventTest {
protected:
    void type(QLineEdit *box, const char *text) {
        box->clear();
        box->setFocus();
        QTest::keyClicks(box, QString::fromUtf8(text));
    }
};

TEST_F(FieldServicesTest, LeavingATitleTypedInLowerCaseCapitalisesIt) {
    open(past);
    DancesData.GotoBookmark(spare);
    type(form->Title, " the hole in the wall.-");
    form->AnyExit(form->Title);
    EXPECT_EQ(form->Title->text(), QStringLiteral("The Hole in the Wall."));
    EXPECT_EQ(DancesData.FieldByName("Title").AsString(), QStringLiteral("The Hole in the Wall."));

    type(form->Title, "The hole in the wall");
    form->AnyExit(form->Title);
    EXPECT_EQ(form->Title->text(), QStringLiteral("The hole in the wall"));
}

TEST_F(FieldServicesTest, PickListOfEarlierValues) {
    addEvent("O'Brien's Club", 10, QString());
    addEvent("Oak Club", 11, QString());
    open(past);
    type(form->Org, "o'b");
    EXPECT_TRUE(form->PopList->isVisibleTo(form.get()));
    ASSERT_EQ(form->PopList->count(), 1);
    EXPECT_EQ(form->PopList->item(0)->text(), QStringLiteral("O'Brien's Club"));
    type(form->Org, "zz");
    EXPECT_FALSE(form->PopList->isVisibleTo(form.get()));
    form->RightClick(form->Org);
    EXPECT_EQ(form->PopList->count(), 3); // every organisation there is
    // A single value equal to the box's text is no choice.
    form->RightClick(form->Town);
    EXPECT_EQ(form->PopList->count(), 0);
    form->RightClick(form->Org);
    form->AnyEnter(form->Town);
    EXPECT_FALSE(form->PopList->isVisibleTo(form.get()));
}

TEST_F(FieldServicesTest, DanceChecksBeforeStoring) {
    open(past);
    DancesData.GotoBookmark(spare);
    form->KeySig->setText(QStringLiteral("G"));
    form->OwnTune->setChecked(false);
    EXPECT_THROW(form->SaveDRec(), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Key specified but not \"Own tune\".")));
    form->KeySig->clear();
    form->Lvl->setEditText(QStringLiteral("x"));
    EXPECT_THROW(form->SaveDRec(), SilentAbort);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Level must be between 0 and 9")));
    form->Lvl->setEditText(QString());
    form->SaveDRec();
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Warning: Dance level is blank.")));
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
}

} // namespace

namespace {

class SaveKeyTest : public EventFormTest {};

// Ctrl+S belongs to the page on show: on the Dances page it stores the dance
// being edited and leaves the event alone.
TEST_F(SaveKeyTest, CtrlSSavesWhatThePageShows) {
    const qint64 dance = addDance("Jig", {{"Lvl", 2}, {"Author", "Old"}});
    const qint64 event = addEvent("Club", 3, Prog("~D|Jig|Longways|English~"));
    WriteLog(QStringLiteral("START"));
    open(event);
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    form->PC->setCurrentWidget(form->DancePage);
    DancesData.GotoBookmark(dance);
    form->Author->setFocus();
    QTest::keyClick(form->Author, Qt::Key_End);
    QTest::keyClicks(form->Author, QStringLiteral(" and New"));
    QTest::keyClick(form->Author, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(DancesData.State(), DatasetState::Browse);
    EXPECT_EQ(scalar("SELECT Author FROM Dances WHERE rowid=?", {dance}).toString(), QStringLiteral("Old and New"));
    EXPECT_EQ(form->PC->currentWidget(), form->DancePage);
    EXPECT_FALSE(QString::fromLatin1(ReadFileBytes(path("Log.Txt"))).contains(QLatin1String("SaveERec")));

    form->PC->setCurrentWidget(form->EventPage);
    form->Org->setFocus();
    QTest::keyClick(form->Org, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QString::fromLatin1(ReadFileBytes(path("Log.Txt"))).contains(QLatin1String("SaveERec")));
}

} // namespace
