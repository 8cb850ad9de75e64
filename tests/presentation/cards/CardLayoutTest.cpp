#include "presentation/cards/CardPrint.h"

#include <gtest/gtest.h>

namespace {

// Lines of height h each, a paragraph ending at the listed indexes with gap g.
QList<CardTextLine> Lines(QList<double> heights, QList<int> paraEnds, double gap) {
    QList<CardTextLine> out;
    double y = 0;
    for (int i = 0; i < heights.size(); ++i) {
        const bool end = paraEnds.contains(i);
        out.append({y, y + heights[i], end ? gap : 0, end});
        y += heights[i] + (end ? gap : 0);
    }
    return out;
}

struct PageRow {
    const char *name;
    QList<double> heights;
    QList<int> paraEnds;
    double gap, cardHeight, footer;
    bool printing;
    QList<int> counts; // lines per card
    bool moved, footerFits;
};

class Paginate : public testing::TestWithParam<PageRow> {};

TEST_P(Paginate, SplitsLinesIntoCards) {
    const PageRow &r = GetParam();
    const CardPagination p = PaginateCards(Lines(r.heights, r.paraEnds, r.gap), r.cardHeight, r.footer, r.printing);
    QList<int> counts;
    int next = 0;
    for (const CardSlice &c : p.cards) {
        EXPECT_EQ(c.first, next) << "cards follow each other";
        next = c.first + c.count;
        counts.append(c.count);
    }
    EXPECT_EQ(counts, r.counts);
    EXPECT_EQ(p.lineMovedForFooter, r.moved);
    EXPECT_EQ(p.footerFits, r.footerFits);
}

INSTANTIATE_TEST_SUITE_P(
    Cards, Paginate,
    testing::Values(
        PageRow{"fits", {10, 10, 10}, {2}, 5, 100, 0, true, {3}, false, true},
        PageRow{"overflow", {10, 10, 10, 10, 10}, {}, 0, 25, 0, true, {2, 2, 1}, false, true},
        // the gap under a card's last paragraph line does not count: 3 x 10 + 2 gaps inside = 34
        PageRow{"last gap free", {10, 10, 10, 10}, {0, 1, 2, 3}, 2, 34, 0, true, {3, 1}, false, true},
        // inside gaps count: 10 + 8 + 10 + 8 + 10 = 46 > 40
        PageRow{"inner gaps count", {10, 10, 10}, {0, 1, 2}, 8, 40, 0, true, {2, 1}, false, true},
        PageRow{"line taller than card", {50, 10, 60}, {}, 0, 40, 0, true, {1, 1, 1}, false, true},
        PageRow{"empty text", {}, {}, 0, 40, 0, true, {0}, false, true},
        PageRow{"footer moves last line", {10, 10, 10}, {2}, 0, 35, 10, true, {2, 1}, true, true},
        PageRow{"on screen footer is only marked", {10, 10, 10}, {2}, 0, 35, 10, false, {3}, false, false},
        PageRow{"footer taller than card", {10, 10}, {1}, 0, 35, 50, true, {1, 1}, true, false},
        PageRow{"footer with one-line card", {10}, {0}, 0, 35, 30, true, {1}, false, false}),
    [](const auto &info) {
        std::string n = info.param.name;
        for (char &c : n)
            if (!isalnum(static_cast<unsigned char>(c))) c = '_';
        return n;
    });

CardGeometry Layout(const QStringList &card) { return ReadCardGeometry(card).geometry; }

TEST(CardPlacer, CardsRunAcrossThenDownThenOntoNewPages) {
    struct Row {
        const char *layout;
        QStringList card;
        bool firstPageOnly;
        int cards;
        QList<QList<int>> where; // page, row, column, left, top (twips)
        int pagesStarted;
    };
    const QStringList L1 = {"1300", "2300", "6700", "3710", "610", "30", "3", "1"};
    const QStringList L2 = {"0", "200", "7200", "5200", "500", "1200", "2", "2"};
    const QStringList L4 = {"380", "420", "15100", "10550", "0", "0", "1", "1"};
    const QList<Row> rows = {
        {"L2 fifth card opens page 2", L2, false, 5,
         {{1, 0, 0, 200, 40}, {1, 0, 1, 8600, 40}, {1, 1, 0, 200, 5740}, {1, 1, 1, 8600, 5740}, {2, 0, 0, 200, 40}}, 1},
        {"L2 exactly one page: no page after the last", L2, false, 4, {{1, 0, 0, 200, 40}, {1, 0, 1, 8600, 40}, {1, 1, 0, 200, 5740}, {1, 1, 1, 8600, 5740}}, 0},
        {"L1 three down", L1, false, 4, {{1, 0, 0, 2300, 1340}, {1, 1, 0, 2300, 5660}, {1, 2, 0, 2300, 9980}, {2, 0, 0, 2300, 1340}}, 1},
        {"L4 first page only stops", L4, true, 3, {{1, 0, 0, 420, 420}}, 0},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.layout);
        CardPlacer p(Layout(r.card), r.firstPageOnly);
        QList<QList<int>> where;
        int pages = 0;
        for (int i = 0; i < r.cards && !p.StopPrinting; ++i) {
            where.append({p.CardPageNo, p.PrintRow, p.PrintColumn, p.cardLeft(), p.cardTop()});
            if (p.advance(i + 1 < r.cards)) ++pages;
        }
        EXPECT_EQ(where, r.where);
        EXPECT_EQ(pages, r.pagesStarted);
    }
}

