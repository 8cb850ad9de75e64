#include "presentation/cards/CardDocument.h"

#include "TestSupport.h"

#include <QImage>
#include <QPageLayout>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextDocument>

#include <gtest/gtest.h>

namespace {

class CardPdfTest : public QuillaryTest {
protected:
    // Prints nine one-card dances with the second standard layout (two by
    // two, landscape); cancelAfter > 0 cancels after that many dances.
    void printNine(const QString &pdf, int cancelAfter = 0) {
        QPdfWriter writer(pdf);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF()));
        const CardGeometry g = ReadCardGeometry({"0", "200", "7200", "5200", "500", "1200", "2", "2"}).geometry;
        CardPrintRun run(&writer, g, false, true);
        ASSERT_TRUE(run.ok());
        for (int i = 1; i <= 9 && !run.stopped(); ++i) {
            QTextDocument text;
            PrepareCardDocument(&text, TwipsToPixels(g.dWidth));
            text.setHtml(QStringLiteral("<p style='font-size:12pt'>Lead down the middle and back, cast off.</p>"));
            const QString title = QStringLiteral("Dance%1").arg(i);
            DanceCardsJob job;
            job.text = &text;
            job.headingWidth = TwipsToPixels(g.dWidth) - 20;
            job.heading = [&](int cardNo) {
                CardHeadingText h = CardHeading({title, "", "English", false, true, cardNo, 12}, [](const auto &) { return true; });
                return HeadingDocument(h, QStringLiteral("Arial"), job.headingWidth);
            };
            EXPECT_EQ(run.printDance(job, i < 9), 1);
            if (i == cancelAfter) run.cancelAfterPage();
        }
        EXPECT_TRUE(run.end());
    }
};

TEST_F(CardPdfTest, NineCardsFourToAPage) {
    const QString pdf = path("cards.pdf");
    printNine(pdf);
    const QString info = ProgramOutput("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    const QString text = ProgramOutput("pdftotext", {pdf, "-"});
    for (int i = 1; i <= 9; ++i) EXPECT_TRUE(text.contains(QStringLiteral("Dance%1").arg(i))) << i;

    ProgramOutput("pdftoppm", {"-r", "48", "-f", "1", "-l", "1", "-png", pdf, path("page")});
    QImage page(path("page-1.png"));
    ASSERT_FALSE(page.isNull());
    // 48 dpi: a twip is 1/30 pixel. Card 1 runs from x 200 twips, its text
    // from y 640 twips; between the columns (7800..8400 twips), below the
    // heading rule, is white.
    const auto darkIn = [&](int x0, int y0, int x1, int y1) {
        int dark = 0;
        for (int y = y0 / 30; y < y1 / 30; ++y)
            for (int x = x0 / 30; x < x1 / 30; ++x) dark += qGray(page.pixel(x, y)) < 128;
        return dark;
    };
    EXPECT_GT(darkIn(400, 700, 7000, 1400), 20) << "card 1 has its text";
    EXPECT_EQ(darkIn(7800, 700, 8400, 5000), 0) << "white between the cards";
}

TEST_F(CardPdfTest, CancelKeepsThePagesPrinted) {
    const QString pdf = path("cancel.pdf");
    printNine(pdf, 2);
    const QString info = ProgramOutput("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+1\\n"))) << info.toStdString();
    EXPECT_EQ(ProgramOutput("pdftotext", {pdf, "-"}).count("Dance"), 4);
}

} // namespace
