#include "core/startup/SplashForm.h"
#include "platform/picture/ProgramCursors.h"
#include "TestSupport.h"

#include <QApplication>
#include <QLabel>

TEST(SplashForm, VersionLineCarriesTheFileDate) {
    EXPECT_EQ(SplashVersionText(QStringLiteral("6.103"), QDate(2026, 12, 4)),
              QStringLiteral("Version 6.103    4-Dec-2026"));
    EXPECT_EQ(SplashVersionText(QStringLiteral("6.103"), QDate(2027, 1, 15)),
              QStringLiteral("Version 6.103    15-Jan-2027"));
}

TEST(SplashForm, LargeFontsByTheTenPointHeight) {
    struct Case {
        double dpi;
        int height;
        bool large, veryLarge;
    } cases[] = {
        {96, 13, false, false},  // 13.33: ordinary fonts
        {99, 14, true, false},   // 13.75 rounds up to 14
        {120, 17, true, false},  // 16.67: a quarter larger
        {125, 17, true, false},  // 17.36
        {126, 18, true, true},   // 17.5 rounds to 18
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dpi);
        const int h = TenPointHeight(c.dpi);
        EXPECT_EQ(h, c.height);
        EXPECT_EQ(LargeFonts(h), c.large);
        EXPECT_EQ(VeryLargeFonts(h), c.veryLarge);
    }
}

TEST(SplashForm, WebsiteLabelLightsUpUnderTheMouse) {
    TSplashForm splash;
    QLabel *site = splash.findChild<QLabel *>(QStringLiteral("Website"));
    ASSERT_NE(site, nullptr);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(site, &enter);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(Qt::red));
    // The program's own web-site cursor.
    EXPECT_EQ(site->cursor().pixmap().toImage(), ProgramCursorOf(ProgramCursor::WebSite).pixmap().toImage());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(site, &leave);
    EXPECT_EQ(site->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_EQ(site->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(splash.findChild<QLabel *>(QStringLiteral("Version"))->text().startsWith(
        QStringLiteral("Version 6.103    ")));
}
