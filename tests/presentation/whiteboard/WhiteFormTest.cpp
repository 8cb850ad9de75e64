#include "presentation/whiteboard/WhiteForm.h"

#include "presentation/whiteboard/LibForm.h"

#include "core/startup/Settings.h"
#include "platform/ini/IniFile.h"
#include "platform/media/WavePlayer.h"
#include "platform/net/Fetch.h"
#include "platform/net/HttpStub.h"
#include "ModalDriver.h"
#include "TestSupport.h"

#include <QCheckBox>
#include <QInputDialog>

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

struct SteppedClock : AnimationClock {
    bool running = false;
    void start(int) override { running = true; }
    void stop() override { running = false; }
    qint64 nowMs() override { return 0; }
};

struct RecordingSink : WaveSink {
    QStringList played;
    void play(const QString &path) override { played << QFileInfo(path).fileName(); }
};

class WhiteFormTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        TempFolder = folder();
        WriteFileBytes(path(QStringLiteral("Quillary.ini")), "[System]\r\nHand=0\r\n");
        SetWaveSink(&sink);
        open();
    }
    void TearDown() override {
        form.reset();
        SetWaveSink(nullptr);
        QuillaryTest::TearDown();
    }
    // A window as the menu opens it (samples seeded on the first).
    void open() {
        form.reset();
        form = std::make_unique<TWhiteForm>(nullptr, &clock);
        form->resize(1280, 800);
        form->show();
    }
    QPushButton *button(const QString &item) {
        for (QPushButton *b : form->chooserButtons())
            if (b->property("item").toString() == item) return b;
        return nullptr;
    }
    void choose(const QString &mode, const QString &item) {
        QTest::mouseClick(button(mode), Qt::LeftButton);
        QPushButton *b = button(item);
        ASSERT_NE(b, nullptr) << item.toStdString();
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Drags a board item by a distance, as the mouse does.
    void drag(const QString &name, QPoint by) {
        const QPoint from = form->Board->itemRect(name).center();
        QTest::mousePress(form->Board, Qt::LeftButton, {}, from);
        QTest::mouseMove(form->Board, from + by / 2);
        QTest::mouseMove(form->Board, from + by);
        QTest::mouseRelease(form->Board, Qt::LeftButton, {}, from + by);
    }
    StepPos at(int dancer) { return form->editor.board.value(dancer); }
    // Types the numbers into the number boxes as they come up.
    void answerNumbers(QStringList values, QWidget *previous = nullptr) {
        WhenModal([this, values](QWidget *w) {
            auto *box = qobject_cast<QInputDialog *>(w);
            ASSERT_NE(box, nullptr);
            box->setTextValue(values.first());
            if (values.size() > 1) answerNumbers(values.mid(1), w);
            box->accept();
        }, previous);
    }

    SteppedClock clock;
    RecordingSink sink;
    std::unique_ptr<TWhiteForm> form;
};

} // namespace

// Names that the captions cannot carry still open the item the button keeps.
TEST_F(WhiteFormTest, ChooserButtonsOpenTheirItems) {
    const QString longName = QStringLiteral("Sir Roger de Coverley ... long");
    IniFile->WriteString(QStringLiteral("%Rock & Roll"), QStringLiteral("1"), QStringLiteral("|1,1,0|2,2,0"));
    IniFile->WriteString(QLatin1Char('%') + longName, QStringLiteral("1"), QStringLiteral("|1,1,0|5,5,0"));
    QTest::mouseClick(button(QStringLiteral("Open")), Qt::LeftButton);
    EXPECT_EQ(button(QStringLiteral("Rock & Roll"))->text(), QStringLiteral("Rock && Roll"));
    EXPECT_EQ(button(longName)->text(), QStringLiteral("Sir Roger ..."));
    EXPECT_EQ(button(longName)->toolTip(), longName);
    for (const QString &name : {QStringLiteral("Rock & Roll"), longName, QStringLiteral("Lilli Burlero")}) {
        choose(QStringLiteral("Open"), name);
        EXPECT_EQ(form->DanceName->text(), name);
        EXPECT_EQ(form->editor.current, 1);
    }
    EXPECT_EQ(form->editor.item.dancers.size(), 4);
}

