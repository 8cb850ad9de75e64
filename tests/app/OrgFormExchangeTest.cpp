// The main window's exchange files, insert from list, Copy Dance, the
// recordings check and the listings, used as a caller would: through the
// menu items, with the file dialogs, boxes and opened files scripted.

#include "EventFormFixture.h"
#include "ModalDriver.h"

#include "base/TextRoutines.h"
#include "platform/shell/FilePicker.h"
#include "platform/sqlite/Dataset.h"
#include "programme/evaluation/CallCounting.h"
#include "programme/files/InsForm.h"
#include "programme/files/InsertFromList.h"

#include <QAction>
#include <QDir>
#include <QPushButton>
#include <QUrl>

namespace {

class Picker : public FilePicker {
public:
    Picker() { SetFilePicker(this); }
    ~Picker() override { SetFilePicker(nullptr); }
    bool pick(const FilePickRequest &, QString &chosen) override {
        chosen = answer;
        return !answer.isEmpty();
    }
    QString answer;
};

class OrgFormExchangeTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        QDir::setCurrent(folder());
        TempFolder = folder();
    }
    QAction *item(const char *name) { return form->findChild<QAction *>(QLatin1String(name)); }
    void showEvent(qint64 rowid) {
        form->SaveERec(SaveSender::Other);
        EventsData.GotoBookmark(rowid);
        form->ShowEvent(true);
    }
    Picker picker;
    RecordingOpener opener;
};

const char *Club = "~O|Club~D|Jig|Longways|English§2~N|two\r\nlines~D|Reel|Longways|English~";

} // namespace

TEST_F(OrgFormExchangeTest, AProgrammeSavedAndLoadedIntoAnotherEventGivesTheSameItems) {
    addDance("Jig");
    addDance("Reel");
    const qint64 club = addEvent("Club", 2, Prog(Club));
    const qint64 empty = addEvent("Hall", 9, QString());
    open(club);
    form->ProgClip = Prog("~O|cut earlier");
    picker.answer = path("club.Ev");
    item("SaveAsE")->trigger();
    EXPECT_TRUE(answerer->sawText("4 items saved as " + path("club.Ev")));
    EXPECT_EQ(answerer->boxes[0].timeoutMs, 2000);
    EXPECT_EQ(ReadFileBytes(path("club.Ev")), QByteArray("O|Club\xb7" "D|Jig|Longways|English\xa7" "2\xb7N|two\r\n"
                                                         "lines\xb7" "D|Reel|Longways|English\xb7\r\n"));
    EXPECT_EQ(form->ProgClip, Prog("~O|cut earlier"));

    showEvent(empty);
    answerer->clear();
    item("LoadFrom")->trigger();
    EXPECT_TRUE(answerer->texts().isEmpty()); // nothing to overwrite
    EXPECT_EQ(form->ProgText, Prog(Club));
    EXPECT_TRUE(EventChanged);

    // Loaded again after the first row, keeping the items (No).
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    answerer->script(ResultNo);
    item("LoadFrom")->trigger();
    EXPECT_TRUE(form->ProgText.startsWith(Prog("~O|Club~O|Club~D|Jig|Longways|English§2~")));
}

TEST_F(OrgFormExchangeTest, ADanceSavedAndLoadedIsANewUnpostedDanceWithEveryField) {
    const QString music = QStringLiteral("Band·Jigs·3·CD·116··fast·jigs.mp3\rReels·1·CD·····reels.mp3");
    addDance("Apple Cart Jig", {{"Music", music}, {"Lvl", 3}, {"Notes", "a·b"}, {"Instructions", "{\\rtf1 Lead · set}"},
                                {"Author", "Smith·Jones"}, {"OwnTune", "Y"}, {"Called", QVariant()}});
    open(addEvent("Club", 2, QString()));
    form->PC->setCurrentWidget(form->DancePage);
    picker.answer = path("apple.Da");
    item("SaveAsD")->trigger();
    EXPECT_TRUE(answerer->sawText("Dance saved as " + path("apple.Da")));
    QStringList saved;
    for (int i = 0; i < DancesData.FieldCount(); ++i) saved.append(DancesData.Fields(i).AsString());

    answerer->clear();
    item("LoadfromD")->trigger();
    EXPECT_EQ(DancesData.State(), DatasetState::Insert);
    for (int i = 0; i < DancesData.FieldCount(); ++i)
        EXPECT_EQ(DancesData.Fields(i).AsString(), saved[i]) << DancesData.Fields(i).FieldName().toStdString();
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances").toInt(), 1);

}

TEST_F(OrgFormExchangeTest, CopyDanceClearsCalledAndPrintedAndItsSaveRenamesNothing) {
    addDance("Jig", {{"Called", 7}, {"Printed", "Y"}, {"Author", "Pat"}});
    const qint64 club = addEvent("Club", 2, Prog("~D|Jig|Longways|English~"));
    open(club);
    DancesData.AfterScroll = ::DancesAfterScroll;
    form->LocateDance("Jig", "Longways", "English");
    item("DupDance")->trigger();
    EXPECT_TRUE(answerer->sawText("Copy created"));
    EXPECT_EQ(answerer->boxes[0].timeoutMs, 1000);
    EXPECT_EQ(DancesData.FieldByName("Called").AsString(), QString());
    EXPECT_EQ(DancesData.FieldByName("Printed").AsString(), QString());
    DancesData.FieldByName("Title").SetAsString("Jig Two");
    DancesData.Post();
    EXPECT_EQ(scalar("SELECT Programme FROM Events WHERE rowid=?", {club}).toString(), Prog("~D|Jig|Longways|English~"));
    EXPECT_EQ(scalar("SELECT count(*) FROM Dances WHERE Author='Pat'").toInt(), 2);
}

