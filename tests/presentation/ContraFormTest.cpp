#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "platform/rtf/RichEdit.h"
#include "presentation/ContraForm.h"
#include "../core/database/TablesFixture.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

struct FakeHost : ContraHost {
    QList<ProgrammeItem> items;
    int thisIndex = 1;
    QStringList calls;
    QList<ProgrammeItem> ContraItems() const override { return items; }
    int ContraThisIndex() const override { return thisIndex; }
    void ContraSelectRow(const QString &t) override { calls << "select " + t; }
    void ContraLocate(const DanceKey &k) override { calls << "locate " + k.Title; }
    // Adding puts the located dance in after the selection.
    void ContraAdd() override {
        calls << "add";
        items.insert(thisIndex + 1, ProgrammeItem::dance(located, "Longways", "American"));
    }
    void ContraRemove() override { calls << "remove"; }
    QString located = "Alder";
};

} // namespace

class ContraFormTest : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        useDances({{"Ivy Bridge", "Longways", "American"},
                   {"Zephyr Reel", "Longways", "American"},
                   {"Alder", "Longways", "American"},
                   {"Spare", "Longways", "Break"},
                   {"English One", "Longways", "English"}});
        ASSERT_TRUE(OpenDatabase());
        ResetFilterCommands();
        ClearContraCache();
        ContraExtrasAnswer.clear();
        auto text = [](const QString &title, const QString &words) {
            RunSQL("Update Dances Set Instructions = '{\\rtf1\\ansi " + words + "\\par}' where Title = '" + title + "'");
        };
        text("Ivy Bridge", "Petronella. Partner swing.");
        text("Zephyr Reel", "Neighbour swing. Mad Robin.");
        text("Alder", "Petronella. Circle left.");
        text("Spare", "Hey for four.");
        text("English One", "Swing and hey.");
        host.items = {ProgrammeItem::heading("Evening"), ProgrammeItem::dance("Ivy Bridge", "Longways", "American"),
                      ProgrammeItem::dance("Zephyr Reel", "Longways", "American"), ProgrammeItem::heading("Extras"),
                      ProgrammeItem::dance("Spare", "Longways", "Break")};
        TestAnswerer::onUnscripted = [](const QString &t) { ADD_FAILURE() << t.toStdString(); };
    }
    void TearDown() override {
        TestAnswerer::onUnscripted = {};
        ContraExtrasAnswer.clear();
        TablesTest::TearDown();
    }
    QStringList headers(TContraForm &f) {
        QStringList out;
        for (int c = 1; c < f.Grid->columnCount(); ++c) out << f.Grid->item(0, c)->text().replace('\r', ' ');
        return out;
    }
    FakeHost host;
};

TEST_F(ContraFormTest, GridMarksAndAdd) {
    answerer->script(ResultNo); // no Extras
    TContraForm f(&host);
    f.show();
    EXPECT_EQ(answerer->texts().size(), 1);
    EXPECT_EQ(headers(f), QStringList({"Swing ptnr", "Swing nbr", "Petronella", "Shuttle"}));
    const int last = f.Grid->rowCount() - 1;
    EXPECT_EQ(f.Grid->item(last, 0)->text(), "TOTAL");
    EXPECT_EQ(f.Grid->item(last, 3)->text(), "1");
    ASSERT_EQ(f.UnusedLabels().size(), 26);
    QLabel *circle = nullptr;
    for (QLabel *l : f.UnusedLabels())
        if (l->text() == "|Circle") circle = l;
    ASSERT_TRUE(circle);
    QTest::mouseClick(circle, Qt::LeftButton);
    EXPECT_EQ(f.Marks().must.size(), 1);
    ASSERT_TRUE(f.TList->isVisible());
    EXPECT_EQ(f.TList->count(), 1);
    EXPECT_EQ(f.TList->item(0)->text(), "Alder");

    // Petronella must, circle must not: Ivy Bridge alone.
    f.GridSelectCell(0, 3);
    QTest::mouseClick(circle, Qt::LeftButton);
    EXPECT_EQ(f.TList->item(0)->text(), "Ivy Bridge");
    EXPECT_EQ(f.TList->count(), 1);

    f.TListClick(f.TList->item(0));
    EXPECT_TRUE(f.IPanel->isVisible());
    EXPECT_TRUE(f.UsedList->toPlainText().contains("Swing ptnr\nPetronella"));
    host.located = "Ivy Bridge";
    QTest::mouseClick(f.AddBtn, Qt::LeftButton);
    EXPECT_EQ(host.calls, QStringList({"locate Ivy Bridge", "add"}));
    EXPECT_EQ(f.Grid->rowCount(), 5) << "rebuilt with the added dance";
    EXPECT_TRUE(f.Marks().empty());
    EXPECT_EQ(answerer->texts().size(), 1) << "the Extras answer is kept for the event";
}

TEST_F(ContraFormTest, ShowProcessStepsAndStopRestores) {
    answerer->script(ResultYes);
    TContraForm f(&host);
    f.show();
    EXPECT_EQ(f.Grid->rowCount(), 5) << "Extras included";
    f.GridSelectCell(1, 0);
    EXPECT_EQ(host.calls, QStringList({"select Ivy Bridge", "locate Ivy Bridge"}));
    const QString rtf = f.Inst->rtf();
    f.ShowBtnClick();
    EXPECT_TRUE(f.UsedList->toPlainText().startsWith("Next...\n\nReplace\n[.]"));
    f.ShowBtnClick();
    EXPECT_EQ(f.Inst->toPlainText().trimmed(), "Petronella  Partner swing");
    f.StopBtnClick();
    EXPECT_TRUE(f.UsedList->toPlainText().startsWith("DONE.\n\nFigures recognised..."));
    EXPECT_EQ(f.Inst->rtf(), rtf);
    ASSERT_TRUE(f.RemBtn->isVisibleTo(&f)) << "a programme dance can be removed";
    QTest::mouseClick(f.RemBtn, Qt::LeftButton);
    EXPECT_EQ(host.calls.last(), "remove");
    EXPECT_FALSE(f.IPanel->isVisible());
}

TEST_F(ContraFormTest, NoSuitableDances) {
    host.items = {ProgrammeItem::dance("English One", "Longways", "English")};
    host.thisIndex = 0;
    TContraForm f(&host);
    EXPECT_TRUE(answerer->sawText("No suitable dances in current section."));
    EXPECT_FALSE(f.HasFigures());
}