// Drag, snap, remove, save a step, save under a new name, and find it kept
// in a new window.
TEST_F(WhiteFormTest, EditingOnTheBoardIsSaved) {
    choose(QStringLiteral("New"), QStringLiteral("4 Cu"));
    drag(QStringLiteral("Man1"), QPoint(39, 11)); // 539,211 snaps to 550,200
    EXPECT_EQ(at(1), (StepPos{550, 200, 2}));
    EXPECT_EQ(sink.played.count(QStringLiteral("Quillary-ClickQuiet.wav")), 1);
    EXPECT_EQ(form->StepNo->text(), QStringLiteral("2")) << "an edit at the last step starts a new one";
    EXPECT_EQ(form->MaxStepD->text(), QStringLiteral("of 2"));

    QTest::mouseClick(form->Board, Qt::RightButton, {}, form->Board->itemRect(QStringLiteral("Wo1")).center());
    EXPECT_EQ(at(9).dir, 7);
    EXPECT_EQ(form->Board->itemRect(QStringLiteral("Wo1")).size(), QSize(86, 86)) << "odd facings are diagonal";

    answerer->script(ResultNo);
    drag(QStringLiteral("Wo2"), QPoint(0, -295)); // above y 10: put back
    EXPECT_EQ(at(10).y, 300);
    answerer->script(ResultYes);
    drag(QStringLiteral("Wo4"), QPoint(0, -495));
    EXPECT_EQ(form->editor.item.find(12), nullptr);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Remove from this formation?")));

    EXPECT_EQ(at(1), (StepPos{500, 200, 2})) << "a removal goes back to step 1";
    drag(QStringLiteral("Man1"), QPoint(39, 0));
    QTest::mouseClick(form->SaveStep, Qt::LeftButton);
    EXPECT_EQ(form->editor.item.storedSteps(), 2);
    answerer->scriptText(QStringLiteral("Two Lines"));
    QTest::mouseClick(form->SaveAs, Qt::LeftButton);
    EXPECT_EQ(IniFile->ReadString(QStringLiteral("%Two Lines"), QStringLiteral("1"), {}),
              QStringLiteral("|550,200,2")) << "a two-step item keeps its final places";

    open(); // a new window: the item is kept
    choose(QStringLiteral("New"), QStringLiteral("Two Lines"));
    EXPECT_EQ(at(1), (StepPos{550, 200, 2}));
    EXPECT_EQ(form->editor.item.find(12), nullptr);
    sink.played.clear();
    QTest::mouseClick(form->DelBtn, Qt::LeftButton); // the only step
    EXPECT_EQ(sink.played, QStringList{QStringLiteral("Quillary-Buzzer.wav")});
    EXPECT_EQ(form->editor.item.storedSteps(), 1);

    answerer->scriptText(QStringLiteral("Two Lines.Bak")); // would hide as a backup
    QTest::mouseClick(form->SaveAs, Qt::LeftButton);
    EXPECT_FALSE(IniFile->SectionExists(QStringLiteral("%Two Lines.Bak.Bak")));
    EXPECT_FALSE(IniFile->SectionExists(QStringLiteral("%Two Lines.Bak")));

    const QByteArray saved = ReadFileBytes(path(QStringLiteral("Quillary.ini")));
    drag(QStringLiteral("Man2"), QPoint(100, 0));
    answerer->script(ResultNo);
    form->close();
    EXPECT_TRUE(answerer->sawText(QStringLiteral("Save changes to this formation?")));
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("Quillary.ini"))), saved);
}

// The background picture: shown at its place, or the load error with the
// way to correct it.
TEST_F(WhiteFormTest, ShowsTheBackgroundPicture) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::green);
    ASSERT_TRUE(picture.save(path(QStringLiteral("floor.png"))));
    struct Row {
        const char *file;
        bool shown;
    } rows[] = {{"floor.png", true}, {"missing.png", false}};
    for (const Row &row : rows) {
        IniFile->ReplaceSection(QStringLiteral("%Hall"), {{QStringLiteral("1"), QStringLiteral("|100,100,0")},
                                                          {QStringLiteral("ImageTop"), QStringLiteral("60")},
                                                          {QStringLiteral("Image"), path(QLatin1String(row.file))}});
        answerer->clear();
        choose(QStringLiteral("Open"), QStringLiteral("Hall"));
        EXPECT_EQ(form->ImageM->isChecked(), row.shown) << row.file;
        EXPECT_EQ(form->Board->itemRect(QStringLiteral("Img")),
                  row.shown ? QRect(100, 60, 40, 30) : QRect()) << row.file;
        EXPECT_EQ(answerer->sawText(QStringLiteral("\nPlease right-click an empty area, click Image and correct this.")),
                  !row.shown) << row.file;
    }
}

