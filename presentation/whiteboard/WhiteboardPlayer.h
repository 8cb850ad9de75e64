#pragma once
// Playing an item on the board: a state machine driven by the ticks of one
// replaceable clock. Frames are computed once when a step starts; each tick
// moves the dancers on to their next frame; the waits are timed states, so
// the board repaints and Stop works during them.

#include "presentation/whiteboard/WhiteboardAnimation.h"
#include "presentation/whiteboard/WhiteboardEdit.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

// Starts (or restarts) ticking at an interval, stops, and tells the time.
class AnimationClock {
public:
    virtual ~AnimationClock() = default;
    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual qint64 nowMs() = 0;
};

// The window's clock: a precise QTimer and a QElapsedTimer.
class QtAnimationClock : public AnimationClock {
public:
    explicit QtAnimationClock(std::function<void()> onTick);
    void start(int intervalMs) override;
    void stop() override { timer.stop(); }
    qint64 nowMs() override { return elapsed.elapsed(); }

private:
    QTimer timer;
    QElapsedTimer elapsed;
};

class WhiteboardPlayer {
public:
    // Play plays one step; PlayAll from step 1 to the last; PlayOn from the
    // current step to the last (Space, right-click on Play).
    enum class Start { Play, PlayAll, PlayOn };

    WhiteboardPlayer(WhiteboardEditor &editor, AnimationClock &clock);

    bool pauses = false; // 500 ms after each step
    bool slow = false;   // 195 ms ticks instead of 65
    bool debug = false;  // log the frames
    bool timings = false; // log the tick times
    QString report;
    // Writes the report to TempFolder + "Temp.Txt" and opens it (the window's).
    std::function<void(const QString &)> writeReport;

    bool playing() const { return state != State::Idle; }
    // A click on Play or PlayAll (a click during play stops it).
    void play(Start how);
    // The right-click on Play or PlayAll.
    void playRight(bool playAll);
    // Stops where the last tick left the dancers.
    void stop();
    void tick();

private:
    enum class State { Idle, Frames, StartWait, Pause };
    void playStep();
    void stepOver();
    void finish();

    WhiteboardEditor &editor;
    AnimationClock &clock;
    State state = State::Idle;
    bool playOn = false;
    int interval = 10; // the first tick after the window opens
    qint64 lastTick = 0;
    StepFrames frames;
};
