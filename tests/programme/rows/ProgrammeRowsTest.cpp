#include "tests/programme/ProgrammeTestHelpers.h"

#include "programme/rows/ProgrammeRows.h"
#include "TestSupport.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWidget>
#include <stdexcept>

namespace {

QColor Background(const QWidget *w) { return w->palette().color(QPalette::Window); }
QColor FontColour(const QWidget *w) { return w->palette().color(QPalette::WindowText); }

class ProgrammeRowsTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        panel = std::make_unique<QWidget>();
        panel->resize(1000, 600);
        rows = new ProgrammeRows(panel.get());
        rows->settings.display = {{"Title", 200}, {"Format", 100}, {"Style", 80},
                                  {"Lvl", 20},    {"LastC", 60},   {"Time", 40}};
        rows->BuildTitleRow();
        panel->show();
    }
    void TearDown() override {
        panel.reset();
        QuillaryTest::TearDown();
    }

    QString sep(const char *text) const { return Sep(text, rows->settings.separator); }
    TDance *dance(int i) const { return qobject_cast<TDance *>(rows->ItemList.value(i)); }
    TNotes *notes(int i) const { return qobject_cast<TNotes *>(rows->ItemList.value(i)); }
    THeading *heading(int i) const { return qobject_cast<THeading *>(rows->ItemList.value(i)); }

    std::unique_ptr<QWidget> panel;
    ProgrammeRows *rows = nullptr;
};

} // namespace

TEST_F(ProgrammeRowsTest, BuildsOneRowPerItemTopDown) {
    rows->ShowProgramme(sep("~O|Evening~D|Hole|Longways|Reel§2~N|walk~O|Interval~"));
    ASSERT_EQ(rows->ItemList.size(), 5);
    ASSERT_TRUE(heading(0) && dance(1) && notes(2) && heading(3) && notes(4));
    EXPECT_EQ(notes(4)->text(), QStringLiteral("Average Level: ?"));
    EXPECT_EQ(dance(1)->Recording, 2);
    int top = 0;
    for (TItem *row : rows->ItemList) {
        EXPECT_EQ(row->y(), top);
        EXPECT_EQ(row->width(), rows->Body->width() - 16);
        EXPECT_TRUE(row->isVisible());
        top += row->height();
    }
    EXPECT_EQ(dance(1)->height(), 16);
}

TEST_F(ProgrammeRowsTest, DanceColumnsFromDisplay) {
    rows->ShowProgramme(sep("~D|Hole|Longways|Reel~"));
    TDance *row = dance(0);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->Format->geometry(), QRect(218, 1, 100, 14));
    QLabel *lvl = rows->FindItemLabel(row, QStringLiteral("Lvl"));
    EXPECT_EQ(lvl->geometry(), QRect(406, 1, 20, 14));  // after Style at 322..401 and its line
    EXPECT_EQ(LabelTagOf(lvl), FieldTag);
    // A red line one pixel wide right after the title column.
    auto *line = qobject_cast<QLabel *>(row->childAt(214, 5));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->width(), 1);
    EXPECT_EQ(Background(line), QColor(255, 0, 0));
}

TEST_F(ProgrammeRowsTest, KeyLabelsNotInDisplayAreHidden) {
    rows->settings.display = {{"Title", 200}};
    rows->FreePools();
    rows->ShowProgramme(sep("~D|Hole|Longways|Reel~"));
    EXPECT_TRUE(dance(0)->Title->isVisible());
    EXPECT_FALSE(dance(0)->Format->isVisible());
    EXPECT_FALSE(dance(0)->Style->isVisible());
    // They still hold the key, so the row writes back whole.
    QString text;
    rows->SerialiseRows(text);
    EXPECT_EQ(text, sep("~D|Hole|Longways|Reel~"));
}

