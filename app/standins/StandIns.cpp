#include "app/standins/StandIns.h"

#include "base/Cp1252.h"
#include "base/Log.h"

namespace StandIn {

bool FullScreenExists = false;
bool MusicDialogActive = false;
bool Playing = false;

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

} // namespace StandIn
