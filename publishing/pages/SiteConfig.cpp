#include "publishing/pages/SiteConfig.h"

#include "base/FastStrings.h"
#include "core/startup/StartupRules.h"

#include <QUrl>

QString TunePageAddress() { return MakerSite() + QStringLiteral("/abc.aspx"); }

QString MakerDomain() {
    QString host = QUrl(MakerSite()).host();
    if (host.startsWith(QLatin1String("www."), Qt::CaseInsensitive)) host = host.mid(4);
    return host;
}

bool OnMakerSite(const QString &text) {
    const QString domain = MakerDomain();
    return !domain.isEmpty() && PosNoCase(domain, text) > 0;
}