TEST_F(ProgrammeRowsTest, PooledRowShowsNothingOfThePreviousEvent) {
    rows->ShowProgramme(sep("~D|Hole|Longways|Reel~O|Half~"));
    TDance *first = dance(0);
    QLabel *lastC = rows->FindItemLabel(first, QStringLiteral("LastC"));
    lastC->setText(QStringLiteral("12-Nov-26"));
    lastC->setToolTip(QStringLiteral("Last called: 12-Nov-26 for Folk Club"));
    SetLabelColour(lastC, Red);
    rows->FindItemLabel(first, QStringLiteral("Lvl"))->setText(QStringLiteral("3"));
    rows->FindItemLabel(heading(1), QStringLiteral("Time"))->setText(QStringLiteral("7.30"));
    rows->SelectItem(first);
    ASSERT_EQ(Background(first), QColor(177, 140, 255));

    rows->ShowProgramme(sep("~O|Next~D|Zed|Square|Jig~"));
    ASSERT_EQ(dance(1), first);  // the same row, taken from the pool
    EXPECT_EQ(first->Title->text(), QStringLiteral("Zed"));
    EXPECT_EQ(first->Recording, 0);
    EXPECT_TRUE(lastC->text().isEmpty());
    EXPECT_TRUE(lastC->toolTip().isEmpty());
    EXPECT_FALSE(lastC->autoFillBackground());
    EXPECT_TRUE(rows->FindItemLabel(first, QStringLiteral("Lvl"))->text().isEmpty());
    EXPECT_EQ(first->Action->text(), QStringLiteral("+"));
    EXPECT_TRUE(rows->FindItemLabel(heading(0), QStringLiteral("Time"))->text().isEmpty());
    // The selection stays at its place (row 0), not with the reused row.
    EXPECT_EQ(rows->ThisIndex, 0);
    EXPECT_EQ(Background(first), QColor(214, 211, 206));
    EXPECT_FALSE(first->isSelected());
}

TEST_F(ProgrammeRowsTest, FindItemLabelFallsBackToDummy) {
    rows->ShowProgramme(sep("~O|Evening~"));
    QLabel *label = rows->FindItemLabel(heading(0), QStringLiteral("Lvl"));
    EXPECT_EQ(label, rows->DummyItem);
    EXPECT_EQ(rows->FindItemLabel(nullptr, QStringLiteral("Title")), rows->DummyItem);
    EXPECT_EQ(rows->FindItemLabel(heading(0), QStringLiteral("time")), heading(0)->Time);
}

TEST_F(ProgrammeRowsTest, PressOnRowOrPlusSelectsIt) {
    rows->ShowProgramme(sep("~D|A|B|C~O|Evening~N|note~"));
    QTest::mousePress(dance(0)->Title, Qt::LeftButton);
    EXPECT_EQ(rows->ThisItem, dance(0));
    EXPECT_EQ(Background(dance(0)), QColor(177, 140, 255));

    QTest::mouseClick(heading(1)->Action, Qt::LeftButton);
    EXPECT_EQ(rows->ThisIndex, 1);
    EXPECT_EQ(FontColour(heading(1)), QColor(0, 0, 0));
    // The earlier row is back in its table colour.
    EXPECT_EQ(Background(dance(0)), QColor(214, 211, 206));

    QTest::mousePress(notes(2)->Notes->viewport(), Qt::LeftButton);
    EXPECT_EQ(rows->ThisIndex, 2);
    EXPECT_EQ(notes(2)->Notes->palette().color(QPalette::Base), QColor(238, 230, 255));
    EXPECT_EQ(Background(heading(1)), QColor(0, 0, 255));
    EXPECT_EQ(FontColour(heading(1)), QColor(255, 255, 255));
}

TEST_F(ProgrammeRowsTest, NotesRowGrowsWithItsLines) {
    rows->ShowProgramme(sep("~N|one~N|one\r\ntwo\r\nthree~D|A|B|C~"));
    const int one = notes(0)->height();
    const int three = notes(1)->height();
    const int line = QFontMetrics(notes(0)->Notes->font()).lineSpacing();
    EXPECT_EQ(three - one, 2 * line);
    EXPECT_EQ(notes(1)->Notes->height() + 4, three);

    // Typing two more lines into the first note grows it and moves the rows below.
    const int danceTop = dance(2)->y();
    notes(0)->Notes->appendPlainText(QStringLiteral("two\nthree"));
    EXPECT_EQ(notes(0)->height(), three);
    EXPECT_EQ(dance(2)->y(), danceTop + 2 * line);
}

