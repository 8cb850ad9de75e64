#include "platform/picture/ProgramCursors.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>

// Each of the four drawn cursors is a picture of its own: opaque where drawn,
// transparent around it, with its hot spot on the picture; other numbers
// give the arrow.
TEST(ProgramCursors, FourDrawnCursors) {
    LoadProgramCursors();
    QList<QImage> seen;
    for (int n : {5, 6, 7, 8}) {
        const QCursor c = ProgramCursorOf(n);
        ASSERT_EQ(c.shape(), Qt::BitmapCursor) << n;
        const QImage image = c.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(32, 32)) << n;
        int opaque = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) opaque += qAlpha(image.pixel(x, y)) == 255;
        EXPECT_GT(opaque, 40) << n;
        EXPECT_LT(opaque, 32 * 32 - 100) << n;
        EXPECT_TRUE(QRect(0, 0, 32, 32).contains(c.hotSpot())) << n;
        EXPECT_FALSE(seen.contains(image)) << n;
        seen << image;
    }
    EXPECT_EQ(ProgramCursorOf(4).shape(), Qt::ArrowCursor);
    EXPECT_EQ(ProgramCursorOf(ProgramCursor::WebSite).pixmap().toImage().convertToFormat(QImage::Format_ARGB32), seen[2]);
}
