#pragma once
// The band's tune table of one programme: a row per dance with the columns
// chosen in [Print], coloured rows for headings and notes, the music of each
// dance (recording and track, or links to its tunes and its tune-book
// volume), and the tune query that the page's button sends to the maker's
// tune page. Built from the rows and the catalogue alone; the window asks
// the questions and passes the answers in.

#include "programme/evaluation/ProgrammeData.h"
#include "programme/text/ProgrammeItem.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

// What the table reads besides the rows and the catalogue.
struct BandSettings {
    QStringList columns{};     // [Print] "0", "1", ...: Dances field names
    bool trackColumn = false;  // the second [Recorded] key is "Trk"
    int tolbrook = 1;          // 0 hide the tune book, 1 the tune book only, 2 both
    bool warn = true;          // the tune-link warnings
    bool isRec = false;        // the event uses recorded music
    bool oneBand = false;      // only the sessions of one band
    QString bandPart{};        // the part of that band's name
    bool showNext = false;     // the dances after "Next time" too
    bool authorMode = false;
    QChar separator{};
    QStringList recordedKeys{}; // the [Recorded] keys, for the music box
    int locationColumn = -1;
    QString siteFolder{};      // maintainer mode: the local copy of the web site
    QString abcIndex{};        // maintainer mode: the tune index ("T:" + title lines)
};

// The tune query of a page, gathered table by table.
struct TuneList {
    QString TuneQuery;         // "L1=key/title&L2=key&..."
    int TuneCount = 0;
    QString MissingMusic;      // maintainer mode: printed music not on the site
    QStringList keys;          // the tune keys added, for the repeat test
    void clear() { *this = TuneList(); }
};

struct BandTableResult {
    QString table;             // the table's start and rows (not yet escaped)
    QString noLinkNotInBook;   // shown titles, CR between them
    QString noLinkInBook;
    QString noRecording;
    QString stop;              // not empty: the message that stops the command
};

// The row being given its tune links.
struct TuneRow {
    QString title;             // the dance's shown title (a note's first text)
    QString volume{};          // the tune-book volume, " " or "" for none
    bool ownTune = false;
    QString music{};           // the dance's Music field, for the log
    bool hasVolume() const { return !volume.isEmpty() && volume != QLatin1String(" "); }
};

// Whether the programme has a "Next time" heading, so that the window asks
// whether to show the dances below it.
bool HasNextTimeHeading(const QString &progText, QChar sep);

BandTableResult BuildBandTable(const QList<ProgrammeItem> &rows, const DanceLookup &dances,
                               const BandSettings &settings, TuneList &tunes);

// Appends to cell a button for each link in notes, adds the maker's tune
// pages to the query, then the tune-book volume by the option.
void AddTuneLinks(QString &cell, const QString &notes, const TuneRow &row, const BandSettings &settings,
                  TuneList &tunes);

// Adds tune key for the dance shown as title, unless the page has it already.
void TuneQueryAdd(TuneList &tunes, const QString &key, const QString &title);

// The end of a table: the whole page escaped, "</Table>", and the warnings
// above the first table of the page (the tune-link ones with warn only).
QString FinishBandTable(const QString &page, const BandTableResult &table, bool warn, QChar sep);
