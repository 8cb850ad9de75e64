// The table view as a caller uses it: typing into a cell through the grid's
// own editor, and the record kept when switching between the views.

#include "EventFormFixture.h"

#include "platform/sqlite/DBNavigator.h"
#include "platform/sqlite/DatasetModel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <sqlite3.h>

namespace {

class OrgFormGridTest : public EventFormTest {
protected:
    void SetUp() override {
        EventFormTest::SetUp();
        for (const char *t : {"Apple", "Millpond", "Reel", "Zulu"}) addDance(t, {{"Author", "Peter Vale"}});
    }
    // Reads one value through a connection of its own: only what was
    // committed to the file is seen.
    QString stored(const QString &sql) {
        sqlite3 *h = nullptr;
        QString out;
        if (sqlite3_open_v2(QFile::encodeName(path("Quillary.mdb")).constData(), &h, SQLITE_OPEN_READONLY,
                            nullptr) == SQLITE_OK) {
            sqlite3_stmt *s = nullptr;
            if (sqlite3_prepare_v2(h, sql.toUtf8().constData(), -1, &s, nullptr) == SQLITE_OK &&
                sqlite3_step(s) == SQLITE_ROW)
                out = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
            sqlite3_finalize(s);
        }
        sqlite3_close(h);
        return out;
    }
    DatasetModel *model() { return qobject_cast<DatasetModel *>(form->Grid->model()); }
    int column(const QString &name) {
        for (int c = 0; c < model()->columnCount(); ++c)
            if (model()->fieldAt(c) == name) return c;
        return -1;
    }
    int row(const QString &key, const QString &value) {
        for (int r = 0; r < model()->rowCount(); ++r)
            if (model()->data(model()->index(r, column(key))).toString() == value) return r;
        return -1;
    }
    // Types into a cell as a caller does: the first key opens the cell's
    // editor, the rest go to it.
    QWidget *typeInto(int r, int c, const QString &text) {
        form->Grid->setCurrentIndex(model()->index(r, c));
        QTest::keyClick(form->Grid, text[0].toLatin1());
        QWidget *editor = form->Grid->indexWidget(model()->index(r, c));
        if (editor) QTest::keyClicks(editor, text.mid(1));
        return editor;
    }
};

} // namespace

// An edit typed into a cell of either table view is posted by Enter, by
// moving to another row and by switching back to the form, with the
// table's before-post hook run once; Esc drops it. The file holds the result.
TEST_F(OrgFormGridTest, CellEditsArePostedOnce) {
    enum class End { Enter, LeaveRow, FormView, Esc };
    const struct {
        const char *name;
        bool events;
        End end;
    } cases[] = {
        {"dance, Enter", false, End::Enter},       {"dance, leaving the row", false, End::LeaveRow},
        {"dance, F7", false, End::FormView},       {"dance, Esc", false, End::Esc},
        {"event, Enter", true, End::Enter},        {"event, leaving the row", true, End::LeaveRow},
        {"event, F7", true, End::FormView},        {"event, Esc", true, End::Esc},
    };
    const qint64 e = addEvent("Bath", 1, Prog("~D|Zulu|Longways|English~"), {{"Venue", "Guildhall"}});
    addEvent("Wells", 3, QString(), {{"Venue", "Guildhall"}});
    open(e);
    showActive();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Dataset &ds = c.events ? EventsData : DancesData;
        const QString table = c.events ? "Events" : "Dances";
        const QString fieldName = c.events ? "Venue" : "Author";
        const QString key = c.events ? "Org" : "Title";
        const QString keyValue = c.events ? "Bath" : "Millpond";
        const QString before = c.events ? "Guildhall" : "Peter Vale";
        const QString typed = c.events ? "Town Hall" : "Peter Vale Junior";
        form->PC->setCurrentWidget(c.events ? form->EventPage : form->DancePage);
        form->FormViewClick();
        ASSERT_FALSE(form->Grid->isHidden());
        int posts = 0;
        auto hook = ds.BeforePost;
        ds.BeforePost = [&](Dataset &d) {
            ++posts;
            if (hook) hook(d);
        };
        const int r = row(key, keyValue);
        QWidget *editor = typeInto(r, column(fieldName), typed);
        ASSERT_TRUE(editor) << "the cell's editor did not open";
        switch (c.end) {
        case End::Enter: QTest::keyClick(editor, Qt::Key_Return); break;
        case End::LeaveRow: form->Grid->setCurrentIndex(model()->index(r == 0 ? 1 : 0, 0)); break;
        case End::FormView: form->FormViewClick(); break;
        case End::Esc: QTest::keyClick(editor, Qt::Key_Escape); break;
        }
        QCoreApplication::processEvents();
        ds.BeforePost = hook;
        const bool kept = c.end != End::Esc;
        EXPECT_EQ(stored(QString("SELECT %1 FROM %2 WHERE %3='%4'").arg(fieldName, table, key, keyValue)),
                  kept ? typed : before);
        EXPECT_EQ(posts, kept ? 1 : 0);
        EXPECT_EQ(ds.State(), DatasetState::Browse);
        EXPECT_TRUE(answerer->boxes.isEmpty()) << answerer->texts().join("|").toStdString();
        // Put back for the next case.
        Statement(Conn.handle(), QString("UPDATE %1 SET %2='%3'").arg(table, fieldName, before)).step();
        ds.requery();
        answerer->clear();
        if (!form->Grid->isHidden()) form->FormViewClick();
    }
}

