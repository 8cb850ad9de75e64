#include "DancePageFixture.h"
#include "core/NFForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class LocateTest : public DancePageTest {
protected:
    void SetUp() override {
        DancePageTest::SetUp();
        addDance("Apple", "Longways", "English", {{"Rhythm", "Reel"}});
        addDance("Banana", "Longways", "English", {{"Rhythm", "Jig"}});
        addDance("Cherry", "Longways", "English", {{"Rhythm", "Hornpipe"}});
        addDance("Banana", "Longways", "Scottish", {{"Rhythm", "Reel"}});
        event = addEvent("Club", 46000, "Night",
                         Prog("*D|Apple|Longways|English*D|Ghost|Circle|Mixer§2*N|tea*D|GHOST|circle|mixer*"));
    }
    // The not-found dialog comes up: optionally tick "Do this for all",
    // then press the button.
    void whenNotFound(const char *button, bool forAll = false) {
        WhenModal([button, forAll](QWidget *w) {
            auto *f = qobject_cast<TNFForm *>(w);
            ASSERT_NE(f, nullptr) << "the not-found dialog did not come up";
            EXPECT_TRUE(f->ErrMsg->toPlainText().contains("Title:\tGhost\nFormat:\tCircle\nStyle:\tMixer"));
            if (forAll) QTest::mouseClick(f->DoAllBox, Qt::LeftButton);
            QTest::mouseClick(f->findChild<QPushButton *>(button), Qt::LeftButton);
        });
    }
    int dances() { return scalar("SELECT count(*) FROM Dances").toInt(); }
    qint64 event = 0;
};

} // namespace

TEST_F(LocateTest, EachOrderFindsTheDanceInAnyCaseAndTheOrderBoxKeepsIt) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    const QStringList orders{"FST", "FTS", "FSRT", "TSF"};
    for (int entry : {2, 1, 3, 0}) {
        form->LocateDance("Cherry", "longways", "ENGLISH");
        form->DOrderBox->setCurrentIndex(entry);
        form->DOrderChange();
        EXPECT_EQ(DancesData.indexName(), orders[entry]);
        EXPECT_EQ(IniFile->ReadString("System", "DOrder", ""), orders[entry]);
        EXPECT_EQ(shownTitle(), QStringLiteral("Cherry")) << "the order box keeps the shown dance";
        // With FSRT the wanted Banana comes after Cherry (Hornpipe) in its Format and Style.
        form->LocateDance("banana", "Longways", "English");
        EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "English"})) << orders[entry].toStdString();
        form->LocateDance("Banana", "Longways", "SCOTTISH");
        EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "Scottish"})) << orders[entry].toStdString();
    }
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(LocateTest, ADanceTheFilterHidesAsksToRemoveTheFilter) {
    writeIni("DOrder=TSF\r\n");
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Banana", "Longways", "Scottish");
    filterDances("Style", "Scottish");
    // The same title in another Style is shown, but it is not the dance asked for.
    answerer->script(ResultNo);
    EXPECT_THROW(form->LocateDance("Banana", "Longways", "English"), SilentAbort);
    ASSERT_EQ(answerer->boxes.size(), 1);
    EXPECT_EQ(answerer->boxes[0].text, QStringLiteral("Dance not available - remove filter?"));
    EXPECT_EQ(answerer->boxes[0].helpContext, 30420);
    EXPECT_TRUE(DancesData.Filtered());

    answerer->script(ResultYes);
    form->LocateDance("Banana", "Longways", "English");
    EXPECT_FALSE(DancesData.Filtered());
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Banana", "Longways", "English"}));
}

TEST_F(LocateTest, PanicOpensHelpWithoutTheDialog) {
    open();
    EXPECT_THROW(form->LocateDance("Panic!", "", ""), SilentAbort);
    EXPECT_EQ(helps, QList<int>{55010});
    EXPECT_EQ(dances(), 4);
}

TEST_F(LocateTest, ExitIsOnlyLogged) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    whenNotFound("CancelBtn");
    EXPECT_THROW(form->LocateDance("Ghost", "Circle", "Mixer"), EQuietError);
    EXPECT_TRUE(logText().contains("Dance not Found in Dances table:"));
    EXPECT_TRUE(logText().contains("Ghost\rHex: G 47  h 68  o 6F  s 73  t 74  "));
    EXPECT_TRUE(logText().contains("Cancel"));
    EXPECT_EQ(dances(), 4);
    EXPECT_EQ(programmeOf(event), Prog("*D|Apple|Longways|English*D|Ghost|Circle|Mixer§2*N|tea*D|GHOST|circle|mixer*"));
}

TEST_F(LocateTest, NoteConvertsEveryOccurrenceAndStoresTheEvent) {
    open();
    form->PC->setCurrentWidget(form->EventPage);
    whenNotFound("NoteBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_TRUE(MissingMet);
    EXPECT_EQ(programmeOf(event),
              Prog("*D|Apple|Longways|English*N|Ghost|Circle|Mixer (dance has been deleted)*N|tea*"
                   "N|GHOST|circle|mixer (dance has been deleted)*"));
    EXPECT_EQ(EventsData.State(), DatasetState::Browse);
    // A later miss of the same display passes silently and changes nothing.
    form->LocateDance("Nobody", "Circle", "Mixer");
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(dances(), 4);
}

TEST_F(LocateTest, AnItemInOtherCaseIsConvertedToo) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    whenNotFound("NoteBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_FALSE(programmeOf(event).contains("D|Ghost"));
    EXPECT_FALSE(programmeOf(event).contains("D|GHOST"));
    EXPECT_TRUE(programmeOf(event).contains(Prog("*N|GHOST|circle|mixer (dance has been deleted)*")));
}

TEST_F(LocateTest, DoThisForAllMakesLaterMissesSilent) {
    addEvent("Club", 46001, "Second", Prog("*D|Ghost|Circle|Mixer*D|Wraith|Circle|Mixer*"));
    open();
    form->PC->setCurrentWidget(form->DancePage);
    whenNotFound("NoteBtn", true);
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_TRUE(NotFoundForAll);
    EventsData.Last();
    // No dialog now: the watchdog would catch one.
    form->LocateDance("Wraith", "Circle", "Mixer");
    EXPECT_EQ(EventsData.FieldByName("Programme").AsString(),
              Prog("*D|Ghost|Circle|Mixer*N|Wraith|Circle|Mixer (dance has been deleted)*"));
}

TEST_F(LocateTest, GenerateMakesTheDanceWithoutARenameQuestion) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    form->LocateDance("Apple", "Longways", "English"); // a dance has been shown
    whenNotFound("GenBtn");
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_EQ(dances(), 5);
    EXPECT_EQ(scalar("SELECT Instructions FROM Dances WHERE Title='Ghost'").toString(), QStringLiteral("Generated Dance"));
    EXPECT_TRUE(SameDanceKey(shownKey(), {"Ghost", "Circle", "Mixer"}));
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_TRUE(programmeOf(event).contains("D|Ghost|Circle|Mixer§2"));
    EXPECT_TRUE(logText().contains("Generate"));
}

TEST_F(LocateTest, NoDialogWhileAnErrorIsBeingHandled) {
    open();
    form->PC->setCurrentWidget(form->DancePage);
    StandIn::InErrorHandler = true;
    form->LocateDance("Ghost", "Circle", "Mixer");
    EXPECT_TRUE(answerer->boxes.isEmpty());
    EXPECT_EQ(dances(), 4);
    EXPECT_FALSE(logText().contains("Dance not Found"));
}
