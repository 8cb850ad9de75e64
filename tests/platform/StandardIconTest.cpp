#include "platform/picture/StandardIcon.h"
#include "TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

// A picture fetched late is the style's own at every size, mode and pixel
// ratio, painted or taken as a pixmap.
TEST(StandardIcon, LateIconIsTheStylesOwn) {
    QWidget owner;
    const QStyle::StandardPixmap kinds[] = {QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekForward,
                                            QStyle::SP_DialogApplyButton, QStyle::SP_ArrowDown};
    const QSize sizes[] = {{16, 16}, {24, 24}, {64, 40}};
    for (QStyle::StandardPixmap kind : kinds) {
        const QIcon own = owner.style()->standardIcon(kind);
        const QIcon late = LazyStandardIcon(kind, &owner);
        EXPECT_FALSE(late.isNull());
        EXPECT_EQ(late.availableSizes(), own.availableSizes());
        for (const QSize &size : sizes)
            for (QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled})
                for (qreal ratio : {1.0, 2.0}) {
                    SCOPED_TRACE(testing::Message() << kind << " " << size.width() << " " << mode << " " << ratio);
                    EXPECT_EQ(late.actualSize(size, mode), own.actualSize(size, mode));
                    const QPixmap a = late.pixmap(size, ratio, mode), b = own.pixmap(size, ratio, mode);
                    EXPECT_EQ(a.devicePixelRatio(), b.devicePixelRatio());
                    EXPECT_EQ(a.toImage(), b.toImage());
                    QImage paintedLate(size * 2, QImage::Format_ARGB32), paintedOwn = paintedLate;
                    paintedLate.fill(Qt::white);
                    paintedOwn.fill(Qt::white);
                    QPainter(&paintedLate).drawPixmap(0, 0, a);
                    {
                        QPainter p(&paintedLate);
                        late.paint(&p, QRect(QPoint(size.width() / 2, 0), size), Qt::AlignCenter, mode);
                    }
                    QPainter(&paintedOwn).drawPixmap(0, 0, b);
                    {
                        QPainter p(&paintedOwn);
                        own.paint(&p, QRect(QPoint(size.width() / 2, 0), size), Qt::AlignCenter, mode);
                    }
                    EXPECT_EQ(paintedLate, paintedOwn);
                }
    }
}
