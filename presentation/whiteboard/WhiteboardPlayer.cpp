#include "presentation/whiteboard/WhiteboardPlayer.h"

QtAnimationClock::QtAnimationClock(std::function<void()> onTick) {
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, std::move(onTick));
    elapsed.start();
}

void QtAnimationClock::start(int intervalMs) { timer.start(intervalMs); }

WhiteboardPlayer::WhiteboardPlayer(WhiteboardEditor &e, AnimationClock &c) : editor(e), clock(c) {}

void WhiteboardPlayer::play(Start how) {
    if (playing()) {
        stop();
        return;
    }
    if (editor.current < 1) return;
    if (editor.stepChanged) editor.saveStep();
    playOn = how != Start::Play;
    if (!playOn || how == Start::PlayOn) {
        if (editor.current >= editor.item.storedSteps()) editor.go(1);
        report.clear();
    }
    if (how == Start::PlayAll) {
        editor.go(1);
        state = State::StartWait;
        clock.start(500);
        return;
    }
    playStep();
}

void WhiteboardPlayer::playRight(bool playAll) {
    if (playing()) {
        stop();
        return;
    }
    if (editor.stepChanged) editor.saveStep();
    report.clear();
    if (timings) lastTick = clock.nowMs();
    play(playAll ? Start::PlayAll : Start::PlayOn);
}

void WhiteboardPlayer::playStep() {
    if (editor.current >= editor.item.storedSteps()) {
        stop();
        return;
    }
    frames = ComputeFrames(editor.item, editor.current);
    state = State::Frames;
    clock.start(interval);
    if (debug) report += FramesDebugText(editor.current, frames);
}

void WhiteboardPlayer::stop() {
    clock.stop();
    state = State::Idle;
    frames = StepFrames();
}

void WhiteboardPlayer::tick() {
    switch (state) {
    case State::Idle:
        clock.stop();
        return;
    case State::StartWait:
        playStep();
        return;
    case State::Pause:
        finish();
        return;
    case State::Frames:
        break;
    }
    if (timings) {
        const qint64 now = clock.nowMs();
        report += QString::number((now - lastTick) % 1000) + QStringLiteral("  ");
        lastTick = now;
    }
    interval = slow ? 195 : 65;
    clock.start(interval);
    bool moved = false;
    for (auto it = frames.queues.begin(); it != frames.queues.end(); ++it) {
        if (it->isEmpty()) continue;
        editor.board[it.key()] = it->takeFirst();
        moved = true;
    }
    if (!moved) stepOver();
}

void WhiteboardPlayer::stepOver() {
    if (timings) report += QStringLiteral("\r\n");
    clock.stop();
    const int last = editor.item.storedSteps();
    if (editor.current < last) editor.go(editor.current + 1);
    if ((editor.current >= last || !playOn) && (timings || debug) && writeReport)
        writeReport(report);
    if (pauses) {
        state = State::Pause;
        clock.start(500);
        return;
    }
    finish();
}

void WhiteboardPlayer::finish() {
    state = State::Idle;
    if (playOn)
        playStep();
    else
        stop();
}
