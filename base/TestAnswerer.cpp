#include "base/TestAnswerer.h"

std::function<void(const QString &)> TestAnswerer::onUnscripted;

TestAnswerer::TestAnswerer() : previous(nullptr) {
    previous = InstalledMessagePresenter();
    SetMessagePresenter(this);
}

TestAnswerer::~TestAnswerer() {
    if (InstalledMessagePresenter() == this) SetMessagePresenter(previous);
}

void TestAnswerer::script(int result, bool dontAsk) {
    BoxResult r;
    r.result = result;
    r.dontAsk = dontAsk;
    answers.append(r);
}

void TestAnswerer::scriptText(const QString &text) {
    BoxResult r;
    r.result = ResultOK;
    r.text = text;
    answers.append(r);
}

BoxResult TestAnswerer::present(const BoxRequest &request) {
    boxes.append(request);
    if (!answers.isEmpty()) return answers.takeFirst();
    BoxResult r;
    if (request.kind == BoxKind::Message && !strictMessages) {
        r.result = ResultOK;
        return r;
    }
    if (onUnscripted) onUnscripted(QStringLiteral("Unscripted box: ") + request.text);
    r.result = (request.kind == BoxKind::YesNo || request.kind == BoxKind::YesNoHelp)
                   ? ResultNo
                   : ResultCancel;
    return r;
}

QStringList TestAnswerer::texts() const {
    QStringList l;
    for (const auto &b : boxes)
        l << b.text;
    return l;
}

bool TestAnswerer::sawText(const QString &part) const {
    for (const auto &b : boxes)
        if (b.text.contains(part)) return true;
    return false;
}
