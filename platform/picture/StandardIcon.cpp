#include "platform/picture/StandardIcon.h"

#include <QApplication>
#include <QIconEngine>
#include <QPointer>
#include <QWidget>

namespace {

// Hands every request to the style's own icon, fetched on the first one.
class StandardIconEngine : public QIconEngine {
public:
    StandardIconEngine(QStyle::StandardPixmap which, QStyle *style) : which(which), style(style) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override {
        return icon().pixmap(size / scale, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return icon().availableSizes(mode, state);
    }
    QString iconName() override { return icon().name(); }
    // The style has a picture for every standard button.
    bool isNull() override { return false; }
    QString key() const override { return QStringLiteral("StandardIconEngine"); }
    QIconEngine *clone() const override {
        auto *copy = new StandardIconEngine(which, style);
        copy->loaded = loaded;
        return copy;
    }

private:
    const QIcon &icon() {
        if (loaded.isNull()) {
            QStyle *s = style ? style.data() : QApplication::style();
            loaded = s->standardIcon(which);
        }
        return loaded;
    }

    QStyle::StandardPixmap which;
    QPointer<QStyle> style;
    QIcon loaded;
};

} // namespace

QIcon LazyStandardIcon(QStyle::StandardPixmap which, const QWidget *owner) {
    return QIcon(new StandardIconEngine(which, owner ? owner->style() : QApplication::style()));
}
