#pragma once
// The main window on screen and active in a window test.

#include "app/OrgForm.h"

#include <QApplication>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

// On screen and active, so that boxes, grids and cell editors take the focus
// as they do for a caller. The window's own start-up gives up at once (no
// settings file where it looks) and closes the window; it is shown again on
// the catalogue the test opened. afterStartUp runs between the two.
inline void ShowMainWindowActive(TOrgForm *form, const std::function<void()> &afterStartUp) {
    form->FormShow();
    QCoreApplication::processEvents();
    if (afterStartUp) afterStartUp();
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
}
