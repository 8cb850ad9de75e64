#include "core/dances/DanceLocate.h"
#include "core/dialogs/NFForm.h"
#include "ModalDriver.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class NFFormTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ResetLocateState();
    }
    void TearDown() override {
        ResetLocateState();
        WindowTest::TearDown();
    }
};

} // namespace

TEST_F(NFFormTest, EachButtonAndTheForAllBox) {
    struct Case {
        const char *button;
        bool tick;
        int result;
        NotFoundAction choice;
    };
    const QList<Case> cases = {
        {"NoteBtn", false, 1, NotFoundAction::Note},
        {"GenBtn", true, 1, NotFoundAction::Generate},
        {"CancelBtn", false, 2, NotFoundAction::Generate}, // Exit leaves the last choice
        {"NoteBtn", true, 1, NotFoundAction::Note},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        NotFoundForAll = false;
        TNFForm form;
        WhenModal([&](QWidget *w) {
            auto *f = qobject_cast<TNFForm *>(w);
            ASSERT_NE(f, nullptr);
            EXPECT_EQ(f->ErrMsg->toPlainText(), QStringLiteral("Line 1\nTitle:\tHole"));
            if (c.tick) QTest::mouseClick(f->DoAllBox, Qt::LeftButton);
            QTest::mouseClick(f->findChild<QPushButton *>(c.button), Qt::LeftButton);
        });
        EXPECT_EQ(form.Execute("Line 1\r\nTitle:\tHole"), c.result);
        EXPECT_EQ(NotFoundChoice, c.choice);
        EXPECT_EQ(NotFoundForAll, c.tick);
    }
}
