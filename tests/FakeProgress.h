#pragma once
// A progress window for tests: keeps the run's caption, width and lines; a
// hook may act (cancel, say) on a gauge step or a line.

#include "core/dialogs/Progress.h"

#include <QString>
#include <QStringList>
#include <functional>

class RecordingView : public ProgressView {
public:
    void startRun(const QString &c, int w) override { caption = c, width = w, lines.clear(); }
    void setBoxWidth(int w) override { width = w; }
    void showBox() override {}
    void appendLine(const QString &line) override {
        lines.append(line);
        if (onLine) onLine(line);
    }
    int lineCount() const override { return int(lines.size()); }
    void setErrorLabel(const QString &) override {}
    void showGauge(int) override {
        if (onGauge) onGauge(++gauges);
    }
    void startClosing(bool) override {}
    void showPrint() override {}
    void review() override {}
    void endRun() override {}

    QString caption;
    int width = 0;
    QStringList lines;
    int gauges = 0;
    std::function<void(const QString &)> onLine;
    std::function<void(int)> onGauge;
};
