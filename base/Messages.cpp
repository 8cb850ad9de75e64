#include "base/Messages.h"

#include "base/AppState.h"
#include "base/Log.h"

#include <QCoreApplication>
#include <QFile>

int MsgTimeout = 0;
int ScaleQuarters = 4;
bool BoxShowing = false;
int BoxHelpContext = 0;

namespace {

MessagePresenter *g_presenter = nullptr;
MessagePresenter *g_default = nullptr;

// Answers every box with its safest choice; used only when nothing else is set.
class NullPresenter : public MessagePresenter {
public:
    BoxResult present(const BoxRequest &r) override {
        BoxResult res;
        res.result = r.kind == BoxKind::Message ? ResultOK : ResultCancel;
        return res;
    }
};

BoxResult present(const BoxRequest &r) {
    static NullPresenter fallback;
    MessagePresenter *p = CurrentMessagePresenter();
    return (p ? p : &fallback)->present(r);
}

void processPending() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

// Resets MsgTimeout on every way out of ShowMsg, exceptions included.
struct TimeoutReset {
    ~TimeoutReset() { MsgTimeout = 0; }
};

void showMessage(const QString &text) {
    TimeoutReset reset;
    BoxRequest r;
    r.kind = BoxKind::Message;
    QString t = text;
    if (t.size() < 50 && !t.contains('\r')) {
        const QString pad((50 - t.size()) / 2, ' ');
        t = pad + t + pad;
    }
    r.text = ShownText(t);
    r.timeoutMs = MsgTimeout > 0 ? MsgTimeout : 0;
    MsgTimeout = 0;
    present(r);
    processPending();
}

} // namespace

void SetMessagePresenter(MessagePresenter *presenter) {
    g_presenter = presenter;
}
void SetDefaultMessagePresenter(MessagePresenter *presenter) {
    g_default = presenter;
}
MessagePresenter *CurrentMessagePresenter() {
    return g_presenter ? g_presenter : g_default;
}
MessagePresenter *InstalledMessagePresenter() {
    return g_presenter;
}

QString ShownText(const QString &text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace('\r', '\n');
    return t;
}

QString DoubleAmpersands(const QString &text) {
    QString t = text;
    t.replace('&', QStringLiteral("&&"));
    return t;
}

int ScaledSize(int n) {
    return (n * ScaleQuarters + 2) / 4;
}

void ShowMsg(const QString &text) {
    WriteLog(text);
    showMessage(text);
}

void ShowMsgUnlogged(const QString &text) {
    showMessage(text);
}

void AbortMsg(const QString &text) {
    QString t = text;
    if (UnderDebugger())
        t += QStringLiteral("\rNote: This will probably give messages about memory leaks!");
    ShowMsg(t);
    CommandItem = nullptr;
    throw SilentAbort();
}

static int ask(BoxKind kind, const QString &question, int help) {
    WriteLog(question);
    BoxRequest r;
    r.kind = kind;
    r.text = ShownText(question);
    r.helpContext = help;
    return present(r).result;
}

bool YesNo(const QString &question) {
    return ask(BoxKind::YesNo, question, 0) == ResultYes;
}

int YesNoCancel(const QString &question) {
    const int r = ask(BoxKind::YesNoCancel, question, 0);
    return (r == ResultYes || r == ResultNo) ? r : ResultCancel;
}

bool YesNoHelp(const QString &question, int helpContext) {
    return ask(BoxKind::YesNoHelp, question, helpContext) == ResultYes;
}

static BoxResult dbox3(const QString &text, const QString &c1, const QString &c2, int help,
                       const QString &c3, bool dontAsk, int textScale = 1) {
    const bool wasShowing = BoxShowing;
    const int oldHelp = BoxHelpContext;
    BoxHelpContext = help;
    BoxShowing = true;
    WriteLog(text);
    BoxRequest r;
    r.kind = BoxKind::DBox3;
    r.text = ShownText(text);
    r.caption1 = c1;
    r.caption2 = c2;
    r.caption3 = c3;
    r.helpContext = help;
    r.showDontAsk = dontAsk;
    r.textScale = textScale;
    BoxResult res;
    try {
        res = present(r);
    } catch (...) {
        BoxShowing = wasShowing;
        BoxHelpContext = oldHelp;
        throw;
    }
    processPending();
    BoxHelpContext = wasShowing ? oldHelp : 0;
    if (res.result == 0) res.result = ResultCancel;
    if (res.result != ResultYes && res.result != ResultNo) res.result = ResultCancel;
    WriteLog(res.result == ResultYes ? c1 : res.result == ResultNo ? c2 : c3);
    BoxShowing = wasShowing;
    return res;
}

int DBox3(const QString &text, const QString &caption1, const QString &caption2, int helpContext,
          const QString &caption3) {
    return dbox3(text, caption1, caption2, helpContext, caption3, false).result;
}

int OKHelpCancel(const QString &text, int helpContext) {
    return DBox3(text, QStringLiteral("&OK"), QStringLiteral("&Help"), helpContext,
                 QStringLiteral("Cancel"));
}

bool OKCancelDontAsk(const QString &text, int textScale) {
    return dbox3(text, QStringLiteral("&OK"), QString(), 0, QStringLiteral("Cancel"), true, textScale).dontAsk;
}

bool InputQuery(const QString &caption, const QString &prompt, QString &value) {
    BoxRequest r;
    r.kind = BoxKind::Input;
    r.caption = caption;
    r.text = ShownText(prompt);
    r.value = value;
    const BoxResult res = present(r);
    processPending();
    if (res.result != ResultOK) return false;
    value = res.text;
    return true;
}

QString InputBox(const QString &caption, const QString &prompt, const QString &def) {
    QString value = def;
    InputQuery(caption, prompt, value);
    return value;
}

bool TracedInStatus(const QByteArray &status) {
    for (const QByteArray &line : status.split('\n'))
        if (line.startsWith("TracerPid:")) return line.mid(10).trimmed().toLongLong() != 0;
    return false;
}

bool UnderDebugger() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return false;
    return TracedInStatus(f.readAll());
}