// Play on the injected clock: one step, the images while playing, the frames
// between the two steps' places, and the Debug log written to Temp.Txt.
TEST_F(WhiteFormTest, PlayMovesTheDancers) {
    RecordingOpener opener;
    choose(QStringLiteral("Open"), QStringLiteral("Lilli Burlero"));
    form->DebugM->setChecked(true);
    form->Play->onClick();
    EXPECT_EQ(form->Play->shownImage, QStringLiteral("Stop"));
    form->OnTimer();
    form->OnTimer();
    EXPECT_GT(at(1).y, 200);
    EXPECT_LT(at(1).y, 400) << "between step 1 (500,200) and step 2 (566,400)";
    for (int i = 0; i < 100 && form->player().playing(); ++i) form->OnTimer();
    EXPECT_EQ(form->editor.current, 2);
    EXPECT_EQ(at(1), (StepPos{566, 400, 5}));
    EXPECT_EQ(form->Play->shownImage, QStringLiteral("Play"));
    EXPECT_TRUE(ReadFileBytes(path(QStringLiteral("Temp.Txt"))).contains("****** Step 1 ******"));
    EXPECT_EQ(opener.opened.size(), 1);

    // Esc above step 1 goes back to it; Space plays on; Esc at step 1 closes.
    form->FormShortCut(Qt::Key_Escape);
    EXPECT_EQ(form->editor.current, 1);
    EXPECT_TRUE(form->isVisible());
    form->FormShortCut(Qt::Key_Space);
    EXPECT_TRUE(form->player().playing());
    form->FormShortCut(Qt::Key_Escape);
    EXPECT_FALSE(form->player().playing());
    EXPECT_FALSE(form->isVisible());
}

// Import from the library on the maker's site (a local server here): a
// missing file brings nothing; the real one brings every item without its
// picture keys, and its figure goes into an open dance at the current step.
TEST_F(WhiteFormTest, ImportsTheLibraryAndAddsItsFigure) {
    HttpStub http;
    qputenv("QUILLARY_SITE", http.base().toUtf8());
    SetConnectionProbe([] { return true; });
    const QByteArray before = ReadFileBytes(path(QStringLiteral("Quillary.ini")));
    form->ImportClick(); // 404
    EXPECT_TRUE(answerer->sawText(NoInternetText));
    EXPECT_EQ(ReadFileBytes(path(QStringLiteral("Quillary.ini"))), before);

    http.replies["/Library.txt"] =
        HttpStub::reply(200, ReadFileBytes(QStringLiteral(QUILLARY_SOURCE_DIR "/resources/whiteboard/Library.txt")));
    QStringList offered;
    WhenModalOf<TLibForm>([&offered](TLibForm *lib) {
        for (QCheckBox *b : lib->rows) offered << b->text(), b->setChecked(true);
        lib->accept();
    });
    form->ImportClick();
    qunsetenv("QUILLARY_SITE");
    SetConnectionProbe({});
    EXPECT_EQ(offered, (QStringList{"Circle Left", "Square Set", "Heel and Toe Polka"}));
    const QStringList polka = IniFile->ReadSection(QStringLiteral("%Heel and Toe Polka"));
    EXPECT_TRUE(polka.contains(QStringLiteral("Text")));
    EXPECT_FALSE(polka.contains(QStringLiteral("Image")) || polka.contains(QStringLiteral("ImageTop")));

    choose(QStringLiteral("Open"), QStringLiteral("Lilli Burlero"));
    form->GoClick(QStringLiteral("GoNext"));
    answerer->script(ResultYes); // add a figure at this position?
    choose(QStringLiteral("Figure"), QStringLiteral("Circle Left"));
    EXPECT_EQ(form->DanceName->text(), QStringLiteral("Lilli Burlero"));
    EXPECT_EQ(form->MaxStepD->text(), QStringLiteral("of 33"));
    EXPECT_EQ(at(1), (StepPos{566, 400, 3})) << "dancer 1 starts the figure where it stands, as it faces";
    form->GoClick(QStringLiteral("GoNext"));
    EXPECT_EQ(at(1), (StepPos{766, 400, 5}));

    answerer->script(ResultYes); // delete this dance?
    QTest::mouseClick(form->DelDance, Qt::LeftButton);
    EXPECT_FALSE(IniFile->SectionExists(QStringLiteral("%Lilli Burlero")));
    choose(QStringLiteral("Figure"), QStringLiteral("Circle Left"));
    EXPECT_EQ(form->DanceName->text(), QStringLiteral("Circle Left")) << "with no item left, a figure opens";
}

