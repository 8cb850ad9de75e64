#pragma once
// Drives modal boxes in window tests: waits for a box to come up, acts on it,
// and closes anything left open so that no test hangs on a box.

#include "base/Log.h"
#include "core/dialogs/MessageBoxes.h"
#include "core/services/Help.h"
#include "ModalWatchdog.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>

// Calls act with the topmost modal box as soon as one other than `other` is up.
inline void WhenModal(std::function<void(QWidget *)> act, QWidget *other = nullptr,
                      int tries = 300) {
    QPointer<QWidget> skip(other);
    QTimer::singleShot(10, qApp, [act, skip, other, tries] {
        QWidget *w = QApplication::activeModalWidget();
        if (w && w->isVisible() && (other == nullptr || w != skip.data())) {
            act(w);
        } else if (tries > 0) {
            WhenModal(act, other, tries - 1);
        } else {
            ADD_FAILURE() << "no modal box came up";
        }
    });
}

// Acts on the first modal window of class T to come up; other modal windows
// (a modal owner, a busy box during a fetch) are passed over.
template <class T> void WhenModalOf(std::function<void(T *)> act, int tries = 300) {
    QTimer::singleShot(10, qApp, [act, tries] {
        auto *w = dynamic_cast<T *>(QApplication::activeModalWidget());
        if (w && w->isVisible()) {
            act(w);
        } else if (tries > 0) {
            WhenModalOf<T>(act, tries - 1);
        } else {
            ADD_FAILURE() << "no modal box of the expected kind came up";
        }
    });
}

// The real message windows in place of the answerer, with help requests
// recorded and a watchdog that rejects boxes nobody closed.
class WindowTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        WriteLog(QStringLiteral("START"));
        boxes = std::make_unique<MessageBoxPresenter>();
        SetMessagePresenter(boxes.get());
        SetHelpOpener([this](int context) { helps.append(context); });
        watchdog.start();
    }
    void TearDown() override {
        watchdog.stop();
        EXPECT_FALSE(watchdog.fired) << "a box stayed open until the watchdog closed it";
        SetHelpOpener({});
        SetMessagePresenter(answerer.get());
        boxes.reset();
        QuillaryTest::TearDown();
    }
    QByteArray log() const { return ReadFileBytes(path("Log.Txt")); }

    std::unique_ptr<MessageBoxPresenter> boxes;
    QList<int> helps;
    ModalWatchdog watchdog;
};
