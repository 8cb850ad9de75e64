#include "EventFormFixture.h"
#include "ModalDriver.h"
#include "PlainRead.h"

#include "core/views/ListForm.h"
#include "programme/rows/KeyTable.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

namespace {

// A box that claims every Ctrl key at the override, as X11's line edits
// claim Ctrl+E (end of line): the window's command must still run.
class ClaimsCtrlKeys : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() != QEvent::ShortcutOverride) return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (!(key->modifiers() & Qt::ControlModifier)) return false;
        key->accept();
        return true;
    }
};

class OrgFormKeysTest : public EventFormTest {
protected:
    void openClub() {
        for (const char *t : {"Hoedown One", "Jolly Tinker", "Old Mill Strathspey", "Kestrel"}) addDance(t);
        club = addEvent("Club", 3, programme);
        open(club);
        form->resize(1000, 700);
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        answerer->clear();
    }
    QString stored() { return PlainRead(path("Quillary.mdb"), "SELECT Programme FROM Events WHERE rowid=?", club); }
    QWidget *focused() { return QApplication::focusWidget() ? QApplication::focusWidget() : form.get(); }

    const QString programme = Prog("~D|Hoedown One|Longways|English~D|Kestrel|Longways|English~");
    qint64 club = 0;
};

} // namespace

// A letter typed on a dance row opens the chooser with that letter in its box
// and the caret after it: the next letters add to it.
TEST_F(OrgFormKeysTest, LetterOnADanceRowStartsTheChoosersBox) {
    openClub();
    form->Rows->SelectItem(form->Rows->ItemList[0]);
    QString startText, selected, chosen;
    WhenModalOf<TListForm>([&](TListForm *chooser) {
        startText = chooser->ListSel->text();
        selected = chooser->ListSel->selectedText();
        QTest::keyClicks(chooser->ListSel, "ol");
        chosen = chooser->Chosen("Title");
        QTest::keyClick(chooser->ListSel, Qt::Key_Return);
    });
    answerer->script(ResultYes);  // "Replace Hoedown One?"
    QTest::keyClick(focused(), Qt::Key_J, Qt::NoModifier);
    EXPECT_EQ(startText, "J");
    EXPECT_EQ(selected, "");
    EXPECT_EQ(chosen, "Jolly Tinker");
    form->SaveE->trigger();
    EXPECT_EQ(stored(), Prog("~D|Jolly Tinker|Longways|English~D|Kestrel|Longways|English~"));
}

// Esc and the close box leave the programme as it was and ask nothing,
// whether the typed text matched a dance or not.
TEST_F(OrgFormKeysTest, EscInTheChooserCancels) {
    openClub();
    const struct {
        const char *typed;
        bool closeBox;
    } cases[] = {{"Jo", false}, {"ZZZ", false}, {"Jo", true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.closeBox ? " close box" : " Esc"));
        form->Rows->SelectItem(form->Rows->ItemList[0]);
        WhenModalOf<TListForm>([&c](TListForm *chooser) {
            chooser->ListSel->setText(QLatin1String(c.typed));
            if (c.closeBox) chooser->close();
            else QTest::keyClick(chooser->ListSel, Qt::Key_Escape);
        });
        form->TitleClick(static_cast<TDance *>(form->Rows->ItemList[0]));
        EXPECT_TRUE(answerer->texts().isEmpty()) << answerer->texts().join(" / ").toStdString();
        EXPECT_FALSE(EventChanged);
        form->SerialiseRows();
        EXPECT_EQ(form->ProgText, programme);
    }
    EXPECT_EQ(stored(), programme);
}