// F7 opens the table view on the shown record; F7 again shows the record
// chosen in the grid, on both pages.
TEST_F(OrgFormGridTest, ViewSwitchKeepsTheRecord) {
    addEvent("Bath", 1, QString());
    const qint64 e = addEvent("Wells", 3, QString());
    addEvent("Frome", 5, QString());
    open(e);
    showActive();
    for (const bool events : {true, false}) {
        SCOPED_TRACE(events ? "events" : "dances");
        Dataset &ds = events ? EventsData : DancesData;
        QLineEdit *box = events ? form->Org : form->Title;
        const QString key = events ? "Org" : "Title";
        form->PC->setCurrentWidget(events ? form->EventPage : form->DancePage);
        if (!events) {
            DancesData.GotoBookmark(2); // Millpond
            form->ShowDance();
        }
        const QString shown = box->text();
        QTest::keyClick(form.get(), Qt::Key_F7);
        ASSERT_FALSE(form->Grid->isHidden());
        EXPECT_EQ(model()->data(model()->index(form->Grid->currentIndex().row(), column(key))).toString(), shown);
        EXPECT_EQ(ds.FieldByName(key).AsString(), shown);
        QTest::keyClick(form.get(), Qt::Key_F7);
        ASSERT_TRUE(form->Grid->isHidden());
        EXPECT_EQ(box->text(), shown);
        // A record chosen in the grid is the one the form shows.
        QTest::keyClick(form.get(), Qt::Key_F7);
        const int other = row(key, events ? "Frome" : "Zulu");
        form->Grid->setCurrentIndex(model()->index(other, 0));
        QTest::keyClick(form.get(), Qt::Key_F7);
        EXPECT_EQ(box->text(), events ? "Frome" : "Zulu");
    }
}

