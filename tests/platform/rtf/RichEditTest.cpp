#include "platform/rtf/RichEdit.h"
#include "platform/rtf/RtfDescribe.h"
#include "TestSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <QVBoxLayout>

namespace {

const QString Arial = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}");
const QString Item1 = QStringLiteral(
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}{\\colortbl ;\\red255\\green255\\blue255;\\red1\\green0\\blue0;}\\viewkind4\\uc1\\pard\\b\\fs24  \\cf1\\highlight2  1 & 3 improper \\cf0\\highlight0\\b0\\f1\\par }");

class RichEditTest : public QuillaryTest {};

} // namespace

TEST_F(RichEditTest, LoadingKeepsModifiedFlagAndCaret) {
    RichEdit e;
    e.setRtf(Arial + "one\\par two\\par }");
    e.setSelStart(6);
    e.setModified(true);
    e.setRtf(Arial + "\\b one\\par two!\\par }");
    EXPECT_TRUE(e.modified());
    EXPECT_EQ(e.selStart(), 6);
    EXPECT_EQ(CharAt(*e.document(), "one"), "b f=Arial pt=12");
    e.setModified(false);
    e.setRtf(Arial + "x}");
    EXPECT_FALSE(e.modified());
    EXPECT_EQ(e.selStart(), 1); // as far as the new text reaches
    EXPECT_FALSE(e.document()->isUndoAvailable());
}

TEST_F(RichEditTest, PlainTextPositionsCountParagraphBreaksTwice) {
    RichEdit e;
    e.setRtf(Arial + "ab\\par cd\\line ef\\par \\par g}");
    EXPECT_EQ(e.text(), QString("ab\r\ncd\x0B" "ef\r\n\r\ng"));
    const struct {
        int start, length;
        QString sel;
    } cases[] = {
        {0, 2, "ab"}, {4, 2, "cd"}, {1, 4, "b\r\nc"}, {6, 3, "\x0B" "ef"}, {9, 5, "\r\n\r\ng"}, {13, 1, "g"},
    };
    for (const auto &c : cases) {
        e.select(c.start, c.length);
        EXPECT_EQ(e.selStart(), c.start) << c.start;
        EXPECT_EQ(e.selLength(), c.length) << c.start;
        EXPECT_EQ(e.selText(), c.sel) << c.start;
        EXPECT_EQ(e.textCursor().selectedText().size(), c.sel.size() - c.sel.count("\r\n")) << c.start;
    }
    // A position between CR and LF belongs to the end of its paragraph.
    e.setSelStart(3);
    EXPECT_EQ(e.textCursor().position(), 2);
    e.setSelStart(100);
    EXPECT_EQ(e.selStart(), 14);
}

TEST_F(RichEditTest, ReplacingTheSelectionByOneParagraphStaysInline) {
    RichEdit e;
    e.setRtf(Arial + "Hello world.}");
    e.select(6, 5);
    e.replaceSelectionRtf(Item1);
    EXPECT_EQ(e.text(), "Hello   1 & 3 improper .");
    EXPECT_EQ(CharAt(*e.document(), "1 &"), "b f=Arial pt=12 fg=#ffffff bg=#010000");
    EXPECT_EQ(CharAt(*e.document(), "."), "f=Arial pt=12");
    // Two paragraphs: the break goes in, the final mark does not.
    e.setRtf(Arial + "AB}");
    e.setSelStart(1);
    e.replaceSelectionRtf(Arial + "x\\par y\\par }");
    EXPECT_EQ(e.text(), "Ax\r\nyB");
}

TEST_F(RichEditTest, CopyRtfCopiesTheSelectedWordInline) {
    RichEdit source, target;
    source.setRtf(Arial + "one \\b two\\b0  three}");
    source.select(4, 3);
    target.setRtf(Arial + "A B}");
    target.setSelStart(2);
    CopyRTF(&source, &target);
    EXPECT_EQ(target.text(), "A twoB");
    EXPECT_EQ(CharAt(*target.document(), "two"), "b f=Arial pt=12");
    EXPECT_EQ(CharAt(*target.document(), "B"), "f=Arial pt=12");
    EXPECT_EQ(source.selLength(), 3);

    // Nothing selected: all of it, and the source keeps its caret.
    source.setSelStart(1);
    target.clear();
    CopyRTF(&source, &target);
    EXPECT_EQ(target.text(), "one two three");
    EXPECT_EQ(source.selLength(), 0);
    EXPECT_EQ(source.selStart(), 1);

    // An empty source changes nothing.
    RichEdit empty;
    CopyRTF(&empty, &target);
    EXPECT_EQ(target.text(), "one two three");
}

