// The test binary: one QApplication for every test, offscreen, with an
// unscripted question turned into a test failure instead of a blocked run.

#include "app/QuillaryApplication.h"
#include "base/TestAnswerer.h"

#include <QStandardPaths>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    QuillaryApplication app(argc, argv);
    TestAnswerer::onUnscripted = [](const QString &text) { ADD_FAILURE() << text.toStdString(); };
    return RUN_ALL_TESTS();
}
