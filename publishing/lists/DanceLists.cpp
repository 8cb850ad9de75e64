#include "publishing/lists/DanceLists.h"

#include "base/AppState.h"
#include "base/Cp1252.h"
#include "base/Dates.h"
#include "base/FastStrings.h"
#include "base/Log.h"
#include "base/Messages.h"
#include "base/TextRoutines.h"
#include "core/startup/Maintainer.h"
#include "core/database/DanceFilterSql.h"
#include "core/database/SqlRunner.h"
#include "core/database/Tables.h"
#include "core/filter/FilterCommands.h"
#include "core/services/ShellRoutines.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/sqlite/Database.h"
#include "platform/sqlite/Dataset.h"
#include "platform/sqlite/Query.h"
#include "programme/text/ProgrammeText.h"

#include <QDir>
#include <QHash>
#include <algorithm>

namespace {

const QString CrLf = QStringLiteral("\r\n");

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

void sortText(QStringList &lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const QString &a, const QString &b) { return CompareText(a, b) < 0; });
}

// The lines, each ending in a line break.
QString linesText(const QStringList &lines) {
    QString out;
    for (const QString &l : lines) out += l + CrLf;
    return out;
}

// The list file's path in the current folder, whatever the case of a file
// already there.
QString listPath(const QString &name) {
    return FindFileNoCase(QDir::currentPath() + QLatin1Char('/'), name);
}

void writeAndOpen(const QString &name, const QString &text, bool withEditor) {
    const QString path = listPath(name);
    SaveTextFile(path, text);
    if (withEditor) OpenWithEditor(path);
    else OpenDocument(path);
}

bool isDancesColumn(const QString &field) {
    if (field.isEmpty() || !DancesData.active()) return false;
    for (const FieldInfo &info : DancesData.fieldInfos())
        if (SameText(info.name, field)) return true;
    return false;
}

} // namespace

// ---- pure builders ------------------------------------------------------------------

QString YearOf(const QString &text) {
    const qsizetype n = text.size();
    if (n < 4) return {};
    // A quote and two digits end a text as well ("Book '98"): the scan runs
    // to the third-last character, the four-digit test stopping a place sooner.
    for (qsizetype i = 0; i + 2 < n; ++i) {
        const QChar c = text[i];
        if ((c == QLatin1Char('1') || c == QLatin1Char('2')) && i + 3 < n && isDigit(text[i + 1]) &&
            isDigit(text[i + 2]) && isDigit(text[i + 3]))
            return text.mid(i, 4);
        if (c == QLatin1Char('\'') && isDigit(text[i + 1]) && isDigit(text[i + 2]))
            return QStringLiteral("19") + text.mid(i + 1, 2);
    }
    return {};
}

QString DanceYear(const ListDance &d) {
    QString year;
    if (!d.Collection.contains(QLatin1String("MOXE"))) year = YearOf(d.Collection);
    if (year.isEmpty()) year = YearOf(d.Author);
    if (year.isEmpty()) {
        QString text = d.Instructions;
        if (text.startsWith(QLatin1String("{\\rtf1"))) {
            const qsizetype fs = text.indexOf(QLatin1String("\\fs"));
            text = fs < 0 ? QString() : text.mid(fs);
            // A language code's four digits are no year.
            qsizetype at = 0;
            while ((at = text.indexOf(QLatin1String("\\lang"), at)) >= 0) {
                qsizetype end = at + 5;
                while (end < text.size() && end < at + 9 && isDigit(text[end])) ++end;
                text.remove(at + 1, end - at - 1);
                ++at;
            }
        }
        year = YearOf(text);
    }
    return year;
}

QString ListHead(const QString &title, const QString &filterDescription) {
    QString head = title;
    if (!filterDescription.isEmpty()) head += QStringLiteral(".  ") + filterDescription;
    return head + CrLf + CrLf;
}