TEST_F(RichEditTest, CopyRichCopiesEverything) {
    RichEdit source, target;
    source.setRtf(Arial + "\\qc a\\par \\pard b\\tab c}");
    target.setRtf(Arial + "old}");
    CopyRich(&source, &target);
    EXPECT_EQ(target.rtf(), source.rtf());
    RichEdit empty;
    CopyRich(&empty, &target);
    EXPECT_EQ(target.text(), "");
}

TEST_F(RichEditTest, SelectionBackground) {
    RichEdit e;
    e.setRtf(Arial + "{\\colortbl ;\\red255\\green255\\blue0;}a\\highlight1 bc\\highlight0 d}");
    e.select(1, 2);
    ASSERT_TRUE(GetSelBackColor(&e).has_value());
    EXPECT_EQ(GetSelBackColor(&e)->name(), "#ffff00");
    e.select(0, 2);
    EXPECT_FALSE(GetSelBackColor(&e).has_value()); // mixed: undefined
    e.select(3, 1);
    EXPECT_FALSE(GetSelBackColor(&e)->isValid()); // none
    e.select(0, 4);
    SetSelBackColor(&e, QColor(0, 0, 0));
    EXPECT_EQ(GetSelBackColor(&e)->name(), "#010000");
    EXPECT_TRUE(e.rtf().contains("{\\colortbl ;\\red1\\green0\\blue0;}"));
    SetSelBackColor(&e, QColor());
    EXPECT_FALSE(GetSelBackColor(&e)->isValid());
    EXPECT_FALSE(e.rtf().contains("highlight"));
}

TEST_F(RichEditTest, SelectionStyles) {
    RichEdit e;
    e.setRtf(Arial + "ab\\b cd\\b0}");
    e.select(2, 2);
    EXPECT_TRUE(e.selBold());
    e.select(1, 2);
    EXPECT_FALSE(e.selBold()); // only partly bold
    e.setSelBold(true);
    e.setSelItalic(true);
    e.setSelUnderline(true);
    e.setSelFont("Times");
    e.setSelSize(14);
    e.setSelColour(QColor(255, 0, 0));
    EXPECT_EQ(CharAt(*e.document(), "b"), "b i u f=Times pt=14 fg=#ff0000");
    EXPECT_TRUE(e.selBold() && e.selItalic() && e.selUnderline());
    e.setSelPlain();
    e.setSelColour(QColor());
    EXPECT_EQ(CharAt(*e.document(), "b"), "f=Times pt=14");
    EXPECT_EQ(CharAt(*e.document(), "d"), "b f=Arial pt=12");
}

TEST_F(RichEditTest, PasteTakesRtfThenHtmlThenText) {
    RichEdit e;
    e.setRtf(Arial + "[]}");
    const struct {
        const char *name;
        const char *format;
        QByteArray data;
        QString text;
        QString probe, desc;
    } cases[] = {
        {"rtf", "text/rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\b bold\\b0  plain\\par }", "[bold plain]", "bold", "b f=Arial pt=12"},
        {"application rtf", "application/rtf", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\i it\\par }", "[it]", "it", "i f=Arial pt=12"},
        {"richtext", "text/richtext", "{\\rtf1{\\fonttbl{\\f0 Arial;}}\\ul u\\'e9\\par }", QStringLiteral("[u\u00E9]"), "u", "u f=Arial pt=12"},
        {"html", "text/html", "<b>h</b>", "[h]", "h", ""},
        {"text", "text/plain", "t\\{x}", "[t\\{x}]", "t", ""},
    };
    for (const auto &c : cases) {
        auto *m = new QMimeData;
        m->setData(c.format, c.data);
        QApplication::clipboard()->setMimeData(m);
        e.setRtf(Arial + "[]}");
        e.setSelStart(1);
        e.paste();
        EXPECT_EQ(e.text(), c.text) << c.name;
        if (QString(c.desc).isEmpty()) {
            EXPECT_TRUE(CharAt(*e.document(), c.probe).startsWith(QString(c.name) == "html" ? "b" : "f=Arial"))
                << c.name;
        } else {
            EXPECT_EQ(CharAt(*e.document(), c.probe), c.desc) << c.name;
        }
    }
}

TEST_F(RichEditTest, PasteHandlerComesFirst) {
    RichEdit e;
    int calls = 0;
    e.setPasteHandler([&](const QMimeData *m) {
        ++calls;
        return m->hasText() && m->text() == "mine";
    });
    QApplication::clipboard()->setText("mine");
    e.paste();
    EXPECT_EQ(e.text(), "");
    QApplication::clipboard()->setText("yours");
    e.paste();
    EXPECT_EQ(e.text(), "yours");
    EXPECT_EQ(calls, 2);
}