TEST(CardGeometry, DownOrAcrossBelowOneCountsAsEmpty) {
    struct Row {
        QStringList card;
        bool empty, notWhole;
        int dHeight, down, across;
        bool sizeMissing = false;
    };
    const CardGeometry previous{1, 2, 3, 4, 5, 6, 7, 8};
    const QList<Row> rows = {
        {{"0", "200", "7200", "5200", "500", "1200", "2", "2"}, false, false, 5200, 2, 2},
        {{"0", "200", "7200", "5200", "500", "1200", "0", "2"}, true, false, 5200, 1, 1},
        {{"0", "200", "7200", "5200", "500", "1200", "2", ""}, true, false, 5200, 1, 1},
        {{"0", "200", "7200", "5.5", "500", "1200", "2", "2"}, false, true, 4, 7, 8},
        {{"0", "200", "7200", "0", "500", "1200", "2", "2"}, false, false, 0, 2, 2, true},
    };
    for (const Row &r : rows) {
        const CardGeometryRead g = ReadCardGeometry(r.card, previous);
        EXPECT_EQ(g.downAcrossEmpty, r.empty) << r.card.join(',').toStdString();
        EXPECT_EQ(g.notWhole, r.notWhole);
        EXPECT_EQ(g.sizeMissing, r.sizeMissing);
        EXPECT_EQ(QList<int>({g.geometry.dHeight, g.geometry.down, g.geometry.across}), QList<int>({r.dHeight, r.down, r.across}));
    }
}

TEST(CardHeading, RefinedSizesShrinkToTheFloorAndBreaksGoItalic) {
    struct Row {
        const char *name;
        CardHeadingInput in;
        int maxWidth; // characters x points the one-line test allows
        QString text;
        QList<QList<double>> runs; // start, length, points, bold, italic
    };
    const QList<Row> rows = {
        {"card 1 fits", {"Jack", "", "English", false, true, 1, 12}, 1000, "Jack", {{0, 4, 24, 1, 0}}},
        {"later card", {"Jack", "", "English", false, true, 2, 12}, 1000, "Jack", {{0, 4, 18, 1, 0}}},
        {"shrinks", {"Jack", "", "English", false, true, 1, 12}, 4 * 20, "Jack", {{0, 4, 20, 1, 0}}},
        {"floor of 8", {"Jack", "", "English", false, true, 1, 12}, 1, "Jack", {{0, 4, 8, 1, 0}}},
        {"break and article", {"The Mill", "The", "Break", false, true, 1, 12}, 1000, "Break:  The Mill",
         {{0, 6, 24, 0, 1}, {6, 2, 24, 1, 0}, {8, 3, 15, 1, 0}, {11, 5, 24, 1, 0}}},
        {"plain from template", {"Jack", "", "Break", false, false, 1, 14}, 1, "Jack", {{0, 4, 14, 0, 0}}},
        {"titles in text", {"Jack", "", "English", true, true, 1, 12}, 1, "", {}},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const CardHeadingText h = CardHeading(r.in, [&](const CardHeadingText &t) {
            double w = 0;
            for (const HeadingRun &run : t.runs) w += run.length * run.points;
            return w <= r.maxWidth;
        });
        EXPECT_EQ(h.text, r.text);
        QList<QList<double>> runs;
        for (const HeadingRun &run : h.runs) runs.append({double(run.start), double(run.length), run.points, double(run.bold), double(run.italic)});
        EXPECT_EQ(runs, r.runs);
    }
}

TEST(CardHeading, TemplateSizeWordBeforeTheTitle) {
    const QList<std::pair<QString, int>> rows = {
        {"{\\rtf1\\fs24 x\\fs32 (*Title*)\\fs24 y}", 16},
        {"{\\rtf1\\fs20 (*\\fs28 Title\\fs24*)}", 14},
        {"{\\rtf1\\fs120 (*\\b Title\\b0*)\\fs2 x}", 60},
        {"{\\rtf1\\fs120 (*Title*)}", 60},
        {"{\\rtf1 no title}", 12},
    };
    for (const auto &[text, points] : rows) EXPECT_EQ(TemplateTitlePoints(text, 12), points) << text.toStdString();
}

TEST(PrintCard, NumbersArrowsAndFooterPlacement) {
    const CardGeometry g = Layout({"0", "200", "7200", "5200", "500", "1200", "2", "2"});
    QTextDocument *fake = reinterpret_cast<QTextDocument *>(0x10); // only compared, never read
    struct Row {
        int cardNo;
        bool last;
        QStringList pictures;
    };
    const QList<Row> rows = {{1, true, {}}, {1, false, {"CNo1", "Arrow"}}, {2, true, {"CNo2"}}, {10, false, {"Arrow"}}};
    for (const Row &r : rows) {
        RecordingCardSink sink;
        CardPlacer at(g, false);
        at.advance(true); // second column
        CardContent c{fake, 400, fake, 100, 160, 480, r.last ? fake : nullptr, 20, r.cardNo, r.last};
        PrintCard(sink, g, at, c, true);
        QStringList pictures;
        for (const auto &call : sink.calls)
            if (call.kind == "picture") pictures.append(call.name);
        EXPECT_EQ(pictures, r.pictures) << r.cardNo;
        // heading at the card's top, text 600 twips lower, footer 150 twips above the card's lower edge
        QList<double> tops;
        for (const auto &call : sink.calls)
            if (call.kind == "text") tops.append(call.rect.top());
        const double top = 40.0 / 15, text = top + 40;
        EXPECT_EQ(tops, r.last ? QList<double>({top, text, text + 5200.0 / 15 - 10 - 20}) : QList<double>({top, text}));
        EXPECT_DOUBLE_EQ(sink.calls.first().rect.left(), (8600.0) / 15 - 2) << "the frame stands 2 pixels outside";
    }
}

} // namespace
