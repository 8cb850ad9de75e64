#include "publishing/catalogue/Validate.h"

#include "base/TextRoutines.h"
#include "core/startup/Settings.h"
#include "platform/sqlite/Dataset.h"

#include <QStringList>

namespace {

const QString Section = QStringLiteral("Validate");

QString slashes(QString path) {
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path;
}

bool isAbsolute(const QString &path) { return path.startsWith(QLatin1Char('/')) || path.contains(QLatin1Char(':')); }

// The notes link: the text between the quotes of the first Link="...", or
// "" when there is none.
QString notesLink(const QString &notes) {
    const qsizetype at = notes.indexOf(QLatin1String("Link=\""), 0, Qt::CaseInsensitive);
    if (at < 0) return QString();
    const qsizetype start = at + 6;
    const qsizetype end = notes.indexOf(QLatin1Char('"'), start);
    return end < 0 ? notes.mid(start) : notes.mid(start, end - start);
}

// The Location column of each recording line: the recordings follow the
// first separator, one line to each CR, columns between separators.
// (The smallest reading of the music text the check needs; the Music
// dialog's parser takes its place once it is in.)
QStringList recordingLocations(const QString &music, QChar sep, int column) {
    QStringList locations;
    const qsizetype at = music.indexOf(sep);
    if (at < 0 || column < 0) return locations;
    for (const QString &line : music.mid(at + 1).split(QLatin1Char('\r'))) {
        const QStringList columns = line.split(sep);
        QString location = columns.value(column);
        if (location.startsWith(QLatin1Char('\n'))) location.remove(0, 1);
        locations.append(location);
    }
    return locations;
}

} // namespace

QString ValidateDance(const ValidatedDance &dance, const ValidateOptions &options, const ValidateContext &context) {
    const bool generated = dance.instructions.contains(QLatin1String("Generated Dance"));
    const bool technique = dance.style == QLatin1String("Technique");
    if (options.lvl && !technique && dance.lvl.isEmpty() && !generated) return QStringLiteral("Level is blank.");
    if (options.music && !technique && dance.style != QLatin1String("Break") && dance.music.isEmpty() && !generated)
        return QStringLiteral("Music is blank.");
    if (!options.links) return QString();

    const auto log = [&](const QString &text) {
        if (context.log) context.log(DisplayTitle(dance.title) + QStringLiteral(" => ") + text);
    };
    const QString link = notesLink(dance.notes);
    if (!link.isEmpty() || dance.notes.contains(QLatin1String("Link=\""), Qt::CaseInsensitive)) {
        log(link);
        if (!link.startsWith(QLatin1String("http"))) {
            const QString path = isAbsolute(slashes(link)) ? slashes(link) : context.dataFolder + slashes(link);
            if (!context.fileExists(path)) return link + QStringLiteral("\rnot found.");
        }
    }
    for (const QString &location : recordingLocations(dance.music, context.sep, context.locationColumn)) {
        // A location without "." is an audio CD, which cannot be looked for.
        if (location.isEmpty() || !location.contains(QLatin1Char('.'))) continue;
        log(location);
        const QString path = location.contains(QLatin1Char(':')) ? slashes(location) : context.baseFolder + slashes(location);
        if (!context.fileExists(path)) return location + QStringLiteral("\rNot found");
    }
    return QString();
}

ValidateOptions LoadValidateOptions() {
    ValidateOptions o;
    if (!IniFile) return o;
    o.lvl = IniFile->ReadBool(Section, QStringLiteral("Lvl"), true);
    o.music = IniFile->ReadBool(Section, QStringLiteral("Music"), true);
    o.links = IniFile->ReadBool(Section, QStringLiteral("Links"), true);
    return o;
}

void StoreValidateOptions(const ValidateOptions &o) {
    if (!IniFile) return;
    IniFile->WriteBool(Section, QStringLiteral("Lvl"), o.lvl);
    IniFile->WriteBool(Section, QStringLiteral("Music"), o.music);
    IniFile->WriteBool(Section, QStringLiteral("Links"), o.links);
}

QString ValidateWalk(Dataset &ds, const ValidateOptions &options, const ValidateContext &context) {
    QString result = QStringLiteral("Validated");
    ds.DisableControls();
    try {
        const auto text = [&](const char *name) { return ds.FieldByName(QString::fromLatin1(name)).AsString(); };
        for (ds.First(); !ds.Eof() && !ds.IsEmpty(); ds.Next()) {
            const ValidatedDance dance{text("Title"), text("Style"), text("Lvl"), text("Instructions"), text("Music"),
                                   text("Notes")};
            const QString fault = ValidateDance(dance, options, context);
            if (!fault.isEmpty()) {
                result = fault;
                break;
            }
        }
    } catch (...) {
        ds.EnableControls();
        throw;
    }
    ds.EnableControls();
    return result;
}