TEST_F(RichEditTest, CopyOffersRtfHtmlAndText) {
    RichEdit e;
    e.setRtf(Arial + "one \\b two\\b0  three}");
    e.select(4, 3);
    e.copy();
    const QMimeData *m = QApplication::clipboard()->mimeData();
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->hasFormat("text/rtf"));
    EXPECT_TRUE(m->hasHtml());
    EXPECT_EQ(m->text(), "two");
    EXPECT_EQ(QString::fromLatin1(m->data("text/rtf")), e.selectionRtf());
    RichEdit other;
    other.paste();
    EXPECT_EQ(CharAt(*other.document(), "two"), "b f=Arial pt=12");
}

TEST_F(RichEditTest, WindowKeysReachTheWindowsActions) {
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *e = new RichEdit;
    layout->addWidget(e);
    int special = 0, copies = 0;
    auto *specialAction = new QAction(&window);
    specialAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    specialAction->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(specialAction, &QAction::triggered, [&] { ++special; });
    window.addAction(specialAction);
    auto *copyAction = new QAction(&window);
    copyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    copyAction->setShortcutContext(Qt::ApplicationShortcut);
    QObject::connect(copyAction, &QAction::triggered, [&] { ++copies; });
    window.addAction(copyAction);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    e->setFocus();
    e->setRtf(Arial + "abc}");

    // Left alone, the text edit takes both keys for itself.
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(special, 0);
    EXPECT_EQ(copies, 0);

    e->setWindowKeys({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    e->setCopyLeftWithoutSelection(true);
    QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(special, 1);
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1);
    e->select(0, 2);
    QTest::keyClick(e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copies, 1); // with a selection the control copies
    EXPECT_EQ(QApplication::clipboard()->text(), "ab");
    // Tab is typed.
    e->setSelStart(1);
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(e->text(), "a\tbc");
}

TEST_F(RichEditTest, HeightFollowsTheLaidOutText) {
    RichEdit e;
    e.resize(300, 50);
    e.show();
    QSignalSpy spy(&e, &RichEdit::heightRequested);
    e.setRtf(Arial + "one\\par two\\par three\\par four\\par }");
    ASSERT_FALSE(spy.isEmpty());
    const int four = spy.last().at(0).toInt();
    EXPECT_EQ(four, e.contentHeight());
    e.setRtf(Arial + "one}");
    EXPECT_LT(spy.last().at(0).toInt(), four);
}

TEST_F(RichEditTest, LayoutOfHangingIndentAndHalfLines) {
    RichEdit e;
    e.resize(300, 400);
    e.show();
    e.setRtf(Arial + "\\viewkind4\\uc1\\pard\\sl-230\\sa100\\slmult0\\tx727\\tx3600\\tx4200\\fi-727\\li727\\fs24 A1:\\tab "
                     "Up a double and back, set and turn single, and all of that again until the line wraps twice over.\r\n"
                     "\\par \\pard\\fs12\r\n\\par \\pard\\fs24 Next\r\n\\par }");
    QApplication::processEvents();
    const QTextBlock first = e.document()->begin();
    QTextLayout *layout = first.layout();
    ASSERT_GT(layout->lineCount(), 2);
    const qreal indent = 727 / TwipsPerPixel;
    const int afterTab = int(first.text().indexOf('\t')) + 1;
    EXPECT_NEAR(layout->lineAt(0).cursorToX(afterTab), indent, 0.5);
    for (int i = 1; i < layout->lineCount(); ++i) EXPECT_NEAR(layout->lineAt(i).x(), indent, 0.5) << i;

    const QTextBlock half = first.next();
    const QTextBlock next = half.next();
    ASSERT_EQ(half.text(), "");
    EXPECT_LT(half.layout()->boundingRect().height(), next.layout()->boundingRect().height());
}

// A zoom scales sizes, indents and tab stops on screen; the stored text, a
// text loaded while zoomed and a selection come out in the stored sizes.
TEST_F(RichEditTest, ZoomScalesTheViewNotTheText) {
    RichEdit e;
    const QString text = Arial + "\\pard\\li720\\tx1440\\fs24 A1\\tab lead\\par B1\\tab back\\par }";
    e.setRtf(text);
    const QString stored = e.rtf();
    const auto view = [&e] {
        const QTextBlock b = e.document()->begin();
        return std::tuple(b.blockFormat().leftMargin(), b.blockFormat().tabPositions().value(0).position,
                          b.begin().fragment().charFormat().fontPointSize(),
                          e.document()->defaultTextOption().tabStopDistance());
    };
    const auto [margin, tab, size, distance] = view();
    e.setZoom(2);
    EXPECT_EQ(view(), std::tuple(margin * 2, tab * 2, size * 2, distance * 2));
    EXPECT_EQ(e.rtf(), stored);
    e.setRtf(text); // loading while zoomed does not scale twice
    EXPECT_EQ(view(), std::tuple(margin * 2, tab * 2, size * 2, distance * 2));
    e.select(0, 2);
    EXPECT_TRUE(e.selectionRtf().contains("\\fs24"));
    e.setZoom(1);
    EXPECT_EQ(view(), std::tuple(margin, tab, size, distance));
}
