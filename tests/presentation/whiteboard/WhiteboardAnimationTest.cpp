#include "presentation/whiteboard/WhiteboardAnimation.h"
#include "TestSupport.h"

namespace {

// The frames of dancer 1 over one step, written as "x,y,d" joined by " ".
QString framesOf(const StepFrames &f) {
    QStringList out;
    for (const StepPos &p : f.queues.value(1)) out << StepText(p);
    return out.join(' ');
}

} // namespace

TEST(WhiteboardAnimation, FramesOfOneStep) {
    struct Row {
        const char *name;
        StepPos from, to;
        int n;
        const char *frames; // nullptr: only the listed frame checked
        int checkFrame;
        const char *checked;
    };
    const QList<Row> rows = {
        {"still", {500, 200, 2}, {500, 200, 2}, 0, "", 0, nullptr},
        {"straight", {500, 200, 2}, {550, 200, 2}, 6, "510,200,2 520,200,2 530,200,2 540,200,2 550,200,2", 0, nullptr},
        {"turn only", {500, 200, 0}, {500, 200, 4}, 6, "500,200,0 500,200,0 500,200,0 500,200,7 500,200,7", 0, nullptr},
        {"arc", {500, 200, 2}, {600, 300, 4}, 15, nullptr, 14, "600,300,3"},
        {"5 px left", {500, 200, 2}, {495, 200, 2}, 6, nullptr, 1, "499,200,2"},
        {"5 px right", {500, 200, 2}, {505, 200, 2}, 6, nullptr, 1, "501,200,2"},
        // Turning stops at the heading (4, down the board); the end eases in.
        {"smoothing 2", {500, 200, 3}, {500, 500, 6}, 31, nullptr, 29, "500,490,5"},
        {"smoothing 3", {100, 100, 4}, {100, 400, 7}, 31, nullptr, 28, "100,380,5"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        WhiteboardItem item;
        item.dancers = {{1, {row.from, row.to}}, {9, {{1, 1, 0}, {1, 1, 0}}}};
        const StepFrames f = ComputeFrames(item, 1);
        EXPECT_EQ(f.n, row.n);
        EXPECT_FALSE(f.queues.contains(9)); // standing still: no frames
        if (row.frames) EXPECT_EQ(framesOf(f), QString::fromLatin1(row.frames));
        if (row.checked) {
            ASSERT_GE(f.queues.value(1).size(), row.checkFrame);
            EXPECT_EQ(StepText(f.queues.value(1)[row.checkFrame - 1]),
                      QString::fromLatin1(row.checked));
        }
    }
}

// Headings on both sides of each band edge, for travel right and left.
TEST(WhiteboardAnimation, Headings) {
    const QList<std::tuple<int, int, int>> rows = {
        {10, 25, 4}, {10, 24, 3}, {10, 5, 3}, {10, 4, 2}, {10, -3, 2}, {10, -4, 1},
        {10, -23, 1}, {10, -24, 0}, {-10, 24, 4}, {-10, 23, 5}, {-10, 4, 5}, {-10, 3, 6},
        {-10, -4, 6}, {-10, -5, 7}, {-10, -24, 7}, {-10, -25, 0}, {0, 30, 4}};
    for (const auto &[dx, dy, h] : rows)
        EXPECT_EQ(MotionOf({100, 100, 0}, {100 + dx, 100 + dy, 0}).heading, h) << dx << ',' << dy;
}
