#include "presentation/fullscreen/FullControls.h"

namespace {

bool ReadInt(const QString &text, int &value) {
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

int VolumeTick(int volume, HeldButton held) {
    volume = qBound(0, volume, 100);
    if (held == HeldButton::Up && volume < 100) return volume + 1;
    if (held == HeldButton::Down && volume >= 1) return volume - 1;
    return volume;
}

QString VolumeText(int volume) {
    return (volume < 100 ? QStringLiteral(" ") : QString()) + QString::number(volume);
}

int TypedVolume(const QString &text) {
    int value = 0;
    return ReadInt(text, value) ? qBound(0, value, 100) : 100;
}

int SpeedTick(int speed, HeldButton held) {
    if (speed < 1) speed = 100;
    if (held == HeldButton::Up) return speed + 1;
    if (held == HeldButton::Down && speed > 1) return speed - 1;
    return speed;
}

int TypedSpeed(const QString &text) {
    int value = 0;
    return ReadInt(text, value) && value >= 1 ? value : 100;
}

qint64 SeekMilliseconds(int position, int totalSeconds, int speed) {
    return qint64(position) * totalSeconds * speed / 10;
}

FadeStep FadeTick(int volume, int storedVolume) {
    const int next = volume - 4;
    if (next <= 0) return {storedVolume, true};
    return {next, false};
}

int StoredZoom(int zoom) { return zoom < 1 ? 100 : zoom; }

int ZoomFromCaption(const QString &caption) {
    QString value = caption.mid(1);
    value.remove(QLatin1Char('%'));
    int zoom = 0;
    return ReadInt(value, zoom) && zoom >= 1 ? zoom : 0;
}

int TypedZoom(const QString &text) {
    int zoom = 0;
    return ReadInt(text, zoom) && zoom >= 1 ? zoom : 0;
}

int TimeLabelPoints(int zoom) { return StoredZoom(zoom) * 12 / 100; }

QString ShowSizeText(int heightPx, int fontSize, int zoom) {
    zoom = StoredZoom(zoom);
    const int scaled = fontSize * zoom;
    const int lines = scaled > 0 ? heightPx * 100 / scaled / 2 : 0;
    return QStringLiteral("Height is %1px.\rZoom is %2%, so effective font size is %3px.\r"
                          "Number of lines displayed is about %4.")
        .arg(heightPx)
        .arg(zoom)
        .arg(scaled / 100)
        .arg(lines);
}

bool ScreenMaximised(bool fullSize, int width, int height, int screenWidth, int screenHeight) {
    if (fullSize) return true;
    return !(width > 0 && height > 0 && width <= screenWidth && height <= screenHeight);
}

QString WidthCaption(int width, int screenWidth) {
    return QStringLiteral("Width: ") + QString::number(width > 0 ? width : screenWidth);
}

QString HeightCaption(int height, int screenHeight) {
    return QStringLiteral("Height: ") + QString::number(height > 0 ? height : screenHeight);
}