TEST_F(OrgFormExchangeTest, CheckRecordingsOfALiveBandOpensItsHelp) {
    addDance("Jig", {{"Music", "Band·Jigs······jig.mp3"}});
    open(addEvent("Hall", 1, Prog("~D|Jig|Longways|English~")));
    item("CheckRecs")->trigger();
    EXPECT_EQ(helps, QList<int>{54110});
    EXPECT_TRUE(answerer->texts().isEmpty());
}

TEST_F(OrgFormExchangeTest, InsertFromListPutsTheKnownTitlesAfterTheSelectedRow) {
    insert("Dances", {{"Title", "Panic!"}, {"Format", "Technique"}, {"Style", "Technique"},
                      {"Instructions", "{\\rtf1\\ansi Reel\\par Nowhere\\par The Merry Dancers\\par}"}});
    addDance("Reel");
    addDance("Merry Dancers, The");
    const qint64 club = addEvent("Club", 2, Prog("~O|First~O|Last~"));
    open(club);
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    QList<TitleState> states;
    WhenModal([&](QWidget *w) {
        auto *ins = qobject_cast<TInsForm *>(w);
        ASSERT_TRUE(ins);
        for (int i = 0; i < 3; ++i) states.append(ins->State(i));
        ins->AllBtn->click();
    });
    item("Panic")->trigger();
    EXPECT_EQ(states, (QList<TitleState>{TitleState::Known, TitleState::Unknown, TitleState::Known}));
    EXPECT_EQ(form->ProgText, Prog("~O|First~D|Reel|Longways|English~D|Merry Dancers, The|Longways|English~O|Last~"));
    EXPECT_EQ(form->PC->currentWidget(), form->EventPage);
}

TEST_F(OrgFormExchangeTest, InsertFromListMessagesOfferTheCommandsHelp) {
    insert("Dances", {{"Title", "Panic!"}, {"Format", "Technique"}, {"Style", "Technique"},
                      {"Instructions", "{\\rtf1\\ansi Nowhere\\par}"}});
    addDance("Reel");
    open(addEvent("Club", 2, Prog("~O|First~")));
    const struct {
        const char *name;
        QString list;     // the Panic! dance's instructions
        QString message;  // the box with its help
        int boxes;        // the boxes shown in all
    } table[] = {
        {"no title known", "{\\rtf1\\ansi Nowhere\\par}", "Insert from List: No dance titles found.", 2},
        {"none chosen", "{\\rtf1\\ansi Reel\\par}", "No dances selected.", 1},
    };
    for (const auto &row : table) {
        SCOPED_TRACE(row.name);
        Conn.execRaw("UPDATE Dances SET Instructions = '" + row.list + "' WHERE Title = 'Panic!'");
        Conn.tableChanged("Dances");
        answerer->clear();
        for (int i = 0; i < row.boxes; ++i) answerer->script(ResultYes);
        WhenModal([&](QWidget *w) {
            auto *ins = qobject_cast<TInsForm *>(w);
            ASSERT_TRUE(ins);
            ins->SelButton->click();
            ins->reject();
        });
        item("Panic")->trigger();
        const auto box = std::find_if(answerer->boxes.begin(), answerer->boxes.end(),
                                      [&](const BoxRequest &b) { return b.text == row.message; });
        ASSERT_NE(box, answerer->boxes.end()) << answerer->texts().join(" / ").toStdString();
        EXPECT_EQ(box->helpContext, 55250);
        EXPECT_EQ(box->caption2, "&Help");
        EXPECT_EQ(answerer->boxes.size(), row.boxes);
        EXPECT_EQ(form->ProgText, Prog("~O|First~"));
    }
}

TEST_F(OrgFormExchangeTest, ListingsWriteTheirFilesAndOpenThem) {
    addDance("Jig", {{"Instructions", "{\\rtf1\\ansi A1 lead\\par}"}, {"Notes", "see http://x.org/abc.aspx?T=3 ok"}});
    addDance("Zebra");
    const qint64 club = addEvent("Club", 2, Prog("~O|Evening~D|Jig|Longways|English~O|Interval~D|Zebra|Longways|English~"),
                                 {{"ETime", "7.30-10.30"}});
    open(club);
    form->PC->setCurrentWidget(form->EventPage);
    item("ListRTF")->trigger();
    ASSERT_EQ(opener.opened.size(), 1);
    const QString rtf = QString::fromLatin1(ReadFileBytes(QUrl(opener.opened[0]).toLocalFile()));
    EXPECT_TRUE(rtf.contains("\\cf1\\b Music Link: http://x.org/abc.aspx?T=3\\b0\\cf0 ")) << rtf.toStdString();
    item("ListText")->trigger();
    const QString text = QString::fromLatin1(ReadFileBytes(path("Prog.Txt")));
    EXPECT_TRUE(text.contains("Jig\r\n\r\nA1 lead")) << text.toStdString();
    EXPECT_TRUE(text.contains("\r\nInterval\r\n")) << text.toStdString(); // without the evaluation's times
    answerer->script(ResultYes);
    item("Titles")->trigger();
    EXPECT_EQ(ReadFileBytes(path("List.Txt")), QByteArray("Jig\r\nZebra\r\n"));
}