QString ByDateText(const QList<ListDance> &dances, const QString &filterDescription) {
    QStringList lines;
    for (const ListDance &d : dances) {
        const QString year = DanceYear(d);
        if (year.isEmpty()) continue;
        QString source = d.Collection;
        if (source.isEmpty()) source = d.Author;
        else if (!d.Author.isEmpty()) source += QStringLiteral(", ") + d.Author;
        lines << year + QStringLiteral("  ") + PadRight(DisplayTitle(d.Title), 41) + PadRight(d.Format, 18) + source;
    }
    sortText(lines);
    return ListHead(QStringLiteral("Dances with dates"), filterDescription) + linesText(lines) + CrLf +
           QStringLiteral("Total dances with dates: ") + QString::number(lines.size());
}

QString AlphaText(const QList<ListDance> &dances, const QString &filterDescription) {
    QStringList titles;
    titles.reserve(dances.size());
    for (const ListDance &d : dances) titles << d.Title;
    sortText(titles);
    for (QString &t : titles) t = DisplayTitle(t);
    return ListHead(QStringLiteral("Dances by Title"), filterDescription) + linesText(titles);
}

QString ByAuthorText(const QList<ListDance> &dances, const QString &filterDescription) {
    QStringList lines;
    for (const ListDance &d : dances)
        if (!d.Author.isEmpty()) lines << PadRight(d.Author, 30) + PadRight(DisplayTitle(d.Title), 50) + d.Format;
    sortText(lines);
    return ListHead(QStringLiteral("Dances by Author"), filterDescription) + linesText(lines);
}

QString ByFormatRtf(const QList<ListDance> &dances, const QString &filterDescription, bool maintainerCheck) {
    const QChar tab = QLatin1Char('\t');
    QString out = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\froman Times New "
                                 "Roman;}}") +
                  CrLf +
                  QStringLiteral("{\\colortbl ;\\red128\\green0\\blue192;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}"
                                 "\\viewkind4\\uc1\\pard\\qc\\f0\\fs40\\cf1\\b\\ul ") +
                  RtfEscape(filterDescription) + QStringLiteral("\\ul0\\b0\\cf2\\par\\ql") +
                  QStringLiteral("\\fs24\\tx900\\tx4400\\tx7500\\tx8500 \\par\\par") + QStringLiteral("\\b Called") +
                  tab + QStringLiteral("Title") + tab + QStringLiteral("Collection") + tab + QStringLiteral("Rhythm") +
                  tab + QStringLiteral("Level\\b0\\par");
    QString previous;
    bool first = true;
    for (const ListDance &d : dances) {
        const QString group = d.Format + QStringLiteral(":  ") + d.Style;
        if (first || group != previous) {
            out += QStringLiteral("\\par") + CrLf + QStringLiteral("\\b ") + RtfEscape(group) +
                   QStringLiteral("\\b0\\fs4\\par\\par\\fs24") + CrLf;
            previous = group;
            first = false;
        }
        const QString title = DisplayTitle(d.Title);
        out += RtfEscape(d.Called) + tab + RtfEscape(title) + tab + RtfEscape(d.Collection) + tab +
               RtfEscape(d.Rhythm) + tab + RtfEscape(d.Lvl) + QStringLiteral("\\par") + CrLf;
        if (maintainerCheck && !SameText(d.Style, QStringLiteral("Technique"))) {
            bool number = false;
            const double level = d.Lvl.toDouble(&number);
            if (!number || level < 1 || d.Collection.isEmpty())
                out += QStringLiteral("No collection/level specified for ") + RtfEscape(title) +
                       QStringLiteral("\\par") + CrLf;
        }
    }
    out += CrLf + QStringLiteral("\\par\\b Total dances: ") + QString::number(dances.size()) + CrLf +
           QStringLiteral("\\b0\\par\\par}");
    return out;
}

QString RankSelect(const QString &field) {
    return QStringLiteral("Select %1, Count(%1) as Tot from Dances").arg(field);
}

QString RankGroup(const QString &field) {
    return QStringLiteral("Group By %1 Order by Count(%1) desc").arg(field);
}

QString RankText(const QString &field, const QList<RankRow> &rows, const QString &filterDescription) {
    QString out = ListHead(field + QStringLiteral(" ranked in descending order"), filterDescription);
    for (const RankRow &r : rows) out += PadRight(r.value, 30) + QStringLiteral("  ") + QString::number(r.total) + CrLf;
    return out;
}