// A letter in a number box gets that box's own message when the box is left
// or the dance saved; the box keeps the focus and shows the stored value, and
// nothing stays pending for the next move.
TEST_F(OrgFormGridTest, LettersInNumberBoxesGetTheBoxMessage) {
    enum class Way { Leave, Return, Save, Cell };
    const struct {
        const char *field;
        Way way;
        const char *message;
    } cases[] = {
        {"Lvl", Way::Leave, "Level must be between 0 and 9"},
        {"Lvl", Way::Save, "Level must be between 0 and 9"},
        {"Tolbrook", Way::Return, "Tolbrook must be 1, 2 or 3."},
        {"Called", Way::Leave, "Called must be a whole number."},
        {"Lvl", Way::Cell, "Level must be between 0 and 9"},
    };
    const qint64 dance = addDance("Jig", {{"Lvl", 2}, {"Tolbrook", 1}, {"Called", 4}});
    open(addEvent("Bath", 1, QString()));
    showActive();
    form->PC->setCurrentWidget(form->DancePage);
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.field) + (c.way == Way::Save ? ", saved" : c.way == Way::Cell ? ", cell" : ""));
        DancesData.GotoBookmark(dance);
        form->ShowDance();
        if (c.way == Way::Cell) {
            // The same letter typed into the table view's cell.
            form->FormViewClick();
            QWidget *editor = typeInto(row("Title", "Jig"), column(c.field), "x");
            ASSERT_TRUE(editor);
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
            EXPECT_TRUE(answerer->sawText(c.message)) << answerer->texts().join("|").toStdString();
            EXPECT_EQ(answerer->boxes.size(), 1);
            EXPECT_EQ(scalar("SELECT Lvl FROM Dances WHERE rowid=?", {dance}).toInt(), 2);
            form->FormViewClick();
            continue;
        }
        QWidget *box = c.field == QString("Lvl") ? static_cast<QWidget *>(form->Lvl)
                                                 : form->findChild<QLineEdit *>(c.field);
        ASSERT_TRUE(box);
        QLineEdit *edit = qobject_cast<QLineEdit *>(box) ? qobject_cast<QLineEdit *>(box) : box->findChild<QLineEdit *>();
        const QString stored = DancesData.FieldByName(c.field).AsString();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, "x");
        switch (c.way) {
        case Way::Leave: form->Author->setFocus(); break;
        case Way::Return: QTest::keyClick(edit, Qt::Key_Return); break;
        case Way::Save: QTest::keyClick(edit, Qt::Key_S, Qt::ControlModifier); break;
        case Way::Cell: break; // handled above
        }
        QCoreApplication::processEvents();
        EXPECT_EQ(answerer->boxes.size(), 1);
        EXPECT_TRUE(answerer->sawText(c.message)) << answerer->texts().join("|").toStdString();
        EXPECT_EQ(edit->text(), stored);
        EXPECT_TRUE(box->hasFocus() || edit->hasFocus());
        EXPECT_FALSE(DancesData.Modified());
        // The next move meets nothing pending.
        answerer->clear();
        DancesData.Next();
        DancesData.GotoBookmark(dance);
        EXPECT_TRUE(answerer->texts().isEmpty()) << answerer->texts().join("|").toStdString();
        EXPECT_EQ(scalar("SELECT " + QString(c.field) + " FROM Dances WHERE rowid=?", {dance}).toString(), stored);
        answerer->clear();
    }
}

// Back from the table view by any way, the form shows the event chosen in the
// table whole, its programme included; saving it then changes no programme.
TEST_F(OrgFormGridTest, TheFormShowsTheChosenEventWholeAndItsSaveKeepsEveryProgramme) {
    enum class Back { F7, F10, Menu, CellThenF7 };
    const struct {
        const char *name;
        Back back;
    } ways[] = {{"F7", Back::F7},
                {"F10", Back::F10},
                {"the View menu", Back::Menu},
                {"a cell typed into, then F7", Back::CellThenF7}};
    const QString square = Prog("~O|Square Dance Night~D|Apple|Longways|English~D|Reel|Longways|English~");
    const QString valley = Prog("~O|Valley Ceilidh~D|Zulu|Longways|English~");
    const qint64 first = addEvent("Squares", 1, square);
    const qint64 second = addEvent("Valley", 3, valley);
    open(first);
    showActive();
    for (const auto &w : ways) {
        SCOPED_TRACE(w.name);
        EventsData.GotoBookmark(first);
        form->PC->setCurrentWidget(form->EventPage);
        form->ShowEvent(true);
        ASSERT_EQ(form->ProgText, square);
        QTest::keyClick(form.get(), Qt::Key_F7);
        ASSERT_FALSE(form->Grid->isHidden());
        form->Grid->setCurrentIndex(model()->index(row("Org", "Valley"), 0));
        ASSERT_EQ(EventsData.GetBookmark(), second);
        switch (w.back) {
        case Back::F7: QTest::keyClick(form.get(), Qt::Key_F7); break;
        case Back::F10: QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10); break;
        case Back::Menu: form->findChild<QAction *>("FormView")->trigger(); break;
        case Back::CellThenF7: {
            QWidget *editor = typeInto(form->Grid->currentIndex().row(), column("Venue"), "Barn");
            ASSERT_TRUE(editor);
            QTest::keyClick(editor, Qt::Key_Return);
            QTest::keyClick(form.get(), Qt::Key_F7);
            break;
        }
        }
        QCoreApplication::processEvents();
        form->PC->setCurrentWidget(form->EventPage);
        ASSERT_TRUE(form->Grid->isHidden());
        EXPECT_EQ(form->Org->text(), QStringLiteral("Valley"));
        EXPECT_EQ(form->ProgText, valley);
        EXPECT_TRUE(captions().contains(QStringLiteral("Valley Ceilidh")));
        EXPECT_FALSE(captions().contains(QStringLiteral("Square Dance Night")));
        QTest::mouseClick(form->Org, Qt::LeftButton);
        int saves = 0;
        const auto counting = QObject::connect(form->SaveE, &QAction::triggered, [&saves] { ++saves; });
        QTest::keyClick(form->Org, Qt::Key_S, Qt::ControlModifier);
        QCoreApplication::processEvents();
        QObject::disconnect(counting);
        EXPECT_EQ(saves, 1);
        EXPECT_EQ(stored(QString("SELECT Programme FROM Events WHERE rowid=%1").arg(first)), square);
        EXPECT_EQ(stored(QString("SELECT Programme FROM Events WHERE rowid=%1").arg(second)), valley);
        answerer->clear();
    }
}

