#include "core/dialogs/ProgBox.h"
#include "platform/print/LinePrinter.h"
#include "TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {

class RecordingPrinter : public LinePrinter {
public:
    void print(const PrintJob &job) override { jobs.append(job); }
    QList<PrintJob> jobs;
};

class ProgBoxTest : public QuillaryTest {
protected:
    void SetUp() override {
        QuillaryTest::SetUp();
        QDir::setCurrent(folder());
        box = std::make_unique<TProgBox>();
        SetLinePrinter(&printer);
    }
    void TearDown() override {
        box.reset();
        SetLinePrinter(nullptr);
        QuillaryTest::TearDown();
    }
    template <class T> T *child(const char *name) {
        T *w = box->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    // Runs the action once the box is up modally for review (modal it is
    // from the start of the run; the review shows Print).
    void whenModal(std::function<void()> action) {
        auto *poll = new QTimer(box.get());
        QObject::connect(poll, &QTimer::timeout, box.get(), [this, poll, action] {
            if (QApplication::activeModalWidget() != box.get() || !box->PrintBtn->isVisible()) return;
            poll->stop();
            poll->deleteLater();
            action();
        });
        poll->start(5);
        // A review nobody closes would hang the suite: end it as a failure.
        QTimer::singleShot(5000, box.get(), [this] {
            if (!box->isVisible()) return;
            ADD_FAILURE() << "the review was never closed";
            box->done(0);
        });
    }
    std::unique_ptr<TProgBox> box;
    RecordingPrinter printer;
};

} // namespace

TEST_F(ProgBoxTest, RunShowsLinesErrorsGaugeThenReviewAndPrint) {
    TProgress run(QStringLiteral("Import dances"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Import dances"));
    EXPECT_EQ(box->width(), 250);
    EXPECT_FALSE(box->isVisible());
    run.SetPercent(50);
    EXPECT_TRUE(box->isVisible());
    auto *gauge = child<QFrame>("Gauge");
    EXPECT_TRUE(gauge->isVisible());
    EXPECT_EQ(child<QFrame>("Filler")->width(), gauge->width() * 50 / 100 + 1);
    run.AddLine(QStringLiteral("Reel of Tulloch"));
    EXPECT_FALSE(gauge->isVisible()) << "a line hides the gauge";
    run.AddError(QStringLiteral("Bad level"));
    EXPECT_EQ(child<QLabel>("ELabel")->text(), QStringLiteral("Errors: 1"));
    EXPECT_FALSE(child<QPushButton>("PrintBtn")->isVisible());

    whenModal([this] {
        EXPECT_EQ(child<QPushButton>("CancelBtn")->text(), QStringLiteral("OK"));
        EXPECT_TRUE(child<QLabel>("ELabel")->text().isEmpty());
        QTest::mouseClick(child<QPushButton>("PrintBtn"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>("CancelBtn"), Qt::LeftButton);
    });
    run.Finish();
    EXPECT_EQ(child<QPlainTextEdit>("ProgText")->toPlainText(),
              QStringLiteral("Reel of Tulloch\nBad level\n*** ERRORS: 1"));
    EXPECT_FALSE(box->isVisible());
    EXPECT_TRUE(box->windowTitle().isEmpty());
    ASSERT_EQ(printer.jobs.size(), 1);
    EXPECT_EQ(printer.jobs[0].lines,
              (QStringList{QStringLiteral("Import dances"), QString(), QStringLiteral("Reel of Tulloch"),
                           QStringLiteral("Bad level"), QStringLiteral("*** ERRORS: 1")}));
    EXPECT_EQ(printer.jobs[0].pointSize, 12);
    EXPECT_TRUE(answerer->boxes.isEmpty());
}

TEST_F(ProgBoxTest, CancelClickAndCloseBoxAskAndKeepTheBoxForTheOwner) {
    TProgress run(QStringLiteral("Export"));
    run.AddLine(QStringLiteral("first"));
    answerer->script(ResultNo);
    QTest::mouseClick(child<QPushButton>("CancelBtn"), Qt::LeftButton);
    EXPECT_FALSE(CancelRun);
    answerer->script(ResultNo);
    box->close();
    EXPECT_TRUE(box->isVisible()) << "the close box does not end the run by itself";
    EXPECT_FALSE(CancelRun);
    answerer->script(ResultYes);
    QTest::keyClick(box.get(), Qt::Key_Escape);
    EXPECT_TRUE(CancelRun);
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(answerer->texts(), QStringList(3, QStringLiteral("Cancel the run?")));
    whenModal([this] { QTest::mouseClick(child<QPushButton>("CancelBtn"), Qt::LeftButton); });
    run.Finish();
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(answerer->boxes.size(), 3) << "OK in the review asks nothing";
}

TEST(LinePrinter, WritesPdfWithoutPrinter) {
    QTemporaryDir dir;
    QtLinePrinter printer;
    printer.outputPdf = dir.filePath(QStringLiteral("out.pdf"));
    PrintJob job;
    job.title = QStringLiteral("Report");
    for (int i = 0; i < 200; ++i) job.lines.append(QStringLiteral("Line %1 of the report").arg(i));
    printer.print(job);
    const QByteArray pdf = ReadFileBytes(printer.outputPdf);
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_GE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 2)
        << "200 lines in 12 points take more than one page";
}

// With its frame and title bar the box stays on the screen's free area, its
// buttons included, during the run and in the review after it.
TEST_F(ProgBoxTest, BoxFitsTheFreeScreenArea) {
    auto fits = [this] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        QCoreApplication::processEvents();
        const QRect free = box->screen()->availableGeometry();
        const QRect frame = box->frameGeometry();
        EXPECT_GE(frame.top(), free.top());
        EXPECT_LE(frame.bottom(), free.bottom());
        EXPECT_GE(box->height(), free.height() * 9 / 10) << "as high as the area allows";
        auto *cancel = child<QPushButton>("CancelBtn");
        EXPECT_LE(cancel->mapToGlobal(QPoint(0, cancel->height() - 1)).y(), free.bottom());
    };
    TProgress run(QStringLiteral("Test"));
    run.AddLine(QStringLiteral("No rule called \"Dance\"."));
    run.SetPercent(10);
    fits();
    whenModal([&] {
        fits();
        QTest::mouseClick(child<QPushButton>("CancelBtn"), Qt::LeftButton);
    });
    run.Finish();
}

namespace {

// Counts the times a widget is hidden and shown.
class ShowCounter : public QObject {
public:
    int hides = 0, shows = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Hide) ++hides;
        if (event->type() == QEvent::Show) ++shows;
        return false;
    }
};

} // namespace

