#pragma once
// The message layer: every message, question and three-button box reaches
// the user through one presenter. The program installs the Qt windows; tests
// install the answerer (base/TestAnswerer.h), so no test blocks on a box.

#include <QString>
#include <stdexcept>

// Thrown by AbortMsg after its message: abandons the current action and is
// dropped by the application's error routing. Deliberately not derived from
// std::exception, so that no ordinary handler catches it.
class SilentAbort {};

// An error whose message was already shown: only logged.
class EQuietError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class BoxKind { Message, YesNo, YesNoCancel, YesNoHelp, DBox3, Input };

// One box as the user would see it. Text is as shown: line breaks "\n".
struct BoxRequest {
    BoxKind kind = BoxKind::Message;
    QString text;
    QString caption1, caption2, caption3; // DBox3's button captions
    int helpContext = 0;
    int timeoutMs = 0;        // a timed message closes by itself
    bool showDontAsk = false; // OKCancelDontAsk's check box
    int textScale = 1;        // the message text enlarged this many times
    QString caption;          // an input box's window caption
    QString value;            // an input box's starting text
};

// Dialog results: Yes/Button1 6, No/Button2 7, Cancel/closed 2, OK 1.
enum : int { ResultOK = 1, ResultCancel = 2, ResultYes = 6, ResultNo = 7 };

struct BoxResult {
    int result = ResultCancel;
    bool dontAsk = false;
    QString text; // an input box's text on OK
};

class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual BoxResult present(const BoxRequest &request) = 0;
};

// Installs the presenter (not owned); null restores the program's default.
void SetMessagePresenter(MessagePresenter *presenter);
// The presenter in use: the installed one, else the default.
MessagePresenter *CurrentMessagePresenter();
// The presenter installed with SetMessagePresenter, or null.
MessagePresenter *InstalledMessagePresenter();
// The presenter used when none is installed (set by the windows module).
void SetDefaultMessagePresenter(MessagePresenter *presenter);

// A one-shot time-out in milliseconds for the next ShowMsg; always back to 0.
extern int MsgTimeout;
// Screen-font scale in quarters (5 for large fonts).
extern int ScaleQuarters;
// True while a DBox3 box is up, and the help context it was given.
extern bool BoxShowing;
extern int BoxHelpContext;

// "\r\n" and a lone "\r" become "\n" for showing.
QString ShownText(const QString &text);
QString DoubleAmpersands(const QString &text);
int ScaledSize(int n);

void ShowMsg(const QString &text);
// Shown without writing it to the log (MustPos, MultiReplace, the log's own failure).
void ShowMsgUnlogged(const QString &text);
[[noreturn]] void AbortMsg(const QString &text);
bool YesNo(const QString &question);
int YesNoCancel(const QString &question);
bool YesNoHelp(const QString &question, int helpContext);
int DBox3(const QString &text, const QString &caption1, const QString &caption2, int helpContext,
          const QString &caption3);
int OKHelpCancel(const QString &text, int helpContext);
bool OKCancelDontAsk(const QString &text, int textScale = 1);
// An input box: the prompt with value as its starting text; OK puts the text
// typed into value and gives true, Cancel leaves value alone and gives false.
bool InputQuery(const QString &caption, const QString &prompt, QString &value);
// The text typed on OK, the default on Cancel.
QString InputBox(const QString &caption, const QString &prompt, const QString &def);

// Whether a debugger is attached (a non-zero TracerPid).
bool UnderDebugger();
// The same test on the text of a /proc/<pid>/status file.
bool TracedInStatus(const QByteArray &status);
