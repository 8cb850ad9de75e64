#include "ModalDriver.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

using MessageBoxesTest = WindowTest;

QMessageBox *asMessageBox(QWidget *w) {
    auto *box = qobject_cast<QMessageBox *>(w);
    EXPECT_NE(box, nullptr) << "the modal box is not a message box";
    return box;
}

TEST_F(MessageBoxesTest, MessageIsPlainTextWithoutIcon) {
    WhenModal([](QWidget *w) {
        QMessageBox *box = asMessageBox(w);
        if (!box) return;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Quillary"));
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), QStringLiteral("<b>Tom & Jerry</b>\nsecond line"));
        ASSERT_EQ(box->buttons().size(), 1);
        QTest::mouseClick(box->buttons().first(), Qt::LeftButton);
    });
    ShowMsg(QStringLiteral("<b>Tom & Jerry</b>\rsecond line"));
}

TEST_F(MessageBoxesTest, TimedMessageClosesByItself) {
    QString seen;
    WhenModal([&](QWidget *w) {
        if (QMessageBox *box = asMessageBox(w)) seen = box->text().trimmed();
    });
    MsgTimeout = 50;
    ShowMsg(QStringLiteral("Saved"));
    EXPECT_EQ(seen, QStringLiteral("Saved"));
    EXPECT_EQ(MsgTimeout, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MessageBoxesTest, QuestionsAnswerByButtonEscOrClose) {
    struct Case {
        const char *name;
        BoxKind kind;
        std::function<void(QMessageBox *)> act;
        int result;
    };
    auto click = [](QMessageBox::StandardButton b) {
        return [b](QMessageBox *box) { QTest::mouseClick(box->button(b), Qt::LeftButton); };
    };
    auto esc = [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); };
    auto close = [](QMessageBox *box) { box->close(); };
    const Case cases[] = {
        {"YesNo Yes", BoxKind::YesNo, click(QMessageBox::Yes), 1},
        {"YesNo Esc", BoxKind::YesNo, esc, 0},
        {"YesNo close", BoxKind::YesNo, close, 0},
        {"YesNoCancel Yes", BoxKind::YesNoCancel, click(QMessageBox::Yes), 6},
        {"YesNoCancel No", BoxKind::YesNoCancel, click(QMessageBox::No), 7},
        {"YesNoCancel Cancel", BoxKind::YesNoCancel, click(QMessageBox::Cancel), 2},
        {"YesNoCancel Esc", BoxKind::YesNoCancel, esc, 2},
        {"YesNoCancel close", BoxKind::YesNoCancel, close, 2},
    };
    for (const auto &c : cases) {
        WhenModal([&](QWidget *w) {
            QMessageBox *box = asMessageBox(w);
            if (!box) return;
            EXPECT_EQ(box->buttons().size(), c.kind == BoxKind::YesNo ? 2 : 3) << c.name;
            c.act(box);
        });
        const QString q = QStringLiteral("Save & close?");
        const int got = c.kind == BoxKind::YesNo ? int(YesNo(q)) : YesNoCancel(q);
        EXPECT_EQ(got, c.result) << c.name;
    }
}

TEST_F(MessageBoxesTest, YesNoHelpKeepsTheQuestionOpenForHelp) {
    struct Case {
        const char *button; // pressed after Help
        bool result;
    };
    const Case cases[] = {{"YesBtn", true}, {"NoBtn", false}, {nullptr, false}};
    for (const auto &c : cases) {
        helps.clear();
        bool stillOpen = false;
        WhenModal([&](QWidget *w) {
            auto *help = w->findChild<QPushButton *>(QStringLiteral("HelpBtn"));
            auto *text = w->findChild<QLabel *>(QStringLiteral("Msg"));
            ASSERT_TRUE(help && text);
            EXPECT_EQ(text->text(), QStringLiteral("Send a report?\nIt helps."));
            QTest::mouseClick(help, Qt::LeftButton);
            stillOpen = w->isVisible();
            if (c.button)
                QTest::mouseClick(w->findChild<QPushButton *>(c.button), Qt::LeftButton);
            else
                QTest::keyClick(w, Qt::Key_Escape);
        });
        EXPECT_EQ(YesNoHelp(QStringLiteral("Send a report?\rIt helps."), 58350), c.result);
        EXPECT_TRUE(stillOpen);
        EXPECT_EQ(helps, QList<int>({58350}));
    }
}

// While a stay-on-top window shows (the splash window at start-up) every kind
// of box must stay on top too, or it opens hidden behind it; once that window
// is gone, the reused three-button box is an ordinary window again.
TEST_F(MessageBoxesTest, BoxesStayAboveAStayOnTopWindow) {
    struct Case {
        const char *name;
        std::function<void()> ask;
    };
    const Case cases[] = {
        {"message", [] { ShowMsg(QStringLiteral("Database compressed.")); }},
        {"yes/no", [] { YesNo(QStringLiteral("Sure?")); }},
        {"yes/no/help", [] { YesNoHelp(QStringLiteral("Copy?"), 85300); }},
        {"three buttons", [] { OKHelpCancel(QStringLiteral("No programme"), 30060); }},
        {"input", [] { InputBox(QStringLiteral("Tags"), QStringLiteral("Enter name"), QString()); }},
    };
    QWidget splash(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash.resize(200, 100);
    for (bool splashShows : {true, false}) {
        splash.setVisible(splashShows);
        for (const auto &c : cases) {
            bool onTop = !splashShows;
            WhenModal([&](QWidget *w) {
                onTop = w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
                if (auto *d = qobject_cast<QDialog *>(w)) d->done(0);
            });
            c.ask();
            EXPECT_EQ(onTop, splashShows) << c.name << (splashShows ? " with" : " without") << " the splash";
        }
    }
}

} // namespace