TEST_F(ProgrammeRowsTest, LongNoteWrapsAtTheMemoWidth) {
    rows->ShowProgramme(sep("~N|short~"));
    const int single = notes(0)->height();
    rows->ShowProgramme(sep("~N|") + QString(400, QLatin1Char('w')).replace(QStringLiteral("wwwww"), QStringLiteral("wwww ")) + sep("~"));
    EXPECT_GT(notes(0)->height(), single);
}

TEST_F(ProgrammeRowsTest, SeparatorTypedIntoNoteBecomesBlank) {
    rows->ShowProgramme(sep("~N|ab~"));
    QTest::keyClicks(notes(0)->Notes, QString(rows->settings.separator) + QStringLiteral("c"));
    QString text;
    rows->SerialiseRows(text);
    EXPECT_EQ(text.count(rows->settings.separator), 2);
    EXPECT_TRUE(text.contains(QStringLiteral(" c")));
}

TEST_F(ProgrammeRowsTest, RowsWriteBackTheirProgramme) {
    const QString stored = sep("~O|Evening~D|Hole|Longways|Reel§2~N|two\r\nlines~D|||~N|~O|Next time~D|Zed|Sq|Jig~");
    rows->ShowProgramme(stored);
    QString text = QStringLiteral("unchanged");
    rows->SerialiseRows(text);
    EXPECT_EQ(text, stored);
}

TEST_F(ProgrammeRowsTest, ReaderMessagesShownThroughMessageLayer) {
    const ProgrammeRead read = rows->ShowProgramme(sep("~Q|odd~N|a\xC2\xA0" "b~"));
    QStringList shown = answerer->texts();
    for (QString &t : shown) t = t.trimmed();
    EXPECT_EQ(shown, QStringList({"Pseudo-blank $A0 replaced by real blank $20", "Unknown item: Q|odd"}));
    EXPECT_TRUE(read.repaired);
    EXPECT_EQ(notes(0)->text(), QStringLiteral("a b"));
}

TEST_F(ProgrammeRowsTest, ReleaseItemKeepsRowsInTheirPools) {
    rows->ShowProgramme(sep("~D|A|B|C~N|x~O|H~"));
    TItem *d = dance(0);
    rows->ReleaseItem(d);
    EXPECT_FALSE(d->isVisible());
    EXPECT_TRUE(rows->DancePool.contains(d));
    const auto before = rows->DancePool.size() + rows->NotesPool.size() + rows->HeadingPool.size();
    rows->ShowProgramme(sep("~D|A|B|C~N|x~O|H~"));
    EXPECT_EQ(rows->DancePool.size() + rows->NotesPool.size() + rows->HeadingPool.size(), before - 1);
}

