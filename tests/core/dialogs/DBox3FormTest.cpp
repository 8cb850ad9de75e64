#include "core/dialogs/DBox3Form.h"
#include "ModalDriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

using DBox3FormTest = WindowTest;

TDBox3Form *asBox(QWidget *w) {
    auto *box = qobject_cast<TDBox3Form *>(w);
    EXPECT_NE(box, nullptr) << "the modal box is not the three-button box";
    return box;
}

TEST_F(DBox3FormTest, ButtonsFollowTheCaptions) {
    struct Case {
        const char *c1, *c2, *c3;
        bool secondShown, glyph;
    };
    // The last row follows a Help box: Button2 must lose its glyph again.
    const Case cases[] = {{"&Yes", "&No", "Cancel", true, false},
                          {"&OK", "", "Cancel", false, false},
                          {"&OK", "&Help", "Cancel", true, true},
                          {"&Replace", "&Help me", "&Skip", true, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.c2);
        WhenModal([&](QWidget *w) {
            TDBox3Form *box = asBox(w);
            if (!box) return;
            EXPECT_EQ(box, DBox3Form);
            EXPECT_EQ(box->Msg->text(), QStringLiteral("Line one\nLine & two"));
            EXPECT_TRUE(box->Button1->isVisible());
            EXPECT_EQ(box->Button1->text(), QString::fromUtf8(c.c1));
            EXPECT_EQ(box->Button2->isVisible(), c.secondShown);
            EXPECT_EQ(box->Button2->text(), QString::fromUtf8(c.c2));
            EXPECT_EQ(!box->Button2->icon().isNull(), c.glyph);
            EXPECT_TRUE(box->CancelBtn->isVisible());
            EXPECT_EQ(box->CancelBtn->text(), QString::fromUtf8(c.c3));
            EXPECT_FALSE(box->DontAsk->isVisible());
            EXPECT_FALSE(box->HelpImg->isVisible());
            QTest::mouseClick(box->CancelBtn, Qt::LeftButton);
        });
        EXPECT_EQ(DBox3(QStringLiteral("Line one\rLine & two"), QString::fromUtf8(c.c1),
                        QString::fromUtf8(c.c2), 0, QString::fromUtf8(c.c3)),
                  2);
    }
}

TEST_F(DBox3FormTest, ResultsFollowTheButtonOrKey) {
    struct Case {
        const char *name;
        std::function<void(TDBox3Form *)> act;
        int result;
        const char *logged;
    };
    const Case cases[] = {
        {"Button1", [](TDBox3Form *b) { QTest::mouseClick(b->Button1, Qt::LeftButton); }, 6,
         "&Keep"},
        {"Button2", [](TDBox3Form *b) { QTest::mouseClick(b->Button2, Qt::LeftButton); }, 7,
         "&Drop"},
        {"CancelBtn", [](TDBox3Form *b) { QTest::mouseClick(b->CancelBtn, Qt::LeftButton); }, 2,
         "Leave"},
        {"Enter", [](TDBox3Form *b) { QTest::keyClick(b, Qt::Key_Return); }, 6, "&Keep"},
        {"Esc", [](TDBox3Form *b) { QTest::keyClick(b, Qt::Key_Escape); }, 2, "Leave"},
        {"close box", [](TDBox3Form *b) { b->close(); }, 2, "Leave"},
    };
    for (const auto &c : cases) {
        WhenModal([&](QWidget *w) {
            if (TDBox3Form *box = asBox(w)) c.act(box);
        });
        EXPECT_EQ(DBox3(QStringLiteral("Keep it?"), QStringLiteral("&Keep"),
                        QStringLiteral("&Drop"), 0, QStringLiteral("Leave")),
                  c.result)
            << c.name;
        EXPECT_TRUE(
            log().endsWith(QByteArray("14.05.09  Keep it?\r\n14.05.09  ") + c.logged + "\r\n"))
            << c.name;
        EXPECT_FALSE(BoxShowing);
    }
}

TEST_F(DBox3FormTest, HelpButtonWithContextKeepsTheBoxOpen) {
    bool stillOpen = false;
    WhenModal([&](QWidget *w) {
        TDBox3Form *box = asBox(w);
        if (!box) return;
        QTest::mouseClick(box->Button2, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_F1);
        stillOpen = box->isVisible();
        EXPECT_EQ(BoxHelpContext, 30050);
        QTest::mouseClick(box->Button1, Qt::LeftButton);
    });
    EXPECT_EQ(OKHelpCancel(QStringLiteral("Date not understood"), 30050), 6);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(helps, QList<int>({30050, 30050}));
    EXPECT_EQ(BoxHelpContext, 0);
}

TEST_F(DBox3FormTest, DontAskGivesTheCheckBoxNotTheButton) {
    struct Case {
        bool tick;
        QPushButton *TDBox3Form::*button;
        bool want;
    };
    const Case cases[] = {{true, &TDBox3Form::CancelBtn, true},
                          {false, &TDBox3Form::Button1, false}};
    for (const auto &c : cases) {
        WhenModal([&](QWidget *w) {
            TDBox3Form *box = asBox(w);
            if (!box) return;
            EXPECT_TRUE(box->DontAsk->isVisible());
            EXPECT_FALSE(box->Button2->isVisible());
            box->DontAsk->setChecked(c.tick);
            QTest::mouseClick(box->*(c.button), Qt::LeftButton);
        });
        EXPECT_EQ(OKCancelDontAsk(QStringLiteral("On battery power.")), c.want);
        ASSERT_NE(DBox3Form, nullptr);
        EXPECT_FALSE(DBox3Form->DontAsk->isVisible());
    }
}

TEST_F(DBox3FormTest, NestedCallGetsItsOwnBox) {
    int inner = -1;
    bool showingAfterInner = false;
    WhenModal([&](QWidget *first) {
        TDBox3Form *outer = asBox(first);
        if (!outer) return;
        WhenModal(
            [&, outer](QWidget *second) {
                TDBox3Form *box = asBox(second);
                if (!box) return;
                EXPECT_NE(box, outer);
                EXPECT_EQ(box->Msg->text(), QStringLiteral("Second question"));
                EXPECT_EQ(outer->Msg->text(), QStringLiteral("First question"));
                EXPECT_TRUE(outer->Button2->isVisible());
                QTest::mouseClick(box->Button1, Qt::LeftButton);
            },
            outer);
        inner = OKCancelDontAsk(QStringLiteral("Second question")) ? 1 : 0;
        showingAfterInner = BoxShowing;
        EXPECT_EQ(BoxHelpContext, 45000);
        EXPECT_TRUE(outer->isVisible());
        EXPECT_EQ(outer->Msg->text(), QStringLiteral("First question"));
        EXPECT_EQ(outer->Button2->text(), QStringLiteral("&No"));
        QTest::mouseClick(outer->Button2, Qt::LeftButton);
    });
    EXPECT_EQ(DBox3(QStringLiteral("First question"), QStringLiteral("&Yes"), QStringLiteral("&No"),
                    45000, QStringLiteral("Cancel")),
              7);
    EXPECT_EQ(inner, 0);
    EXPECT_TRUE(showingAfterInner);
    EXPECT_FALSE(BoxShowing);
    EXPECT_TRUE(
        log().endsWith("14.05.09  First question\r\n14.05.09  Second question\r\n14.05.09  &OK\r\n"
                       "14.05.09  &No\r\n"));
}

} // namespace
