#include "base/Messages.h"
#include "TestSupport.h"

class InputBoxTest : public QuillaryTest {};

TEST_F(InputBoxTest, OkGivesTheTextCancelKeepsTheValue) {
    QString value = "start";
    answerer->scriptText("typed");
    EXPECT_TRUE(InputQuery("Quillary", "Enter it", value));
    EXPECT_EQ(value, "typed");
    answerer->script(ResultCancel);
    EXPECT_FALSE(InputQuery("Quillary", "Enter it", value));
    EXPECT_EQ(value, "typed");
    ASSERT_EQ(answerer->boxes.size(), 2);
    EXPECT_EQ(answerer->boxes[0].kind, BoxKind::Input);
    EXPECT_EQ(answerer->boxes[0].value, "start");
    EXPECT_EQ(answerer->boxes[1].text, "Enter it");
    answerer->script(ResultCancel);
    EXPECT_EQ(InputBox("Quillary", "Line 1\rLine 2", "default"), "default");
    EXPECT_EQ(answerer->boxes.last().text, "Line 1\nLine 2");
}
