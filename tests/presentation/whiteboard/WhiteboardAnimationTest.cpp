#include "presentation/whiteboard/WhiteboardPlayer.h"
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
        if (row.frames) {
            EXPECT_EQ(framesOf(f), QString::fromLatin1(row.frames));
        }
        if (row.checked) {
            EXPECT_EQ(framesOf(f).split(' ').value(row.checkFrame - 1), QString::fromLatin1(row.checked));
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

namespace {

// Ticks on demand; no test sleeps.
struct SteppedClock : AnimationClock {
    QList<int> intervals; // every start, in order
    bool running = false;
    qint64 t = 0;
    void start(int ms) override { intervals << ms, running = true; }
    void stop() override { running = false; }
    qint64 nowMs() override { return t; }
};

// Ticks until play ends (or a given number of ticks).
void run(WhiteboardPlayer &p, SteppedClock &c, int ticks = 1000) {
    for (int i = 0; i < ticks && c.running && p.playing(); ++i) {
        c.t += c.intervals.last();
        p.tick();
    }
}

} // namespace

TEST(WhiteboardAnimation, Player) {
    WhiteboardItem item; // dancer 1 moves 50 px right at each step
    item.dancers = {{1, {{100, 100, 2}, {150, 100, 2}, {200, 100, 2}}}};
    WhiteboardEditor e;
    SteppedClock c;
    WhiteboardPlayer p(e, c);
    QStringList written;
    p.writeReport = [&](const QString &r) { written << r; };

    e.open(item);
    e.go(3);
    p.play(WhiteboardPlayer::Start::Play); // at the last step: replays 1 -> 2
    EXPECT_EQ(c.intervals.first(), 10);
    run(p, c);
    EXPECT_EQ(e.current, 2);
    EXPECT_EQ(e.board[1], (StepPos{150, 100, 2}));
    EXPECT_TRUE(c.intervals.mid(1).contains(65));

    c.intervals.clear();
    p.slow = p.pauses = true;
    p.play(WhiteboardPlayer::Start::PlayAll);
    EXPECT_EQ(c.intervals, QList<int>{500}); // the wait before step 1
    run(p, c);
    EXPECT_EQ(e.current, 3);
    EXPECT_TRUE(c.intervals.contains(195));
    EXPECT_EQ(c.intervals.count(500), 3); // the start, and a pause after each step

    // Stop mid-step leaves the dancer where the last tick put it.
    p.pauses = false;
    e.go(1);
    p.play(WhiteboardPlayer::Start::PlayOn);
    run(p, c, 2);
    p.play(WhiteboardPlayer::Start::Play); // a click during play stops it
    EXPECT_FALSE(p.playing());
    EXPECT_EQ(e.board[1], (StepPos{120, 100, 2}));
    EXPECT_EQ(e.current, 1);

    // Debug and Timings write the report once, when play ends.
    p.debug = p.timings = true;
    p.playRight(false);
    run(p, c);
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(written[0].contains(QStringLiteral("Total moves: 5\r\n\r\n195  195  ")));
    EXPECT_TRUE(written[0].contains(QStringLiteral("****** Step 2 ******\r\n\r\nMoves for Dancer 1\r\n160,100,2")));
}