// The memo editor of either table view edits the record it shows. Keys typed
// in it move its caret, not the table. A wheel step over the table, a click
// on another row, a move by code (as a find makes), leaving the table view
// (then the navigator's Next) and the tables closed for compaction first ask
// about an edit made in it and store it into its own record, then show the
// record the table moved to, or close. The file holds every other record's
// text as it was.
TEST_F(OrgFormGridTest, TheMemoEditorEditsTheRecordItShows) {
    enum class Way { Up, End, CtrlEnd, PageDown, Wheel, RowClick, Code, F10ThenNext, Compaction };
    const struct {
        const char *name;
        Way way;
        bool moves, closes;
    } ways[] = {
        {"Up in the editor", Way::Up, false, false},
        {"End in the editor", Way::End, false, false},
        {"Ctrl+End in the editor", Way::CtrlEnd, false, false},
        {"PgDn in the editor", Way::PageDown, false, false},
        {"a wheel step over the table", Way::Wheel, true, false},
        {"a click on another row", Way::RowClick, true, true},
        {"a move by code", Way::Code, true, false},
        {"F10, then the navigator's Next", Way::F10ThenNext, true, true},
        {"compaction (the tables open again on their first record)", Way::Compaction, true, true},
    };
    enum class Typed { After, BeforeYes, BeforeNo };
    addEvent("Orchard", 1, Prog("~O|Autumn~"), {{"Event", "Autumn Dance"}});
    const qint64 valley = addEvent("Valley", 3, Prog("~O|Valley~D|Zulu|Longways|English~"), {{"Event", "Valley Ceilidh"}});
    addEvent("Orchard", 5, Prog("~O|Club~"), {{"Event", "Club Night"}});
    addEvent("Hill", 7, Prog("~O|Spring~"), {{"Event", "Spring Dance"}});
    const qint64 apple = addDance("Apple Cart Jig");
    addDance("Bramble Lane");
    open(valley);
    Statement(Conn.handle(), "UPDATE Dances SET Notes = Title || ' notes' || char(13) || 'second line'").step();
    DancesData.requery();
    showActive();
    // The window's start-up gave up before it chose the data folder; the
    // compaction reopens the catalogue there.
    DataFolder = folder();
    DatabaseName = StandardDatabaseName;

    // Every record's text as the file holds it.
    auto texts = [&](const QString &table, const QString &field) {
        QMap<qint64, QString> out;
        Statement s(Conn.handle(), QString("SELECT rowid FROM %1").arg(table));
        while (s.step())
            out[s.column(0).toLongLong()] =
                stored(QString("SELECT %1 FROM %2 WHERE rowid=%3").arg(field, table).arg(s.column(0).toLongLong()));
        return out;
    };
    const QMap<qint64, QString> events = texts("Events", "Programme"), dances = texts("Dances", "Notes");
    auto shownAs = [](QString text) { return text.replace(QLatin1Char('\r'), QLatin1Char('\n')); };

    for (const bool onEvents : {true, false})
        for (const auto &w : ways)
            for (const Typed typed : {Typed::After, Typed::BeforeYes, Typed::BeforeNo}) {
                SCOPED_TRACE(std::string(onEvents ? "Events, " : "Dances, ") + w.name +
                             (typed == Typed::After ? ", typed after" : typed == Typed::BeforeYes ? ", typed before, Yes"
                                                                                                : ", typed before, No"));
                Dataset &ds = onEvents ? EventsData : DancesData;
                const QString table = onEvents ? "Events" : "Dances", field = onEvents ? "Programme" : "Notes";
                const QMap<qint64, QString> &before = onEvents ? events : dances;
                const qint64 opened = onEvents ? valley : apple;
                form->PC->setCurrentWidget(onEvents ? form->EventPage : form->DancePage);
                ds.GotoBookmark(opened);
                form->FormViewClick();
                ASSERT_FALSE(form->Grid->isHidden());
                const QModelIndex cell = model()->index(ds.RecordIndex(), column(field));
                form->Grid->setCurrentIndex(cell);
                form->GridCellClick(cell);
                ASSERT_TRUE(form->MPanel->isVisible());
                ASSERT_EQ(form->Memo->toPlainText(), shownAs(before[opened]));
                QTest::mouseClick(form->Memo->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
                ASSERT_TRUE(form->Memo->hasFocus());
                if (typed != Typed::After) {
                    QTest::keyClicks(form->Memo, "Q");
                    answerer->script(typed == Typed::BeforeYes ? ResultYes : ResultNo);
                }
                switch (w.way) {
                case Way::Up: QTest::keyClick(form->Memo, Qt::Key_Up); break;
                case Way::End: QTest::keyClick(form->Memo, Qt::Key_End); break;
                case Way::CtrlEnd: QTest::keyClick(form->Memo, Qt::Key_End, Qt::ControlModifier); break;
                case Way::PageDown: QTest::keyClick(form->Memo, Qt::Key_PageDown); break;
                case Way::Wheel: {
                    const QPointF at(20, 20);
                    QWheelEvent wheel(at, form->Grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(form->Grid->viewport(), &wheel);
                    break;
                }
                case Way::RowClick:
                    QTest::mouseClick(form->Grid->viewport(), Qt::LeftButton, {},
                                      form->Grid->visualRect(model()->index(ds.RecordIndex() + 1, 0)).center());
                    break;
                case Way::Code: ds.Next(); break;
                case Way::F10ThenNext:
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F10);
                    (onEvents ? form->ENav : form->DNav)->click(NavButton::Next);
                    break;
                case Way::Compaction: CompressClick(CompressSender::Menu); break;
                }
                QCoreApplication::processEvents();
                const qint64 now = ds.GetBookmark();
                EXPECT_EQ(now != opened, w.moves);
                const bool asked = w.moves && typed != Typed::After;
                const auto questions = std::count_if(answerer->boxes.begin(), answerer->boxes.end(),
                                                     [](const BoxRequest &b) { return b.kind == BoxKind::YesNo; });
                EXPECT_EQ(questions, asked ? 1 : 0) << answerer->texts().join("|").toStdString();
                if (asked) {
                    EXPECT_TRUE(answerer->sawText(QString("Save changes to %1 of %2?")
                                                      .arg(field, onEvents ? "Valley Ceilidh" : "Apple Cart Jig")));
                }
                EXPECT_EQ(form->MPanel->isVisible(), !w.closes);
                if (form->MPanel->isVisible()) {
                    if (w.moves) {
                        EXPECT_EQ(form->Memo->toPlainText(), shownAs(before[now]));
                    }
                    if (typed == Typed::After) QTest::keyClicks(form->Memo, "Q");
                    form->SaveBtn->click();
                }
                // The one record that gains the letter, if any.
                qint64 gains = 0;
                if (!w.moves) gains = opened;
                else if (typed == Typed::BeforeYes) gains = opened;
                else if (typed == Typed::After && !w.closes) gains = now;
                const QMap<qint64, QString> after = texts(table, field);
                ASSERT_EQ(after.keys(), before.keys());
                for (auto it = before.begin(); it != before.end(); ++it) {
                    SCOPED_TRACE(it.key());
                    const QString got = after[it.key()];
                    if (it.key() == gains) {
                        EXPECT_EQ(got.count(QLatin1Char('Q')), 1) << got.toStdString();
                        EXPECT_EQ(QString(got).remove(QLatin1Char('Q')), it.value());
                    } else {
                        EXPECT_EQ(got, it.value());
                    }
                }
                // Put back for the next case.
                form->MExitClick();
                if (!form->Grid->isHidden()) form->FormViewClick();
                for (auto it = before.begin(); it != before.end(); ++it) {
                    Statement s(Conn.handle(), QString("UPDATE %1 SET %2=? WHERE rowid=%3").arg(table, field).arg(it.key()));
                    s.bindAll({it.value()});
                    s.step();
                }
                ds.requery();
                answerer->clear();
            }
}
