#pragma once
// The import of a comma-separated file into the Events or the Dances table:
// the field map the user builds, the preview of the first line, and the run
// that appends one record per line in one transaction.

#include <QList>
#include <QString>
#include <QStringList>

class Dataset;

// Set while the import window exists: the before-post hooks ask nothing.
extern bool ImportWindowExists;

// The most input fields a line may have.
inline constexpr int MaxImportFields = 60;

// Which output field each input field feeds (0-based; -1 for none). An input
// field feeds at most one output field and an output field takes at most one
// input field.
class ImportFieldMap {
public:
    ImportFieldMap() : m_feeds(MaxImportFields, -1) {}
    // A click on an output row: a row already fed is cleared (false);
    // otherwise the input field feeds it, leaving any row it fed (true).
    bool click(int output, int input);
    // Input i feeds output i for the first n fields.
    void identical(int n);
    int feeds(int input) const { return m_feeds.value(input, -1); }
    // The input feeding an output row, or -1.
    int source(int output) const { return int(m_feeds.indexOf(output)); }

private:
    QList<int> m_feeds;
};

// The most characters of a field the preview shows.
inline constexpr int MaxPreviewChars = 1000;

// The fields of the file's first line as the preview shows them (blanks
// after a comma kept, each cut to MaxPreviewChars); empty for an empty file.
QStringList ImportPreview(const QByteArray &bytes);

enum class ImportEnd {
    Empty,     // nothing to import: "Input file is empty."
    Committed, // the good records are stored together
    Cancelled, // the user cancelled: nothing is stored
    Failed     // a line could not be read or the database failed: nothing is stored
};

struct ImportJob {
    Dataset *dataset = nullptr;
    QString keyField;   // "Org" or "Title"
    bool isDances = false;
    QString caption;    // the progress box's caption
    QByteArray bytes;   // the file
    ImportFieldMap map;
    bool hasNames = false;
};

// The run: a record per line with the progress box's lines and errors; a
// refused value (a NUL in it refuses it too), a missing key or a duplicate
// drops its record, and the box quotes values cut to 100 characters. A file
// marked as UTF-8 holding a byte that is not is refused before anything
// (ImportEnd::Failed, naming the line). Nothing is
// stored unless the run reaches the end of the file. The dataset's
// post-error and after-scroll hooks are off and its controls disabled for
// the run, and put back on every way out.
ImportEnd RunImport(const ImportJob &job, int *stored = nullptr);
