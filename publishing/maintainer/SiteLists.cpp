#include "publishing/maintainer/SiteLists.h"

#include "base/Cp1252.h"
#include "base/FastStrings.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Query.h"
#include "publishing/maintainer/MaintainerRules.h"

#include <QDir>
#include <QLocale>

const QString DanceFactsColumns =
    QStringLiteral("rowid, Title, Format, Style, Author, Collection, Instructions, Footer, Notes, Music");

DanceFacts DanceFactsOf(const Statement &st) {
    DanceFacts d;
    d.Title = st.columnText(1);
    d.Format = st.columnText(2);
    d.Style = st.columnText(3);
    d.Author = st.columnText(4);
    d.Collection = st.columnText(5);
    d.Instructions = st.columnText(6);
    d.Footer = st.columnText(7);
    d.Notes = st.columnText(8);
    d.Music = st.columnText(9);
    return d;
}

int MarkInterpretations(Database &db, const MaintainerConfig &c, const QSet<qint64> *within) {
    QList<qint64> marked;
    {
        Statement st(db.handle(), QStringLiteral("Select ") + DanceFactsColumns + QStringLiteral(" from Dances"));
        while (st.step()) {
            const qint64 id = st.column(0).toLongLong();
            if (within && !within->contains(id)) continue;
            if (IsInterpretation(DanceFactsOf(st), c)) marked << id;
        }
    }
    Batch batch(db);
    db.execRaw(QStringLiteral("Update Dances Set DFilter = ''"));
    Statement mark(db.handle(), QStringLiteral("Update Dances Set DFilter = 'Y' where rowid = ?"));
    for (qint64 id : marked) {
        mark.reset();
        mark.bind(1, id);
        mark.step();
    }
    batch.commit();
    db.tableChanged(QStringLiteral("Dances"));
    return int(marked.size());
}

QString UnpublishedList(Database &db, const MaintainerConfig &c, const QString &domain, const QDate &today) {
    const QString crlf = QStringLiteral("\r\n");
    QString out = QStringLiteral("Dances, tunes and (interpretations) by ") + c.Name +
                  QStringLiteral(" not appearing in books or website") + crlf;
    QString heading;
    int count = 0;
    Statement st(db.handle(), QStringLiteral("Select ") + DanceFactsColumns +
                                  QStringLiteral(" from Dances Order by Format, Style, Title"));
    while (st.step()) {
        const DanceFacts d = DanceFactsOf(st);
        if (!IsMaintainersDance(d, c)) continue;
        const QString code = CollectionCode(d.Collection);
        bool published = SameText(code, c.InterpretationCode);
        for (const QString &p : c.PublishedCodes) published = published || SameText(code, p);
        if (published || LinkedOnSite(d.Notes, domain)) continue;
        const QString h = d.Format + QStringLiteral(":  ") + d.Style;
        if (h != heading) {
            heading = h;
            out += crlf + h + crlf + crlf;
        }
        const QString title = DisplayTitle(d.Title);
        const bool someoneElse = PosNoCase(c.Name, d.Author) == 0;
        out += QStringLiteral("  ") + (someoneElse ? QLatin1Char('(') + title + QLatin1Char(')') : title) + crlf;
        ++count;
    }
    out += crlf + crlf + QStringLiteral("Total unpublished dances by ") + c.Name + QStringLiteral(", ") +
           QLocale::c().toString(today, QStringLiteral("MMM yy")) + QStringLiteral(": ") + QString::number(count);
    return out;
}

QString MissingTunesList(Database &db, const QString &condition, const QString &indexText, int *errors) {
    const QSet<QString> index = TuneIndexTitles(indexText);
    auto inIndex = [&index](const QString &name) { return index.contains(FoldUpper(TuneNotationTitle(name))); };
    const QString crlf = QStringLiteral("\r\n");
    QString out = QStringLiteral("Missing ABC tunes") + crlf + crlf;
    int errorCount = 0;
    Query q(db);
    q.setText(QStringLiteral("Select Title, Called, Notes, Tolbrook from Dances where OwnTune=\"Y\" ") + condition +
              QStringLiteral(" Order by Title"));
    for (q.open(); !q.eof(); q.next()) {
        const QString title = q.FieldByName(QStringLiteral("Title")).AsString();
        const Field &called = q.FieldByName(QStringLiteral("Called"));
        const QString notes = q.FieldByName(QStringLiteral("Notes")).AsString();
        bool hasLink = false;
        const QString name = TuneLinkName(notes, &hasLink);
        if (hasLink) {
            if (name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) {
                out += QStringLiteral("ERROR: ^J found in ") + name.simplified() + crlf;
                ++errorCount;
            } else if (!inIndex(name)) {
                out += QStringLiteral("ERROR: ") + title + QStringLiteral("  - Link to ") + name +
                       QStringLiteral(" failed") + crlf;
                ++errorCount;
            }
            continue;
        }
        if (inIndex(title)) {
            out += QStringLiteral("ERROR: ") + title + QStringLiteral(" found in ABC but no Link!") + crlf;
            ++errorCount;
            continue;
        }
        const int times = called.IsNull() ? 0 : called.AsInteger();
        QString line = PadRight(title, 60) + QString::number(times).rightJustified(3);
        if (q.FieldByName(QStringLiteral("Tolbrook")).IsNull() && times > 0) line += QStringLiteral("   NIT");
        out += line + crlf;
    }
    if (errorCount > 1) out += crlf + QString::number(errorCount) + QStringLiteral(" errors.") + crlf;
    if (errors) *errors = errorCount;
    return out;
}

int RewriteLibraryAddress(Database &db, const MaintainerConfig &c, const std::function<void(int)> &progress) {
    if (c.LibraryOld.isEmpty() || c.LibraryNew.isEmpty()) return 0;
    QList<QPair<qint64, QString>> changes;
    {
        Statement count(db.handle(), QStringLiteral("Select Count(*) from Dances"));
        count.step();
        const int total = std::max(1, count.column(0).toInt());
        Statement st(db.handle(), QStringLiteral("Select rowid, Notes from Dances"));
        int n = 0;
        while (st.step()) {
            const QString notes = st.columnText(1);
            if (notes.contains(c.LibraryOld))
                changes.append({st.column(0).toLongLong(), QString(notes).replace(c.LibraryOld, c.LibraryNew)});
            if (progress && ++n % 200 == 0) progress(n * 100 / total);
        }
    }
    Batch batch(db);
    Statement write(db.handle(), QStringLiteral("Update Dances Set Notes = ? where rowid = ?"));
    for (const auto &[id, notes] : changes) {
        write.reset();
        write.bind(1, notes);
        write.bind(2, id);
        write.step();
    }
    batch.commit();
    db.tableChanged(QStringLiteral("Dances"));
    return int(changes.size());
}

QString ScanCDList(const QString &folder) {
    const QString pattern = folder + QStringLiteral("*.htm");
    const QStringList pages = QDir(folder).entryList({QStringLiteral("*.htm"), QStringLiteral("*.HTM")}, QDir::Files,
                                                     QDir::Name);
    if (pages.isEmpty()) AbortMsg(QStringLiteral("Cannot find ") + pattern);
    QString out;
    for (const QString &page : pages) {
        const QString title = CDPageTitle(ReadTextFile(folder + page));
        if (!title.isEmpty()) out += title + QStringLiteral("\r\n");
    }
    return out;
}
