#include "presentation/music/RecordingsCheck.h"

#include "base/TextRoutines.h"

QStringList CheckRecordings(const QList<ProgrammeItem> &rows, const DanceLookup &lookup, const MusicInput &musicBase) {
    QString missing, shared;
    QStringList recordings, firstTitles;
    for (const ProgrammeItem &row : rows) {
        if (!row.isDance() || row.key.Title.isEmpty() || row.key.Style == QLatin1String("Technique")) continue;
        const QString title = DisplayTitle(row.key.Title);
        const std::optional<DanceFields> dance = lookup.find(row.key);
        MusicInput in = musicBase;
        in.music = dance ? dance->value(QStringLiteral("Music")) : QString();
        in.chosenLine = row.recording;
        const QString recording = dance ? ShowMusic(in).playFile : QString();
        if (recording.isEmpty()) {
            missing += title + QLatin1Char('\r');
            continue;
        }
        const qsizetype seen = recordings.indexOf(recording);
        if (seen < 0) {
            recordings.append(recording);
            firstTitles.append(title);
        } else {
            shared += recording + QStringLiteral("\r  (") + firstTitles[seen] + QStringLiteral(", then ") + title +
                      QStringLiteral(")\r");
        }
    }
    QStringList texts;
    if (!missing.isEmpty()) texts.append(QStringLiteral("The following dances do not have recorded music:\r") + missing);
    if (!shared.isEmpty()) texts.append(QStringLiteral("The following recordings are used more than once:\r") + shared);
    if (texts.isEmpty()) texts.append(QStringLiteral("All dances have recordings."));
    return texts;
}