// The review is the window the run showed, modal from its first line, never
// hidden and shown again on the way (a window manager may lose the second
// mapping), and it comes to the front with the focus.
TEST_F(ProgBoxTest, TheReviewKeepsTheWindowOfTheRunAndComesToTheFront) {
    QWidget main;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    TProgress run(QStringLiteral("Test"));
    run.AddLine(QStringLiteral("Rule set used: DANCE NIGHT"));
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), box.get()) << "modal during the run";
    const WId window = box->winId();
    ShowCounter counter;
    box->installEventFilter(&counter);
    // Something else was brought to the front meanwhile.
    main.raise();
    main.activateWindow();
    QCoreApplication::processEvents();
    bool reviewed = false;
    whenModal([&] {
        reviewed = true;
        EXPECT_EQ(counter.hides, 0);
        EXPECT_EQ(counter.shows, 0);
        EXPECT_EQ(box->winId(), window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(box.get()));
        EXPECT_TRUE(child<QPushButton>("CancelBtn")->hasFocus());
        QTest::keyClick(box.get(), Qt::Key_Return);
    });
    run.Finish();
    EXPECT_TRUE(reviewed);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(counter.hides, 1) << "hidden once, when the review ends";
}

// A run started from a modal window (the import window) can be cancelled:
// the box answers above it.
TEST_F(ProgBoxTest, CancelAnswersDuringARunStartedFromAModalWindow) {
    QDialog importWindow;
    bool ran = false;
    QTimer::singleShot(0, &importWindow, [&] {
        ran = true;
        TProgress run(QStringLiteral("Import Events"));
        run.AddLine(QStringLiteral("Orchard Folk Club"));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        answerer->script(ResultYes);
        // Through the window, as the window system delivers a click.
        auto *cancel = child<QPushButton>("CancelBtn");
        QTest::mouseClick(box->windowHandle(), Qt::LeftButton, {}, cancel->mapTo(box.get(), cancel->rect().center()));
        EXPECT_TRUE(CancelRun);
        whenModal([this] { QTest::mouseClick(child<QPushButton>("CancelBtn"), Qt::LeftButton); });
        run.Finish();
        EXPECT_FALSE(box->isVisible());
        importWindow.accept();
    });
    importWindow.exec();
    EXPECT_TRUE(ran);
    EXPECT_EQ(answerer->texts(), QStringList{QStringLiteral("Cancel the run?")});
}
