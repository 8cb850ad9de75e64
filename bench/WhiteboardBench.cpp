// The frames of one step for a full board: sixteen dancers, half moving on
// quarter circles, half straight, every one turning.

#include "presentation/whiteboard/DancerPictures.h"
#include "presentation/whiteboard/WhiteBoard.h"
#include "presentation/whiteboard/WhiteboardAnimation.h"

#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

void BM_ComputeFrames16(benchmark::State &state) {
    WhiteboardItem item;
    for (int n = 1; n <= 16; ++n) {
        const int x = 100 + 60 * n, y = 100 + 20 * n;
        const StepPos to = n % 2 ? StepPos{x + 100, y + 100, 4} : StepPos{x + 250, y - 40, 5};
        item.dancers.append({n, {{x, y, 2}, to}});
    }
    for (auto _ : state) benchmark::DoNotOptimize(ComputeFrames(item, 1));
}
BENCHMARK(BM_ComputeFrames16)->Unit(benchmark::kMicrosecond);

// Sixteen dancers at their places, every facing used.
WhiteboardEditor fullBoard() {
    WhiteboardEditor e;
    for (int n = 1; n <= 16; ++n)
        e.item.dancers.append({n, {{100 + 70 * n, 150 + 25 * n, n % 8}}});
    e.open(e.item);
    return e;
}

// One tick as the window shows it: every dancer moved a frame on, the board
// (grid on) painted whole at 1280 x 800, as the widget paints itself.
void BM_BoardTickRedraw(benchmark::State &state) {
    WhiteboardEditor e = fullBoard();
    TWhiteBoard board(e);
    board.resize(1280, 800);
    board.showGrid = true;
    QImage target(1280, 800, QImage::Format_ARGB32_Premultiplied);
    int shift = 0;
    for (auto _ : state) {
        shift = (shift + 1) % 10;
        for (auto it = e.board.begin(); it != e.board.end(); ++it) it->x += shift % 2 ? 1 : -1;
        board.render(&target);
    }
}
BENCHMARK(BM_BoardTickRedraw)->Unit(benchmark::kMicrosecond);

// The floor to compare with: plain QPainter drawing of 16 cached pictures
// onto a white 1280 x 800 image.
void BM_PlainSixteenImages(benchmark::State &state) {
    WhiteboardEditor e = fullBoard();
    QImage target(1280, 800, QImage::Format_ARGB32_Premultiplied);
    for (auto it = e.board.cbegin(); it != e.board.cend(); ++it) DancerImage(it.key(), it->dir);
    int shift = 0;
    for (auto _ : state) {
        shift = (shift + 1) % 10;
        QPainter p(&target);
        p.fillRect(target.rect(), Qt::white);
        for (auto it = e.board.cbegin(); it != e.board.cend(); ++it)
            p.drawImage(QPoint(it->x + shift, it->y), DancerImage(it.key(), it->dir));
    }
}
BENCHMARK(BM_PlainSixteenImages)->Unit(benchmark::kMicrosecond);

} // namespace