// The window's menu keys run their commands from a box that would take the
// key for itself; cut, copy, paste and select all stay with the box.
TEST_F(OrgFormKeysTest, MenuKeysWinOverABoxsOwnKeys) {
    openClub();
    ClaimsCtrlKeys claims;
    QWidget *title = form->Title, *org = form->Org, *event = form->Event, *notes = form->Notes;
    const struct {
        QWidget *box;
        Qt::Key key;
        const char *action;
    } cases[] = {
        {title, Qt::Key_E, "EditM"}, {title, Qt::Key_F, "FindEvent"}, {title, Qt::Key_H, "WebD"},
        {org, Qt::Key_E, "EditM"},   {org, Qt::Key_T, "Test"},        {org, Qt::Key_N, "InsNotes"},
        {notes, Qt::Key_E, "EditM"}, {event, Qt::Key_W, "WebE"},
    };
    for (const auto &c : cases) {
        QWidget *box = c.box;
        SCOPED_TRACE(box->objectName().toStdString() + " " + c.action);
        auto *action = form->findChild<QAction *>(QLatin1String(c.action));
        ASSERT_TRUE(action);
        form->PC->setCurrentWidget(form->DancePage->isAncestorOf(box) ? form->DancePage : form->EventPage);
        // Only the key's arrival is watched: the command itself is left out.
        QObject::disconnect(action, &QAction::triggered, form.get(), nullptr);
        QSignalSpy ran(action, &QAction::triggered);
        box->installEventFilter(&claims);
        box->setFocus();
        QTest::keyClick(box, c.key, Qt::ControlModifier);
        box->removeEventFilter(&claims);
        EXPECT_EQ(ran.count(), 1);
    }

    // Kept by the box: Ctrl+A selects the title, Ctrl+V pastes into it.
    form->PC->setCurrentWidget(form->DancePage);
    QSignalSpy selectAll(form->findChild<QAction *>("SelectAllM"), &QAction::triggered);
    QSignalSpy validate(form->findChild<QAction *>("ValDance"), &QAction::triggered);
    form->Title->installEventFilter(&claims);
    form->Title->setFocus();
    QTest::keyClick(form->Title, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->Title->selectedText(), form->Title->text());
    QApplication::clipboard()->setText(QStringLiteral("Reel"));
    QTest::keyClick(form->Title, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form->Title->text(), "Reel");
    form->Title->removeEventFilter(&claims);
    EXPECT_EQ(selectAll.count(), 0);
    EXPECT_EQ(validate.count(), 0);
    EXPECT_TRUE(answerer->texts().isEmpty());
}

// The command behind a won key runs whole: Ctrl+S typed in the Org box
// stores what was typed there.
TEST_F(OrgFormKeysTest, CtrlSFromAClaimingBoxStoresTheEvent) {
    openClub();
    ClaimsCtrlKeys claims;
    form->Org->installEventFilter(&claims);
    form->Org->setFocus();
    QTest::keyClick(form->Org, Qt::Key_End);
    QTest::keyClicks(form->Org, QStringLiteral(" Night"));
    QTest::keyClick(form->Org, Qt::Key_S, Qt::ControlModifier);
    form->Org->removeEventFilter(&claims);
    EXPECT_EQ(PlainRead(path("Quillary.mdb"), "SELECT Org FROM Events WHERE rowid=?", club), "Club Night");
}

TEST(WindowKeys, BoxesKeepTheirClipboardAndSelectAllKeys) {
    const QList<QKeySequence> window = {QKeySequence(Qt::CTRL | Qt::Key_E), QKeySequence(Qt::CTRL | Qt::Key_V),
                                        QKeySequence(Qt::CTRL | Qt::Key_A), QKeySequence(Qt::SHIFT | Qt::Key_Insert),
                                        QKeySequence(Qt::Key_F4)};
    const struct {
        QKeyCombination key;
        bool wins;
    } cases[] = {
        {Qt::CTRL | Qt::Key_E, true},          {QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_E), true},
        {Qt::CTRL | Qt::Key_K, false},         // no command of the window
        {Qt::CTRL | Qt::Key_V, false},         {Qt::CTRL | Qt::Key_A, false},
        {Qt::CTRL | Qt::Key_C, false},         {Qt::CTRL | Qt::Key_X, false},
        {Qt::CTRL | Qt::Key_Insert, false},    {Qt::SHIFT | Qt::Key_Insert, false},
        {Qt::SHIFT | Qt::Key_Delete, false},   {QKeyCombination(Qt::Key_F4), false},  // not a Ctrl key
    };
    for (const auto &c : cases)
        EXPECT_EQ(WindowKeyWins(c.key, window), c.wins) << QKeySequence(c.key).toString().toStdString();
}
