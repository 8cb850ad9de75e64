#include "FakeProgress.h"
#include "EventFormFixture.h"
#include "ModalDriver.h"

#include "base/Messages.h"
#include "core/dances/DanceLocate.h"
#include "core/dialogs/NFForm.h"
#include "core/dialogs/Progress.h"
#include "platform/shell/DocumentOpener.h"
#include "programme/evaluation/Rules.h"

#include "base/TextRoutines.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>

namespace {

struct Opened : DocumentOpener {
    QStringList files;
    bool open(const QUrl &target) override {
        files.append(target.toLocalFile());
        return true;
    }
};

class RulesPageTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        SetProgressView(&view);
        SetDocumentOpener(&opener);
        addDance("Apple", {{"Lvl", 2}, {"Rhythm", "Jig"}});
        addDance("Bean", {{"Lvl", 5}, {"Rhythm", "Reel"}});
        club = addEvent("Club", 0, Prog("~O|Evening Dance~D|Apple|Longways|English~D|Bean|Longways|English~"));
        addEvent("Fest", 3, Prog("~O|Saturday Evening: Beginners (7:30)~D|Apple|Longways|English~"));
        open(club);
        const QList<QStringList> items = {{"Style", "English"}, {"Rhythm", "Jig", "Reel"}, {"Format", "Longways"},
                                          {"Author"}};
        for (const QStringList &list : items) {
            auto *box = new QComboBox(form->RuleGroup);
            box->addItems(list);
            form->SelBoxes.append(box);
        }
    }
    void TearDown() override {
        SetProgressView(nullptr);
        SetDocumentOpener(nullptr);
        QLocale::setDefault(QLocale::system());
        EventFormTest::TearDown();
    }
    void rule(const char *kind, const char *n1, const char *n2, int rhythm = 0) {
        form->Box2->setCurrentText(kind);
        form->Box2Change();
        form->NumBox1->setText(n1);
        form->NumBox2->setText(n2);
        form->SelBoxes[1]->setCurrentIndex(rhythm);
        form->SvRuleClick();
    }
    int pseudoEvents() { return scalar("SELECT count(*) FROM Events WHERE Org = 'Sessions'").toInt(); }

    RecordingView view;
    Opened opener;
    qint64 club = 0;
};

} // namespace

TEST_F(RulesPageTest, BuildSaveUpdateDeleteAndOpen) {
    answerer->scriptText("Club Night");
    form->NewRuleSetClick();
    EXPECT_EQ(form->windowTitle(), "Quillary: Rules for Club Night");
    EXPECT_TRUE(form->NewRule->isEnabled());
    rule("Level", "1", "3");
    rule("Some dances", "2", "2", 1);
    EXPECT_EQ(form->RuleSet->toPlainText(), "Level 1 to 3\n2 dances Rhythm=Jig");

    form->RuleSetClick(0);
    EXPECT_EQ(form->SvRule->text(), "Update rule");
    EXPECT_EQ(form->NumBox2->text(), "3");
    form->NumBox2->setText("4");
    form->SvRuleClick();
    form->RuleSetClick(1);
    EXPECT_EQ(form->SelBoxes[1]->currentText(), "Jig");
    form->DelRuleClick();
    form->SaveSet(form->SvSetBtn);
    EXPECT_EQ(IniFile->ReadSectionValues("#Club Night"), QStringList({"0=Level 1 to 4", "1="}));

    form->NoRuleSet();
    EXPECT_EQ(form->windowTitle(), "Quillary");
    WhenModal([](QWidget *w) {
        auto *list = w->findChild<QListWidget *>("OpenList");
        list->setCurrentRow(0);
        emit list->itemClicked(list->item(0));
    });
    form->OpenSet();
    EXPECT_EQ(form->RuleSet->toPlainText(), "Level 1 to 4");
    EXPECT_EQ(form->windowTitle(), "Quillary: Rules for Club Night");
}

TEST_F(RulesPageTest, ProgrammeTestLeavesTheSetBeingEdited) {
    RuleSetSection::save(*IniFile, "Dance", {"Level 1 to 3", "Rhythm=Jig"});
    answerer->scriptText("Draft");
    form->NewRuleSetClick();
    rule("Total dances", "3", "");
    form->TestClick();
    EXPECT_EQ(view.caption, "06-Dec-26: Club Dance");
    EXPECT_EQ(view.width, 350);
    EXPECT_EQ(view.lines.mid(0, 5), QStringList({"Rule set used: DANCE", "Level 1 to 3", "  => Wrong Level for Bean (5)",
                                                 "Rhythm=Jig", "  => Bean  (Reel)"}));
    EXPECT_EQ(form->RuleSet->toPlainText(), "Total dances 3");
    EXPECT_EQ(RuleSetName(), "Draft");
}

TEST_F(RulesPageTest, AProgrammeDanceGoneFromTheCatalogueGetsTheNotFoundChoices) {
    Conn.execRaw("DELETE FROM Dances WHERE Title = 'Bean'");
    Conn.tableChanged("Dances");
    RuleSetSection::save(*IniFile, "Dance", {"Total dances 2", "Rhythm=Jig"});
    bool offered = false;
    WhenModal([&](QWidget *w) {
        auto *nf = qobject_cast<TNFForm *>(w);
        ASSERT_TRUE(nf) << "the not-found dialog did not come up";
        offered = nf->ErrMsg->toPlainText().contains("Title:\tBean");
        QTest::mouseClick(nf->findChild<QPushButton *>("NoteBtn"), Qt::LeftButton);
    });
    form->TestClick();
    EXPECT_TRUE(offered);
    // Counted as a row of the programme, judged on no field.
    EXPECT_EQ(view.lines.first(), "Rule set used: DANCE");
    EXPECT_FALSE(view.lines.join("\n").contains("Bean")) << view.lines.join("\n").toStdString();
    EXPECT_TRUE(scalar("SELECT Programme FROM Events WHERE rowid=?", {club}).toString().contains("N|Bean|Longways|English"));
}

TEST_F(RulesPageTest, SessionsGatheredOnceListedAndSafeOnALoneQuote) {
    for (int run = 0; run < 2; ++run) {
        answerer->scriptText("Evening");
        form->SessClick(form->ShowSess);
    }
    EXPECT_EQ(pseudoEvents(), 1);
    EXPECT_EQ(field("Org"), "Sessions");
    EXPECT_EQ(captions().size(), 6);  // two headings, three dances, the average row

    answerer->scriptText("");
    form->SessClick(form->ListSess);
    ASSERT_EQ(opener.files.size(), 1);
    EXPECT_TRUE(LoadTextFile(opener.files[0]).contains("\r\n\r\nBeginners\r\n"));

    Conn.insertRow("Events", {{"Org", "Odd"}, {"EDate", 46400.0}, {"Programme", Prog("~O|\"Rapper sword~")}});
    answerer->scriptText("Rapper");
    EXPECT_THROW(form->SessClick(form->ListSess), SilentAbort);
    EXPECT_FALSE(form->EvPanel->isHidden());
    EXPECT_FALSE(form->Body->isHidden());
    EXPECT_FALSE(PosKept());
    EXPECT_FALSE(EventsData.ControlsDisabled());
    EXPECT_TRUE(bool(EventsData.AfterScroll));
}