// Range deletes, cancelling a new step and the kind question of a first save.
TEST_F(WhiteFormTest, StepCommands) {
    IniFile->WriteString(QStringLiteral("%Five"), QStringLiteral("1"),
                         QStringLiteral("|100,200,2|200,200,2|300,200,2|400,200,2|500,200,2"));
    choose(QStringLiteral("Open"), QStringLiteral("Five"));
    struct Row {
        QStringList typed; // from, to
        int steps, current;
        bool buzz;
    } rows[] = {
        {{"0"}, 5, 1, true},      // no such first step: the second is not asked
        {{"1", "5"}, 5, 1, true}, // no step would remain
        {{"2", "4"}, 2, 2, false},
    };
    for (const Row &row : rows) {
        sink.played.clear();
        answerNumbers(row.typed);
        form->DelBtnRClick();
        EXPECT_EQ(form->editor.item.storedSteps(), row.steps) << row.typed.join('-').toStdString();
        EXPECT_EQ(form->editor.current, row.current) << row.typed.join('-').toStdString();
        EXPECT_EQ(sink.played.contains(QStringLiteral("Quillary-Buzzer.wav")), row.buzz);
    }

    answerer->script(ResultNo); // save changes to this formation?
    choose(QStringLiteral("Open"), QStringLiteral("Five"));
    form->GoClick(QStringLiteral("GoLast"));
    drag(QStringLiteral("Man1"), QPoint(0, 100));
    EXPECT_EQ(form->StepNo->text() + ' ' + form->MaxStepD->text(), QStringLiteral("6 of 6"));
    QTest::mouseClick(form->CancelBtn, Qt::LeftButton);
    EXPECT_EQ(form->StepNo->text() + ' ' + form->MaxStepD->text(), QStringLiteral("5 of 5"));
    EXPECT_EQ(at(1), (StepPos{500, 200, 2}));

    answerer->scriptText(QStringLiteral("Five Figure"));
    answerer->script(ResultNo); // "&Figure"
    QTest::mouseClick(form->SaveAs, Qt::LeftButton);
    EXPECT_EQ(IniFile->ReadString(QStringLiteral("%Five Figure"), QStringLiteral("Figure"), {}), QStringLiteral("Y"));
    EXPECT_EQ(form->Save->text(), QStringLiteral("Save figure"));
    answerer->script(ResultNo); // add a figure at this position?
    QTest::mouseClick(button(QStringLiteral("Figure")), Qt::LeftButton);
    EXPECT_NE(button(QStringLiteral("Five Figure")), nullptr);
    EXPECT_EQ(form->DanceName->text(), QString()) << "No: the figure chooser shows on a cleared board";
}

// The text box: switched on, dragged by its top strip (snapping), and saved
// with its line breaks as "§" and its place.
TEST_F(WhiteFormTest, TextBoxIsDraggedAndSaved) {
    choose(QStringLiteral("New"), QStringLiteral("4 Cu"));
    form->TextM->setChecked(true);
    form->TextMClick();
    QPlainTextEdit *text = form->Board->DText;
    ASSERT_TRUE(text->isVisible());
    // The standard place (770, 450) would run off a 1280-pixel board: the box
    // comes in just far enough to stand whole on it.
    EXPECT_TRUE(form->Board->rect().contains(text->geometry())) << form->Board->width();
    EXPECT_EQ(text->geometry().right(), form->Board->rect().right());
    EXPECT_EQ(text->y(), 450);
    text->setPlainText(QStringLiteral("Lines forward\nand back"));
    const QPoint by = QPoint(398, 411) - text->pos();
    QTest::mousePress(text, Qt::LeftButton, {}, QPoint(50, 3));
    QTest::mouseMove(text, QPoint(50, 3) + by); // to 398,411
    QTest::mouseRelease(text, Qt::LeftButton, {}, QPoint(50, 3) + by);
    EXPECT_EQ(text->pos(), QPoint(400, 400));
    answerer->scriptText(QStringLiteral("With Text"));
    QTest::mouseClick(form->SaveAs, Qt::LeftButton);
    EXPECT_EQ(IniFile->ReadSectionValues(QStringLiteral("%With Text")).mid(9),
              (QStringList{QStringLiteral("Text=Lines forward§and back"), "TextTop=400", "TextLeft=400"}));

    // A place stored on a wider screen shows whole and stays as stored.
    IniFile->WriteString(QStringLiteral("%With Text"), QStringLiteral("TextLeft"), QStringLiteral("1900"));
    choose(QStringLiteral("New"), QStringLiteral("With Text"));
    EXPECT_TRUE(form->Board->rect().contains(text->geometry()));
    EXPECT_EQ(form->editor.item.textLeft, 1900);
}
