#include "programme/rows/RowLayout.h"

#include "base/Cp1252.h"
#include "programme/text/HeadingRoles.h"

#include <cstdlib>

int ThisIndex = -1;

int RowHeight(int screenScale, bool large) {
    int height = 16;
    if (screenScale > 0) height = 16 * 10000 / screenScale + 3;
    if (large) height = height * 3 / 2;
    return height;
}

int DisplayWidth(const QString &value) {
    bool ok = false;
    const int width = value.trimmed().toInt(&ok);
    return ok ? width : 999;
}

bool HasDisplayColumn(const DisplayColumns &columns, const QString &name) {
    for (const DisplayColumn &c : columns)
        if (SameText(c.name, name)) return true;
    return false;
}

int DisplayColumnWidth(const DisplayColumns &columns, const QString &name) {
    for (const DisplayColumn &c : columns)
        if (SameText(c.name, name)) return c.width;
    return 999;
}

int ColumnTag(const QString &name) {
    if (SameText(name, QStringLiteral("Title")) || SameText(name, QStringLiteral("Format"))
        || SameText(name, QStringLiteral("Style")))
        return KeyTag;
    if (SameText(name, QStringLiteral("Recent"))) return RecentTag;
    if (SameText(name, QStringLiteral("Time"))) return TimeTag;
    if (SameText(name, QStringLiteral("LastC")) || SameText(name, QStringLiteral("LastH"))) return ComputedTag;
    return FieldTag;
}

int MulDiv(int value, int numerator, int denominator) {
    if (denominator == 0) return value;
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = std::llabs(denominator) / 2;
    const bool negative = (product < 0) != (denominator < 0);
    const long long q = (std::llabs(product) + half) / std::llabs(denominator);
    return static_cast<int>(negative ? -q : q);
}

PixelRect ScaleRect(const PixelRect &r, int numerator, int denominator, bool vertical) {
    PixelRect s = r;
    s.left = MulDiv(r.left, numerator, denominator);
    s.width = MulDiv(r.left + r.width, numerator, denominator) - s.left;
    if (vertical) {
        s.top = MulDiv(r.top, numerator, denominator);
        s.height = MulDiv(r.top + r.height, numerator, denominator) - s.top;
    }
    return s;
}

namespace {

RowGeometry NewRow(int rowHeight) {
    RowGeometry row;
    row.height = rowHeight;
    row.children.append({RowChild::Action, QString(), KeyTag, {1, 1, 11, rowHeight - 2}});
    return row;
}

void Finish(RowGeometry &row, const RowScale &scale, bool growLarge) {
    if (scale.toFit && scale.screenScale >= 1) {
        for (RowChild &c : row.children) c.rect = ScaleRect(c.rect, scale.screenScale, 10000);
        row.height = MulDiv(row.height, scale.screenScale, 10000);
    }
    if (growLarge && scale.large)
        for (RowChild &c : row.children) c.rect = ScaleRect(c.rect, 3, 2, false);
    // Scaling can widen the 1-pixel separators to 2; they stay thin lines.
    for (RowChild &c : row.children)
        if (c.rect.width == 2) c.rect.width = 1;
}

} // namespace

RowGeometry DanceRowGeometry(const DisplayColumns &columns, const RowScale &scale, bool growLarge) {
    const int h = RowHeight(scale.screenScale, scale.large);
    RowGeometry row = NewRow(h);
    int x = 14;
    for (const DisplayColumn &c : columns) {
        row.children.append({RowChild::Column, c.name, ColumnTag(c.name), {x, 1, c.width, h - 2}});
        x += c.width;
        row.children.append({RowChild::Separator, QString(), 0, {x, 0, 1, h + 4}});
        x += 4;
    }
    Finish(row, scale, growLarge);
    return row;
}

RowGeometry HeadingRowGeometry(const DisplayColumns &columns, const RowScale &scale) {
    const int h = RowHeight(scale.screenScale, scale.large);
    RowGeometry row = NewRow(h);
    if (HasDisplayColumn(columns, QStringLiteral("Time"))) {
        const int w = DisplayColumnWidth(columns, QStringLiteral("Time"));
        row.children.append({RowChild::Column, QStringLiteral("Time"), TimeTag, {14, 1, w, h - 2}});
        row.children.append({RowChild::Separator, QString(), 0, {14 + w, 0, 1, h}});
    }
    Finish(row, scale, false);
    return row;
}

RowGeometry NotesRowGeometry(const RowScale &scale) {
    RowGeometry row = NewRow(RowHeight(scale.screenScale, scale.large));
    Finish(row, scale, false);
    row.height = 26;
    return row;
}

QList<RowColour> RowColours(const QList<ProgrammeItem> &rows, int selected) {
    QList<bool> marked(rows.size(), false);
    if (selected >= 0 && selected < rows.size()) marked[selected] = true;
    return RowColours(rows, marked);
}

QList<RowColour> RowColours(const QList<ProgrammeItem> &rows, const QList<bool> &marked) {
    QList<RowColour> colours;
    colours.reserve(rows.size());
    bool nextTime = false;
    for (const ProgrammeItem &row : rows) {
        RowColour c{RowGrey, Black, White, false};
        switch (row.kind) {
        case ItemKind::Dance:
            if (row.key.Title.isEmpty()) c.background = White;
            if (row.key.Format == QLatin1String("Technique")) c.background = Cyan;
            if (nextTime) c.background = Orange;
            break;
        case ItemKind::Note:
            break;
        case ItemKind::Heading:
            if (IsNextTimeHeading(row.text)) {
                c.background = Orange;
                nextTime = true;
            } else if (IsSessionHeading(row.text)) {
                c = {Blue, White, White, false};
                nextTime = false;
            } else {
                c = {Yellow, Blue, White, false};
            }
            break;
        }
        colours.append(c);
    }
    for (qsizetype i = 0; i < colours.size() && i < marked.size(); ++i) {
        if (!marked[i]) continue;
        RowColour &c = colours[i];
        c.background = SelectedRow;
        c.font = Black;
        c.memo = SelectedMemo;
        c.selected = true;
    }
    return colours;
}
