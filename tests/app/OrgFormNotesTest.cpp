#include "DancePageFixture.h"
#include "ModalDriver.h"
#include "base/AppState.h"
#include "platform/net/Fetch.h"

#include "core/startup/MaintainerConfig.h"
#include "core/startup/Settings.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QTest>
#include <QTextCursor>

namespace {

class NotesLinkTest : public DancePageTest {
protected:
    void click(const QString &notes, int caret) {
        form->Notes->setPlainText(notes);
        QTextCursor cursor = form->Notes->textCursor();
        cursor.setPosition(caret);
        form->Notes->setTextCursor(cursor);
        form->FollowNoteLink(form->Notes);
    }
    RecordingOpener opener;
};

TEST_F(NotesLinkTest, DoubleClickOpensExactlyTheLinkElseTheNotesView) {
    addDance("Sloe Gin", "Longways", "English");
    open();
    WriteFileBytes(path("Tunes/sloe.pdf"), "%PDF");
    const QString notes = QStringLiteral("Tune at http://x.org/a?b=1&c=2 and Link=\"Tunes\\sloe.pdf\" here");
    click(notes, 12);
    click(notes, 45);
    EXPECT_EQ(opener.opened, QStringList({"http://x.org/a?b=1&c=2", QUrl::fromLocalFile(path("Tunes/sloe.pdf")).toString()}));
    // Plain text: the notes view, closed with Esc.
    QString shown;
    WhenModal([&shown](QWidget *w) {
        shown = w->windowTitle();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : w, Qt::Key_Escape);
    });
    click(notes, 2);
    EXPECT_EQ(shown, QStringLiteral("Notes - full-screen"));
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_EQ(CommandItem, nullptr);
    SetConnectionProbe([] { return false; });
    click(notes, 12);
    SetConnectionProbe({});
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("No internet connection.")));
}

TEST_F(NotesLinkTest, CheckAllShowsEveryEventAndDanceToTheEnd) {
    for (const char *title : {"Apple", "Beech", "Cedar"}) addDance(title, "Longways", "English");
    addEvent("First Club", 47000, "Dance", "");
    const qint64 last = addEvent("Second Club", 47010, "Dance", "");
    open();
    form->show();
    answerer->script(ResultYes); // from the beginning
    form->CheckAllClick();
    EXPECT_EQ(EventsData.GetBookmark(), last);
    EXPECT_EQ(form->Title->text(), QStringLiteral("Cedar"));
    EXPECT_EQ(CommandItem, nullptr);
    EXPECT_FALSE(form->Body->isHidden());
    EXPECT_FALSE(form->findChild<QLabel *>(QStringLiteral("ProgressPanel"))->isVisible());
    const QString log = logText();
    EXPECT_EQ(log.mid(log.indexOf(QStringLiteral("Check All"))).count(QStringLiteral("ShowEvent")), 2) << log.toStdString();
}

// Maintainer mode: a page of his site opens in large print from his copy,
// and Web link with no address copied builds his dance's page address.
TEST_F(NotesLinkTest, MaintainerPagesAndWebLinksFromHisCopy) {
    struct Restore {
        QByteArray home = qgetenv("HOME"), site = qgetenv("QUILLARY_SITE");
        ~Restore() {
            AuthorMode = false;
            qputenv("HOME", home);
            qputenv("QUILLARY_SITE", site);
            ReloadMaintainerConfig();
        }
    } restore;
    qputenv("HOME", folder().toUtf8());
    qputenv("QUILLARY_SITE", "https://www.vellamorrisk.com");
    ReloadMaintainerConfig();
    AuthorMode = true;
    TempFolder = path("tmp/");
    QDir().mkpath(TempFolder);
    WriteFileBytes(path("QuillaryDev/Maintainer.ini"), "[Instructions]\r\n1=Krav.txt\r\n");
    WriteFileBytes(path("QuillaryDev/Krav.txt"), "{\\rtf1 .WE reels\\par\r\n|Sloe Gin\\par .DT\r\n}");
    WriteFileBytes(path("QuillaryDev/Site/dances/steps.htm"),
                   "<html><body><h2 id=set>Set</h2><p>Right and left.</p><h2 id=turn>Turn</h2></body></html>");
    addDance("Sloe Gin", "Longways", "English");
    open();
    click("See https://www.vellamorrisk.com/dances/steps.htm#set", 8);
    ASSERT_EQ(opener.opened, QStringList{QUrl::fromLocalFile(TempFolder + "Technique.htm").toString()});
    const QByteArray shown = ReadFileBytes(TempFolder + "Technique.htm");
    EXPECT_TRUE(shown.contains("Right and left.") && !shown.contains("Turn")) << shown.toStdString();
    QApplication::clipboard()->clear();
    form->Notes->setPlainText(QString());
    form->WebLinkClick();
    EXPECT_EQ(form->Notes->toPlainText(), QStringLiteral("https://www.vellamorrisk.com/reels.htm#Sloe%20Gin"));
}

} // namespace
