// The Recordings page's lines and rows against the plain rules written out
// line by line (texts joined, split and folded at every step), on a
// generated catalogue: accents and mixed case, empty cells, duplicate
// titles, CDs, padded lines, CR / LF / CR LF, file names holding "|".
#include "presentation/music/MusicFolders.h"
#include "presentation/music/RecordingsCatalogue.h"

#include "TestSupport.h"
#include "base/Cp1252.h"
#include "platform/sqlite/Database.h"

#include <algorithm>
#include <random>

namespace {

qsizetype PlainKeyEnd(const QString &line) {
    int bars = 0;
    for (qsizetype at = line.size() - 1; at >= 0; --at)
        if (line[at] == '|' && ++bars == 3) return at;
    return line.contains('|') ? line.indexOf('|') : line.size();
}

QStringList PlainLines(const QList<DanceMusic> &dances, QChar sep) {
    QStringList out;
    for (const DanceMusic &d : dances) {
        QString music = d.music;
        const QStringList lines = music.replace("\r\n", "\r").split('\r');
        for (int n = 0; n < lines.size(); ++n) {
            QString line = n == 0 ? lines[n] : sep + lines[n];
            if (n == 0 && !line.contains(sep)) continue;
            const qsizetype count = line.count(sep);
            if (count != 7) line += QString(std::max<qsizetype>(0, 7 - count), sep) + ".?";
            QString location = line.mid(line.lastIndexOf(sep) + 1), entry;
            if (!location.contains('.')) {
                if (!location.isEmpty()) location[0] = Cp1252::upper(location[0]);
                const QStringList columns = line.split(sep);
                entry = "zz " + location + "\\" + columns.value(1);
                if (!columns.value(2).isEmpty()) entry += ", track " + columns.value(2);
            } else {
                if (!IsMusicFile(location) && location != ".?") continue;
                const bool relative = location.size() < 2 || location[1] != ':';
                if (relative && !location.startsWith('/')) location.replace('/', '\\');
                entry = (relative ? " " : "") + location;
            }
            out << entry + "|" + d.title + "|" + d.format + "|" + d.style;
        }
    }
    std::sort(out.begin(), out.end(), [](const QString &a, const QString &b) {
        const qsizetype ea = PlainKeyEnd(a), eb = PlainKeyEnd(b);
        int c = CompareText(a.left(ea), b.left(eb));
        if (c == 0) c = CompareText(a.mid(ea), b.mid(eb));
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}

// Each row as "kind:file|Title|Format|Style".
QStringList PlainCollate(const QStringList &lines, const QStringList &files, const CollateOptions &options) {
    const QString search =
        options.search == "Search..." || options.search.size() < 3 ? QString() : FoldUpper(options.search);
    QStringList rows;
    QString prevFolder = "\x01", prevName;
    auto add = [&](const QString &line, qsizetype keyEnd, RecRowKind kind) {
        if ((options.unusedOnly && kind != RecRowKind::Unused) || !FoldUpper(line).contains(search)) return;
        QString path = line.left(keyEnd);
        path = path.startsWith("zz ") ? path.mid(3) : path.startsWith(' ') ? path.mid(1) : path;
        const QString folder = path.contains('\\') ? path.left(path.lastIndexOf('\\')) : QString();
        QString name = (kind == RecRowKind::Missing ? "?" : "") + path.mid(path.lastIndexOf('\\') + 1);
        if (!SameText(folder, prevFolder) || rows.isEmpty()) {
            const bool drive = folder.size() == 2 && folder[1] == ':';
            rows << QString("0:%1|||").arg((drive ? "On drive " : "In folder ") + (folder.isEmpty() ? "[Root]" : folder));
            prevFolder = folder;
            prevName.clear();
        }
        const bool same = name == prevName && name != "?.?" && kind != RecRowKind::Unused;
        const QStringList parts = kind == RecRowKind::Unused ? QStringList() : line.mid(keyEnd).split('|');
        rows << QString::number(int(same ? RecRowKind::And : kind)) + ":" + (same ? " and" : name) + "|" +
                    parts.value(1) + "|" + parts.value(2) + "|" + parts.value(3);
        prevName = name;
    };
    qsizetype i = 0, j = 0;
    auto key = [&](qsizetype k) { return lines[k].left(PlainKeyEnd(lines[k])); };
    while (i < lines.size() || j < files.size()) {
        const int c = i >= lines.size() ? 1 : j >= files.size() ? -1 : CompareText(key(i), " " + files[j]);
        if (c == 0) {
            for (const QString k = key(i); i < lines.size() && SameText(key(i), k); ++i)
                add(lines[i], PlainKeyEnd(lines[i]), RecRowKind::Recording);
            ++j;
        } else if (c < 0) {
            add(lines[i], PlainKeyEnd(lines[i]), lines[i].startsWith("zz ") ? RecRowKind::Recording : RecRowKind::Missing);
            ++i;
        } else if (IsMusicFile(" " + files[j++])) {
            add(" " + files[j - 1], files[j - 1].size() + 1, RecRowKind::Unused);
        }
    }
    return rows;
}

QStringList Rows(const QList<RecRow> &rows) {
    QStringList out;
    for (const RecRow &r : rows)
        out << QString::number(int(r.kind)) + ":" + r.cells[0] + "|" + r.cells[1] + "|" + r.cells[2] + "|" + r.cells[3];
    return out;
}

QStringList Texts(const QList<DanceLine> &lines) {
    QStringList out;
    for (const DanceLine &l : lines) out << l.text();
    return out;
}

// Dances whose music mixes every kind of recording line.
QList<DanceMusic> Generated(QChar sep, int count) {
    std::mt19937 random(2026);
    auto pick = [&](const QStringList &from) { return from[int(random() % from.size())]; };
    const QStringList titles{"Été", "ÉTÉ", "été", "Žabka", "žabka", "Œuvre", "Reel", "REEL", "reel", "", "Straße", "Jig"};
    const QStringList cells{"", "Longways", "longways", "Circle", "Été"};
    const QStringList places{"Folk\\Reel.mp3", "folk/reel.MP3", "Folk\\Été.ogg", "FOLK\\ÉTÉ.OGG", "C:\\Music\\x.mp3",
                             "/home/me/x.mid", "Folk\\tune.pdf", "Folk\\A|B.mp3", "d:", "D", "", "Folder", "Root.m4a",
                             "Žabka\\žabka.wav", "x.mp3.mp3"};
    const QStringList breaks{"\r", "\r\n", "\n", "\r\n\n"};
    QList<DanceMusic> dances;
    for (int n = 0; n < count; ++n) {
        QString music = pick({"Live", "", "Band " + pick(titles)});
        for (int k = int(random() % 4); k > 0; --k) {
            const int seps = int(random() % 10) < 8 ? 6 : int(random() % 9);
            QStringList columns{pick(titles), QString::number(random() % 3)};
            while (columns.size() < seps) columns << pick({"", "MP3", "x"});
            music += (music.contains(sep) ? pick(breaks) : QString(sep)) + columns.mid(0, seps).join(sep) +
                     (seps >= 6 ? QString(sep) + pick(places) : QString());
        }
        if (random() % 8 == 0) music += "\r";
        dances.append({n, pick(titles), pick(cells), pick(cells), music});
    }
    return dances;
}

} // namespace

class RecordingsOrder : public QuillaryTest {};

TEST_F(RecordingsOrder, LinesAndRowsAreThoseOfThePlainRules) {
    const QStringList files{"Folk\\Reel.mp3", "FOLK\\reel.mp3", "Folk\\A|B.mp3", "Folk\\Été.ogg", "Folk\\cover.jpg",
                            "Folk\\Unused.mp3", "Root.m4a", "x.mp3.mp3", "Žabka\\ŽABKA.wav", "Zz\\last.ogg"};
    const QStringList paths = RecordingFilePaths(RecordingFileText(files));
    const struct {
        QChar sep;
        bool unused;
        const char *search;
    } cases[] = {{SepDot, false, ""},     {SepDot, true, ""},        {SepDot, false, "reel"},
                 {SepDot, false, "étÉ"},  {SepDot, false, "ée"},     {SepDot, false, "Search..."},
                 {SepEuro, false, ""},    {SepEuro, false, "|long"}, {QChar('q'), false, ""}};
    int made = 0;
    for (const auto &c : cases) {
        const QString label = QString(c.sep) + " " + c.search + (c.unused ? " unused" : "");
        const QList<DanceMusic> dances = Generated(c.sep, 300);
        const QStringList plain = PlainLines(dances, c.sep);
        ASSERT_GT(plain.size(), 200) << label.toStdString();
        EXPECT_EQ(DanceListLines(dances, c.sep), plain) << label.toStdString();

        // Read from a catalogue (a "q" separator is found by the folding LIKE, so "Q" counts too).
        Database db;
        db.create(path(QString("Recs%1.mdb").arg(++made)));
        QList<DanceMusic> stored;
        db.execRaw("BEGIN");
        for (DanceMusic d : dances) {
            if (d.music.contains('x')) d.music.replace('q', 'Q');
            d.title += " " + QString::number(d.rowid); // the catalogue's keys are unique
            db.insertRow("Dances", {{"Title", d.title}, {"Format", d.format}, {"Style", d.style}, {"Music", d.music}});
            if (FoldUpper(d.music).contains(FoldUpper(QString(c.sep)))) stored << d;
        }
        db.execRaw("COMMIT");
        QList<DanceLine> read = RecordedDanceLines(db, c.sep);
        SortDanceLines(read);
        EXPECT_EQ(Texts(read), PlainLines(stored, c.sep)) << label.toStdString();

        CollateOptions options;
        options.unusedOnly = c.unused;
        options.search = QString::fromUtf8(c.search);
        EXPECT_EQ(Rows(CollateRecordings(DanceLinesOf(dances, c.sep), paths, options)),
                  PlainCollate(plain, paths, options))
            << label.toStdString();
    }
}

// A title holding "|" no longer moves the end of the line's place.
TEST(RecordingsCatalogue, TitleWithABarKeepsItsFile) {
    const QString s(SepDot);
    const QList<DanceMusic> dances{{1, "A|B", "Longways", "Jig", s + s.repeated(6) + "Folk\\x.mp3"}};
    const QList<RecRow> rows = CollateRecordings(DanceLinesOf(dances, SepDot), {"Folk\\x.mp3"}, {});
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].kind, RecRowKind::Recording);
    EXPECT_EQ(QStringList({rows[1].cells[0], rows[1].cells[1]}), QStringList({"x.mp3", "A|B"}));
}
