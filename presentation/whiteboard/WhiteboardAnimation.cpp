#include "presentation/whiteboard/WhiteboardAnimation.h"

#include <algorithm>
#include <cmath>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

int heading(int dx, int dy) {
    if (dx == 0) dx = 1;
    const int s = 10 * dy / dx;
    if (dx > 0) return s > 24 ? 4 : s > 4 ? 3 : s > -4 ? 2 : s > -24 ? 1 : 0;
    return s <= -24 ? 4 : s <= -4 ? 5 : s <= 4 ? 6 : s <= 24 ? 7 : 0;
}

// Eases the facing into the end over the last four frames.
void smoothEnd(QList<StepPos> &q) {
    if (q.size() < 4) return;
    const qsizetype last = q.size() - 1;
    const int f1 = q[last - 3].dir;
    int diff = q[last].dir - f1;
    if (diff > 4) diff -= 8;
    if (diff < -4) diff += 8;
    if (std::abs(diff) == 2) {
        q[last - 2].dir = q[last - 1].dir = (f1 + diff / 2 + 8) % 8;
    } else if (std::abs(diff) == 3) {
        const int s = sign(diff);
        for (int k = 1; k <= 3; ++k) q[last - 4 + k].dir = (f1 + k * s + 8) % 8;
    }
}

} // namespace

StepMotion MotionOf(const StepPos &from, const StepPos &to) {
    StepMotion m;
    m.dx = 10 * (to.x - from.x);
    m.dy = 10 * (to.y - from.y);
    m.length = int(std::nearbyint(std::sqrt(double(m.dx) * m.dx + double(m.dy) * m.dy)));
    if (to.dir != from.dir) m.turn = (to.dir - from.dir + 8) % 8 <= 3 ? 1 : -1;
    if (m.dx != 0 || m.dy != 0 || m.turn != 0) m.length = std::max(m.length, 500);
    m.heading = heading(to.x - from.x, to.y - from.y);
    m.arc = std::abs(to.x - from.x) == std::abs(to.y - from.y) && m.turn != 0;
    return m;
}

StepFrames ComputeFrames(const WhiteboardItem &item, int step) {
    StepFrames out;
    if (step < 1 || step >= item.storedSteps()) return out;
    int lmax = 0;
    for (const auto &d : item.dancers)
        lmax = std::max(lmax, MotionOf(d.steps[step - 1], d.steps[step]).length);
    if (lmax == 0) return out;
    const int n = lmax / 100 + 1;
    out.n = n;
    const double a = M_PI / (4.0 * (n - 1));
    for (const auto &d : item.dancers) {
        const StepPos p0 = d.steps[step - 1], p1 = d.steps[step];
        const StepMotion m = MotionOf(p0, p1);
        if (m.length == 0) continue;
        const int vx = int(qint64(m.dx) * 1000 / lmax), vy = int(qint64(m.dy) * 1000 / lmax);
        const int r = std::abs(p1.x - p0.x), sx = sign(p1.x - p0.x), sy = sign(p1.y - p0.y);
        int x = 100 * p0.x, y = 100 * p0.y, dir = p0.dir;
        QList<StepPos> q;
        for (int i = 1; i <= n; ++i) {
            if (m.arc) {
                const double t = i * a;
                const int P = int(std::nearbyint(200.0 * r * std::sin(t) * std::cos(t)));
                const int Q = int(std::nearbyint(200.0 * r * std::sin(t) * std::sin(t)));
                const bool along = (sx == sy) == (m.turn == 1);
                x = 100 * p0.x + sx * (along ? P : Q);
                y = 100 * p0.y + sy * (along ? Q : P);
            } else {
                x += vx;
                y += vy;
            }
            if (i % 4 == 0 && dir != p1.dir && dir != m.heading) dir = (dir + m.turn + 8) % 8;
            q << (i < n ? StepPos{x / 100, y / 100, dir} : p1);
        }
        smoothEnd(q);
        q.removeLast();
        out.queues.insert(d.number, q);
    }
    return out;
}

QString FramesDebugText(int step, const StepFrames &frames) {
    QString s = QStringLiteral("****** Step ") + QString::number(step) +
                QStringLiteral(" ******\r\n\r\n");
    for (auto it = frames.queues.cbegin(); it != frames.queues.cend(); ++it) {
        if (it->isEmpty()) continue;
        s += QStringLiteral("Moves for Dancer ") + QString::number(it.key()) + QStringLiteral("\r\n");
        for (const StepPos &p : *it) s += StepText(p) + QStringLiteral("\r\n");
        s += QStringLiteral("Total moves: ") + QString::number(it->size()) + QStringLiteral("\r\n\r\n");
    }
    return s;
}
