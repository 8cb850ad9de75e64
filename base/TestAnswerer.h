#pragma once
// The message layer's answerer for tests and benchmarks: records every box
// and returns scripted answers. A question nobody scripted is reported through
// the failure callback with its text and answered Cancel (or No).

#include "base/Messages.h"

#include <QList>
#include <functional>

class TestAnswerer : public MessagePresenter {
public:
    // Installs itself as the presenter; the destructor removes it again.
    TestAnswerer();
    ~TestAnswerer() override;

    // Queues the answer for the next box of any kind (FIFO).
    void script(int result, bool dontAsk = false);
    // Queues OK with this text for the next box (an input box).
    void scriptText(const QString &text);
    // Plain messages need no script; when strict, even they must be scripted.
    bool strictMessages = false;

    BoxResult present(const BoxRequest &request) override;

    QList<BoxRequest> boxes;         // every box shown, in order
    QStringList texts() const;       // their texts as shown
    bool sawText(const QString &part) const;
    int pending() const { return int(answers.size()); }
    void clear() { boxes.clear(); answers.clear(); }

    // Called for an unscripted question; tests set it to record a failure.
    static std::function<void(const QString &)> onUnscripted;

private:
    QList<BoxResult> answers;
    MessagePresenter *previous = nullptr;
};
