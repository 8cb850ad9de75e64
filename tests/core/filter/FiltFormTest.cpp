#include "core/filter/FilterCommands.h"
#include "core/filter/FiltForm.h"
#include "core/filter/TagForm.h"
#include "ModalDriver.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

using FiltFormTest = WindowTest;

TEST_F(FiltFormTest, OkTakesTheValueAndTheBoxes) {
    TFiltForm form;
    WhenModal([&](QWidget *w) {
        ASSERT_EQ(w, &form);
        EXPECT_EQ(form.windowTitle(), "Multi-filter");
        EXPECT_EQ(form.Info->text(), "Enter value for:  Title");
        EXPECT_EQ(form.UFind->text(), "Reel of Tulloch");
        EXPECT_EQ(form.UFind->selectedText(), "Reel of Tulloch");
        EXPECT_FALSE(form.FullBox->isChecked());
        QTest::keyClicks(form.UFind, "reel");
        QTest::mouseClick(form.CaseBox, Qt::LeftButton);
        QTest::mouseClick(form.HelpBtn, Qt::LeftButton);
        QTest::keyClick(form.UFind, Qt::Key_Return); // OK is the default
    });
    FilterAnswer a;
    form.FullBox->setChecked(true); // left over from an earlier use: cleared
    ASSERT_TRUE(form.Execute("Multi-filter", "Title", "Reel of Tulloch", a));
    EXPECT_EQ(a.value, "reel");
    EXPECT_TRUE(a.caseSensitive);
    EXPECT_FALSE(a.fullMatch);
    EXPECT_FALSE(a.nonBlank);
    EXPECT_EQ(helps, (QList<int>{30400}));
}

TEST_F(FiltFormTest, TagFormClickChoosesCancelDoesNot) {
    WhenModal([](QWidget *w) {
        auto *form = qobject_cast<TTagForm *>(w);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->windowTitle(), "Tag sets");
        ASSERT_EQ(form->TList->count(), 2);
        EXPECT_EQ(form->TList->item(1)->text(), "Ball");
        const QRect r = form->TList->visualItemRect(form->TList->item(1));
        QTest::mouseClick(form->TList->viewport(), Qt::LeftButton, {}, r.center());
    });
    EXPECT_EQ(ChooseTagSet({"Workshop", "Ball"}), std::optional<QString>("Ball"));
    WhenModal([](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); });
    EXPECT_EQ(ChooseTagSet({"Workshop"}), std::nullopt);
}