bool InNextTimePart(const QString &programme, QChar sep, int pos) {
    if (pos <= 1) return false;
    const qsizetype nextTime = PosBackNoCase(QString(sep) + QStringLiteral("O|Next time"), programme, pos - 1);
    if (nextTime == 0) return false;
    const qsizetype heading = PosNoCase(QString(sep) + QStringLiteral("O|"), programme, nextTime + 1);
    return heading == 0 || heading >= pos;
}

QStringList WhenEntries(const QList<WhenEvent> &events, const DanceKey &key, QChar sep, double currentDate) {
    QStringList out;
    if (key.Title.isEmpty()) return out;
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        const WhenEvent &e = events[i];
        int pos = FindDanceItem(e.Programme, sep, key);
        while (pos > 0 && InNextTimePart(e.Programme, sep, pos)) pos = FindDanceItem(e.Programme, sep, key, pos + 1);
        if (pos > 0 && e.EDate != currentDate) out << FormatEventDate(e.EDate) + QStringLiteral(": ") + e.Org;
    }
    return out;
}

QString NoKeyText(const QList<ListDance> &dances) {
    QString out;
    for (const ListDance &d : dances)
        out += PadRight(d.Title, 40) + PadRight(d.Collection, 30) + PadRight(d.Author, 20) + CrLf;
    return out;
}

// ---- reading the catalogue ----------------------------------------------------------

QList<ListDance> ReadListDances(Database &db, Dataset &dances, bool withInstructions) {
    QList<ListDance> all;
    QHash<qint64, qsizetype> at;
    Statement s(db.handle(),
                QStringLiteral("SELECT rowid, Title, Format, Style, Collection, Author, Rhythm, Called, Lvl") +
                    (withInstructions ? QStringLiteral(", Instructions") : QString()) + QStringLiteral(" FROM Dances"));
    while (s.step()) {
        ListDance d;
        d.Title = s.columnText(1);
        d.Format = s.columnText(2);
        d.Style = s.columnText(3);
        d.Collection = s.columnText(4);
        d.Author = s.columnText(5);
        d.Rhythm = s.columnText(6);
        d.Called = s.columnText(7);
        d.Lvl = s.columnText(8);
        if (withInstructions) d.Instructions = s.columnText(9);
        at.insert(s.column(0).toLongLong(), all.size());
        all.append(std::move(d));
    }
    QList<ListDance> shown;
    const std::vector<qint64> order = dances.VisibleBookmarks();
    shown.reserve(qsizetype(order.size()));
    for (qint64 rowid : order)
        if (auto it = at.constFind(rowid); it != at.constEnd()) shown.append(all[*it]);
    return shown;
}

QList<WhenEvent> ReadWhenEvents(Database &db, const std::vector<qint64> &order) {
    QHash<qint64, WhenEvent> byRow;
    Statement s(db.handle(), QStringLiteral("SELECT rowid, EDate, Org, Programme FROM Events"));
    while (s.step()) {
        const QVariant date = s.column(1);
        byRow.insert(s.column(0).toLongLong(),
                     {date.isNull() ? NoDate : date.toDouble(), s.columnText(2), s.columnText(3)});
    }
    QList<WhenEvent> out;
    out.reserve(qsizetype(order.size()));
    for (qint64 rowid : order)
        if (auto it = byRow.constFind(rowid); it != byRow.constEnd()) out.append(*it);
    return out;
}

// ---- the commands ----------------------------------------------------------------------

QString DancesFilterDescription() {
    return DancesData.active() && DancesData.Filtered() ? FilterHint(FilterTable::Dances) : QString();
}

void AskRemoveFilter() {
    if (!DancesData.active() || !DancesData.Filtered()) return;
    if (!YesNo(QStringLiteral("Remove filter?"))) return;
    SetFilter(FilterTable::Dances, 1);
    ShowRecordCount(FilterTable::Dances);
}

void ByDateList() {
    WriteLog(QStringLiteral("By Date"));
    AskRemoveFilter();
    writeAndOpen(QStringLiteral("List.Txt"), ByDateText(ReadListDances(Conn, DancesData, true), DancesFilterDescription()),
                 false);
}

