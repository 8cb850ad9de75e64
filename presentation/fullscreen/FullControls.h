#pragma once
// The values behind the full-screen display's controls: the volume and
// speed boxes with their press-and-hold buttons, the position bar's seek,
// the fade-out, the zoom menu, the window size and the "Show size" text.

#include <QString>
#include <QtGlobal>

// Which button of a press-and-hold box is held.
enum class HeldButton { None, Up, Down };

// Volume: one tick of the held button, kept within 0..100.
int VolumeTick(int volume, HeldButton held);
// As the volume box shows it: a leading blank below 100.
QString VolumeText(int volume);
// A typed volume: not a whole number reads as 100; others are kept within 0..100.
int TypedVolume(const QString &text);

// Speed in percent: one tick of the held button; up has no limit, down stops
// at 1 (the player refuses a speed of 0).
int SpeedTick(int speed, HeldButton held);
// A typed speed: not a whole number, or below 1, reads as 100.
int TypedSpeed(const QString &text);

// The seek target in milliseconds for the position bar at position (0..100)
// of a recording shown as totalSeconds long, played at speed percent.
qint64 SeekMilliseconds(int position, int totalSeconds, int speed);

// One 100 ms tick of the fade-out: the volume falls by 4; at or below 0 the
// fade ends and the stored volume comes back.
struct FadeStep {
    int volume = 0;
    bool finished = false;
};
FadeStep FadeTick(int volume, int storedVolume);

// The stored zoom: below 1 reads as 100.
int StoredZoom(int zoom);
// A zoom menu item's value: its caption from the second character ("&150%"
// gives 150); 0 when it does not read.
int ZoomFromCaption(const QString &caption);
// A typed custom zoom: 1 and above; 0 refuses it.
int TypedZoom(const QString &text);
// The time label's point size at a zoom.
int TimeLabelPoints(int zoom);

// The "Show size" message for a text heightPx high in fontSize-pixel type.
QString ShowSizeText(int heightPx, int fontSize, int zoom);

// SetScreen's choice: maximised unless FullSize is off and both stored sizes
// are positive and no larger than the screen.
bool ScreenMaximised(bool fullSize, int width, int height, int screenWidth, int screenHeight);
// The size menu's captions: the stored value, or the screen's when 0.
QString WidthCaption(int width, int screenWidth);
QString HeightCaption(int height, int screenHeight);
