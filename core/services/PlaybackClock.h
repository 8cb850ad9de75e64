#pragma once
// The playback clock of the main window, worked out once a second: time
// played, the recording's length at the playing speed, the time left and the
// position in percent.

#include <QString>

// Minutes in decimal, the time separator, seconds in two digits ("3:07").
QString FormatMinSec(int minutes, int seconds);

struct ClockInput {
    int elapsedSeconds = 0; // seconds counted since playback started
    bool cdTrack = false;
    bool midFile = false;   // a MIDI file: only the time played is shown
    qint64 positionMs = 0;  // the player's position
    qint64 playLengthMs = 0; // a file's length
    int trackMinutes = 0;   // a CD track's length
    int trackSeconds = 0;
    int speed = 100;        // playing speed in percent
};

struct ClockShow {
    QString elapsed;           // LEDElapsed
    bool lengthShown = false;  // false: LEDTLen and the rest stay as they are
    int totalSeconds = 0;      // the length at the playing speed
    QString total;             // LEDTLen
    bool remainingShown = false; // false (no length): LEDRemain stays
    int remainingSeconds = 0;
    QString remaining;         // LEDRemain: m:ss, "" when negative, "???" past the end of a file
    int percent = 0;           // for the full-screen position bar
    bool stopCd = false;       // a CD track has ended
};

ClockShow PlaybackClock(const ClockInput &in);
