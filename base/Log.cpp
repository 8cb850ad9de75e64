#include "base/Log.h"

#include "base/AppState.h"
#include "base/Clock.h"
#include "base/Cp1252.h"
#include "base/Messages.h"

#include <QFile>
#include <cerrno>
#include <cstring>

namespace {

struct LogFile {
    char state = ' ';
    bool debug = false;
    bool utf8 = false;
    QString path;
    QFile file;
};

LogFile &logFile() {
    static LogFile l;
    return l;
}

const char *const MonthShort[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString headerDate(const QDate &d) {
    return QStringLiteral("%1-%2-%3")
        .arg(d.day())
        .arg(QLatin1String(MonthShort[d.month() - 1]))
        .arg(d.year() % 100, 2, 10, QChar('0'));
}

// Turns the Windows-1252 file written so far into UTF-8 with a BOM, so a
// line that does not fit the code page loses nothing.
bool convertToUtf8(LogFile &l) {
    l.file.close();
    QFile in(l.path);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QString old = Cp1252::decode(in.readAll());
    in.close();
    QFile out(l.path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + old.toUtf8();
    if (out.write(bytes) != bytes.size() || !out.flush()) return false;
    out.close();
    l.utf8 = true;
    return l.file.open(QIODevice::WriteOnly | QIODevice::Append);
}

void fail(LogFile &l, const QString &message) {
    l.state = 'N';
    l.file.close();
    ShowMsgUnlogged(message);
}

// Writes one line and flushes it; gives 0, or the error number of the failure.
int writeLine(LogFile &l, const QString &line) {
    const QString withEnd = line + QStringLiteral("\r\n");
    errno = 0;
    if (!l.utf8 && !Cp1252::fits(withEnd) && !convertToUtf8(l)) return errno ? errno : EIO;
    const QByteArray bytes = l.utf8 ? withEnd.toUtf8() : Cp1252::encode(withEnd);
    errno = 0;
    if (l.file.write(bytes) == bytes.size() && l.file.flush()) return 0;
    return errno ? errno : EIO;
}

void writeFailed(LogFile &l, int error) {
    fail(l, QStringLiteral("Error %1 on write to %2Log.txt").arg(error).arg(DataFolder));
}

} // namespace

char LogState() {
    return logFile().state;
}

void ResetLog() {
    LogFile &l = logFile();
    l.file.close();
    l.state = ' ';
    l.debug = false;
    l.utf8 = false;
    l.path.clear();
}

void ReopenLog() {
    LogFile &l = logFile();
    if (l.state != ' ' || DataFolder.isEmpty()) return;
    l.path = FindFileNoCase(DataFolder, QStringLiteral("Log.Txt"));
    l.file.setFileName(l.path);
    if (!l.file.open(QIODevice::ReadWrite | QIODevice::Append)) return;
    l.file.seek(0);
    l.utf8 = l.file.read(3) == QByteArray("\xEF\xBB\xBF");
    l.file.seek(l.file.size());
    l.state = 'Y';
}

void WriteLog(const QString &text) {
    try {
        LogFile &l = logFile();
        if (text == QLatin1String("DEBUG")) l.debug = true;
        if (l.state != 'Y' && text != QLatin1String("START")) return;
        if (l.state == ' ') {
            if (DataFolder.isEmpty()) return;
            l.path = FindFileNoCase(DataFolder, QStringLiteral("Log.Txt"));
            l.file.setFileName(l.path);
            l.utf8 = false;
            if (!l.file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                fail(l, l.file.errorString() +
                            QStringLiteral("\rCannot create file Log.Txt in private folder ") +
                            DataFolder);
                return;
            }
            l.state = 'Y';
            if (const int err = writeLine(l, QStringLiteral("Log File ") + headerDate(Today()))) {
                writeFailed(l, err);
                return;
            }
        }
        if (l.state != 'Y') return;
        const QString line =
            Now().time().toString(QStringLiteral("hh.mm.ss")) + QStringLiteral("  ") + text;
        if (const int err = writeLine(l, line)) {
            writeFailed(l, err);
            return;
        }
        if (l.debug) {
            l.file.close();
            errno = 0;
            if (!l.file.open(QIODevice::WriteOnly | QIODevice::Append)) {
                writeFailed(l, errno ? errno : EIO);
                return;
            }
        }
        if (text == QLatin1String("END")) {
            l.file.close();
            l.state = ' ';
        }
    } catch (...) {
        // The log must never break the action that writes to it.
    }
}

QString HexText(const QString &text) {
    QString out = text + QStringLiteral("\rHex: ");
    for (QChar c : text) {
        const int b = Cp1252::byteOf(c);
        const int code = b >= 0 ? b : c.unicode();
        out += c + QLatin1Char(' ') + QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper() +
               QStringLiteral("  ");
    }
    return out;
}

void LogHex(const QString &text) { WriteLog(HexText(text)); }