void AlphaList() {
    WriteLog(QStringLiteral("Alphabetically"));
    AskRemoveFilter();
    writeAndOpen(QStringLiteral("List.Txt"), AlphaText(ReadListDances(Conn, DancesData), DancesFilterDescription()),
                 false);
}

void ByAuthorList() {
    WriteLog(QStringLiteral("By Author"));
    AskRemoveFilter();
    writeAndOpen(QStringLiteral("List.Txt"), ByAuthorText(ReadListDances(Conn, DancesData), DancesFilterDescription()),
                 false);
}

bool ByFormatList() {
    WriteLog(QStringLiteral("ListD"));
    if (!DancesData.active()) return false;
    if (!DancesData.Filtered()) {
        if (!AuthorMode) {
            OKHelpCancel(QStringLiteral("No filter active."), 55700);
            return false;
        }
        FilterDef &def = DancesFilter;
        def = FilterDef{};
        def.Field[1] = QStringLiteral("Author");
        def.Value[1] = MaintainerName();
        def.FullMatch[1] = true;
        def.Count = 1;
        SetFilter(FilterTable::Dances, 3);
        ShowRecordCount(FilterTable::Dances);
    }
    const FilterDef &def = DancesFilter;
    const bool ownFilter = AuthorMode && def.Count == 1 && SameText(def.Field[1], QStringLiteral("Author")) &&
                           def.Value[1] == MaintainerName();
    writeAndOpen(QStringLiteral("List.RTF"),
                 ByFormatRtf(ReadListDances(Conn, DancesData), DancesFilterDescription(), ownFilter), true);
    return true;
}

bool RankList(const QString &field) {
    if (!isDancesColumn(field)) return false;
    AskRemoveFilter();
    const QString column = QLatin1Char('[') + field + QLatin1Char(']');
    MyQuery.close();
    MyQuery.setText(RankSelect(column));
    BuildDanceFilterSql(DancesData, DancesFilter, DFilterOn);
    AddWhereTerm(QStringLiteral("Len(") + column + QStringLiteral(") > 1"));
    MyQuery.SQL << RankGroup(column);
    QList<RankRow> rows;
    MyQuery.open();
    for (; !MyQuery.eof(); MyQuery.next()) rows.append({MyQuery.fields(0).AsString(), MyQuery.fields(1).AsInteger()});
    MyQuery.close();
    writeAndOpen(QStringLiteral("Temp.Txt"), RankText(field, rows, DancesFilterDescription()), true);
    return true;
}

namespace {

// Clears every mark and sets those of the statement, in one transaction.
int markWith(const QString &clear, const QString &mark) {
    Batch batch(Conn);
    RunSQL(clear);
    const int marked = RunSQL(mark);
    batch.commit();
    return marked;
}

} // namespace

int MarkPendingDances() {
    return markWith(QStringLiteral("Update Dances Set DFilter=\"\""),
                    QStringLiteral("Update Dances Set DFilter=\"Y\" where Len(Instructions) > 260 and Printed = \"\""));
}

int MarkDancesByRowid(const QList<qint64> &rowids) {
    QStringList ids;
    for (qint64 id : rowids) ids << QString::number(id);
    if (ids.isEmpty()) ids << QStringLiteral("0");
    return markWith(QStringLiteral("Update Dances Set DFilter=\"\""),
                    QStringLiteral("Update Dances Set DFilter=\"Y\" where rowid in (") + ids.join(',') +
                        QLatin1Char(')'));
}

int MarkNoKeyDances() {
    return markWith(QStringLiteral("Update Dances Set DFilter = Null"),
                    QStringLiteral("Update Dances Set DFilter = \"Y\" where OwnTune = \"Y\" and KeySig = \"\""));
}

QList<qint64> ProgrammeDanceRowids(Database &db, const QList<DanceKey> &keys) {
    QList<qint64> out;
    Statement s(db.handle(), QStringLiteral("SELECT rowid FROM Dances WHERE Title = ? AND Format = ? AND Style = ?"));
    for (const DanceKey &k : keys) {
        if (k.Title.isEmpty()) continue;
        s.reset();
        s.bindAll({k.Title, k.Format, k.Style});
        if (s.step()) {
            const qint64 id = s.column(0).toLongLong();
            if (!out.contains(id)) out.append(id);
        }
    }
    return out;
}
