#include "core/dialogs/AskNumber.h"
#include "ModalDriver.h"

#include <QInputDialog>

namespace {

class AskNumberTest : public QuillaryTest {
protected:
    // Types text into the box when it comes up, then presses OK or Cancel.
    void answer(const QString &text, bool ok) {
        WhenModal([text, ok](QWidget *w) {
            auto *box = qobject_cast<QInputDialog *>(w);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(box->textValue(), QStringLiteral("5"));
            EXPECT_EQ(box->labelText(), QStringLiteral("How many\nrows?"));
            box->setTextValue(text);
            ok ? box->accept() : box->reject();
        });
    }
};

} // namespace

TEST_F(AskNumberTest, OkCancelAndText) {
    struct Case {
        const char *typed;
        bool ok, result;
        int n;
        bool message;
    };
    const QList<Case> cases = {{" 12 ", true, true, 12, false},
                               {"-3", true, true, -3, false},
                               {"twelve", true, false, 5, true},
                               {"12", false, false, 5, false}};
    for (const Case &c : cases) {
        answerer->clear();
        int n = 5;
        answer(c.typed, c.ok);
        EXPECT_EQ(AskNumber("How many\rrows?", n), c.result) << c.typed;
        EXPECT_EQ(n, c.n) << c.typed;
        EXPECT_EQ(answerer->sawText("Not a number!"), c.message) << c.typed;
    }
}
