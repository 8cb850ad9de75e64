#include "core/services/CopyData.h"

#include "base/Cp1252.h"
#include "base/Log.h"

QString CopyDataText;

std::optional<QString> CopyDataName(const QByteArray &bytes) {
    if (bytes.size() < 14) {
        WriteLog(QStringLiteral("Message from another program ignored: %1 bytes are too few").arg(bytes.size()));
        return std::nullopt;
    }
    if (bytes.size() > CopyDataLimit) {
        WriteLog(QStringLiteral("Message from another program ignored: %1 bytes are too many").arg(bytes.size()));
        return std::nullopt;
    }
    const QString text = DecodeTextBytes(bytes);
    return text.mid(12, std::max<qsizetype>(0, text.size() - 14));
}
