#include "DancePageFixture.h"
#include "base/AppState.h"
#include "platform/net/Fetch.h"

#include <QPlainTextEdit>
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
    click(notes, 2);
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(logText().contains(QStringLiteral("Notes view: Tune at")));
    EXPECT_EQ(CommandItem, nullptr);
    SetConnectionProbe([] { return false; });
    click(notes, 12);
    SetConnectionProbe({});
    EXPECT_EQ(opener.opened.size(), 2);
    EXPECT_TRUE(answerer->sawText(QStringLiteral("No internet connection.")));
}

} // namespace