TEST_F(ProgrammeRowsTest, ScrollBringsSessionHeadingToTop) {
    panel->resize(1000, 200);
    QString text = sep("~O|First~");
    for (int i = 0; i < 30; ++i) text += sep("~D|A|B|C~").mid(1);
    text += sep("O|Second~");
    for (int i = 0; i < 30; ++i) text += sep("D|A|B|C~");
    rows->ShowProgramme(text);
    THeading *second = heading(31);
    ASSERT_TRUE(second);
    rows->SelectItem(dance(35));
    QScrollBar *bar = rows->Body->verticalScrollBar();
    EXPECT_EQ(bar->value(), second->y());
    // Scrolled away, a selection in the same session only keeps the row in view.
    bar->setValue(0);
    rows->SelectItem(dance(36));
    EXPECT_LT(bar->value(), second->y());
    EXPECT_GE(dance(36)->y() + dance(36)->height(), bar->value());
    // Forgotten, the session heading comes to the top again.
    rows->ForgetSession();
    rows->SelectItem(dance(36));
    EXPECT_EQ(bar->value(), second->y());
    // NoScroll (evaluation, drag) leaves the view alone.
    bar->setValue(0);
    rows->NoScroll = true;
    rows->SelectItem(dance(10));
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(ProgrammeRowsTest, HeadingCaptionShowsAmpersandOnce) {
    // Ink of the caption (white on the blue session heading), away from the bevels.
    const auto ink = [this](const char *caption) {
        rows->ShowProgramme(sep("~O|") + QString::fromUtf8(caption) + sep("~"));
        const QImage image = heading(0)->grab().toImage();
        int n = 0;
        for (int y = 3; y < image.height() - 3; ++y)
            for (int x = 20; x < image.width() - 20; ++x)
                if (QColor(image.pixel(x, y)).lightness() > 128) ++n;
        return n;
    };
    // Each "&" adds one glyph's ink: none is taken as an accelerator mark.
    const int none = ink("Rock Reel");
    const int single = ink("Rock &Reel");
    const int doubled = ink("Rock &&Reel");
    const int glyph = doubled - single;
    EXPECT_GT(glyph, 10);
    EXPECT_GT(single - none, glyph / 2);  // an underline alone would add far less
}

namespace {

// Records which handler each user action reaches.
class RecordingSink : public RowEventSink {
public:
    QStringList calls;
    void ItemMouseDown(TItem *, QMouseEvent *) override { calls << "ItemMouseDown"; }
    void ItemMouseUp(TItem *, QMouseEvent *) override { calls << "ItemMouseUp"; }
    void ItemMouseMove(TItem *, QMouseEvent *) override { calls << "ItemMouseMove"; }
    void ActionClick(TItem *) override { calls << "ActionClick"; }
    void ItemClick(THeading *) override { calls << "ItemClick"; }
    void TitleClick(TDance *) override { calls << "TitleClick"; }
    void LastCRClick(TDance *, QLabel *label) override { calls << "LastCRClick " + label->objectName(); }
    void LastHClick(TDance *, QLabel *) override { calls << "LastHClick"; }
    void NotesChange(TNotes *) override { calls << "NotesChange"; }
    void NotesMouseDown(TNotes *, QMouseEvent *) override { calls << "NotesMouseDown"; }
    void NotesRClick(TNotes *) override { calls << "NotesRClick"; }
    void NotesDblClick(TNotes *) override { calls << "NotesDblClick"; }
};

void RightClick(QWidget *w) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), w->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(w, &event);
}

} // namespace

TEST_F(ProgrammeRowsTest, EventsReachTheMainWindowHandlers) {
    rows->settings.display.append({"LastH", 50});
    rows->FreePools();
    rows->ShowProgramme(sep("~D|A|B|C~O|Evening~N|note~"));
    RecordingSink sink;
    rows->setEventSink(&sink);

    QTest::mousePress(dance(0)->Format, Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(3, 6), dance(0)->Format->mapToGlobal(QPointF(3, 6)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dance(0)->Format, &move);
    QTest::mouseRelease(dance(0)->Format, Qt::LeftButton);
    QTest::mouseClick(dance(0)->Action, Qt::LeftButton);
    RightClick(dance(0)->Title);
    RightClick(rows->FindItemLabel(dance(0), QStringLiteral("LastC")));
    RightClick(rows->FindItemLabel(dance(0), QStringLiteral("LastH")));
    QTest::mouseClick(heading(1), Qt::LeftButton);
    QTest::mousePress(notes(2)->Notes->viewport(), Qt::LeftButton);
    QTest::mouseDClick(notes(2)->Notes->viewport(), Qt::LeftButton);
    QTest::keyClick(notes(2)->Notes, Qt::Key_X);
    EXPECT_EQ(sink.calls.join(", ").toStdString(),
              std::string("ItemMouseDown, ItemMouseMove, ItemMouseUp, ActionClick, TitleClick, LastCRClick LastC, "
                          "LastHClick, ItemMouseDown, ItemMouseUp, NotesMouseDown, NotesMouseDown, "
                          "NotesDblClick, NotesChange"));
    // The main window decides what a press does: nothing was selected here.
    EXPECT_EQ(rows->ThisItem, nullptr);
    rows->setEventSink(nullptr);
}
