#include "presentation/cards/CardLayout.h"

#include <QRegularExpression>

#include <algorithm>

double TwipsToPixels(int twips) { return twips * 100.0 / TwipsPerPixel100; }
int PixelsToTwips(double pixels) { return qRound(pixels * TwipsPerPixel100 / 100.0); }

namespace {

// The height of lines first..last on one card: the lines themselves and, when
// the last ends a paragraph, its gap.
double SliceHeight(const QList<CardTextLine> &lines, int first, int last) {
    const CardTextLine &l = lines[last];
    return l.bottom - lines[first].top + (l.paraEnd ? l.gap : 0);
}

// The full test allows for the gap below a paragraph's last line: only a
// card's text has to fit.
bool Overfull(const QList<CardTextLine> &lines, int first, int last, double cardHeight) {
    const CardTextLine &l = lines[last];
    return SliceHeight(lines, first, last) - (l.paraEnd ? l.gap : 0) > cardHeight;
}

} // namespace

CardPagination PaginateCards(const QList<CardTextLine> &lines, double cardHeight, double footerHeight,
                             bool moveForFooter) {
    CardPagination out;
    const int n = int(lines.size());
    int line = 0;
    while (line < n) {
        CardSlice card{line, 1, 0};
        while (card.last() + 1 < n && !Overfull(lines, card.first, card.last() + 1, cardHeight)) ++card.count;
        card.height = SliceHeight(lines, card.first, card.last());
        line = card.last() + 1;
        const bool last = line >= n;
        if (last && footerHeight > 0 && moveForFooter && !out.lineMovedForFooter && card.count > 1 &&
            card.height + footerHeight > cardHeight) {
            --card.count;
            card.height = SliceHeight(lines, card.first, card.last());
            --line;
            out.lineMovedForFooter = true;
        }
        out.cards.append(card);
    }
    if (out.cards.isEmpty()) out.cards.append(CardSlice{0, 0, 0});
    out.footerFits = footerHeight <= 0 || out.cards.last().height + footerHeight <= cardHeight;
    return out;
}

CardGeometryRead ReadCardGeometry(const QStringList &card, const CardGeometry &previous) {
    CardGeometryRead r;
    r.geometry = previous;
    int *fields[] = {&r.geometry.gapTop, &r.geometry.gapLeft, &r.geometry.dWidth, &r.geometry.dHeight,
                     &r.geometry.vGap,   &r.geometry.hGap,    &r.geometry.down,   &r.geometry.across};
    auto value = [&](int i) { return i < card.size() ? card[i].trimmed() : QString(); };
    const auto below1 = [](const QString &t) {
        bool ok = false;
        const int v = t.toInt(&ok);
        return t.isEmpty() || (ok && v < 1);
    };
    if (below1(value(6)) || below1(value(7))) r.downAcrossEmpty = true;
    for (int i = 0; i < 8; ++i) {
        if (i >= 6 && r.downAcrossEmpty) {
            *fields[i] = 1;
            continue;
        }
        bool ok = false;
        const int v = value(i).toInt(&ok);
        if (!ok) {
            r.notWhole = true;
            break;
        }
        *fields[i] = v;
    }
    r.sizeMissing = r.geometry.dWidth <= 0 || r.geometry.dHeight <= 0;
    return r;
}

QString CardsDownAcrossMessage() {
    return QStringLiteral("Please click the \"Settings\" menu and specify the number of cards Down and Across.");
}

QString CardsSizeMessage() {
    return QStringLiteral("Please click the \"Settings\" menu and specify the Card Width and Card Height.");
}

QString CardsNotWholeMessage() {
    return QStringLiteral("One of your settings is not a whole number.\rClick the \"Settings\" menu and change it.");
}

int CardPlacer::cardTop() const { return g_.gapTop + 40 + PrintRow * (g_.dHeight + g_.vGap); }

int CardPlacer::cardLeft() const { return g_.gapLeft + PrintColumn * (g_.dWidth + g_.hGap); }

bool CardPlacer::advance(bool moreFollows) {
    if (++PrintColumn < std::max(1, g_.across)) return false;
    PrintColumn = 0;
    if (++PrintRow < std::max(1, g_.down)) return false;
    if (firstPageOnly_) {
        StopPrinting = true;
        return false;
    }
    PrintRow = 0;
    ++CardPageNo;
    return moreFollows;
}

CardHeadingText CardHeading(const CardHeadingInput &in, const std::function<bool(const CardHeadingText &)> &oneLine) {
    CardHeadingText h;
    if (in.showTitles) return h;
    h.shown = true;
    if (!in.refine) {
        h.text = in.displayTitle;
        h.runs = {HeadingRun{0, int(h.text.size()), double(in.templatePoints), false, false}};
        return h;
    }
    const bool isBreak = in.style.contains(QLatin1String("Break"));
    const QString prefix = isBreak ? QStringLiteral("Break:  ") : QString();
    h.text = prefix + in.displayTitle;
    const int articleLength =
        !in.movedArticle.isEmpty() && in.displayTitle.startsWith(in.movedArticle) ? int(in.movedArticle.size()) : 0;
    const int start = int(prefix.size());
    int titleSize = in.cardNo <= 1 ? 24 : 18;
    int articleSize = 15;
    constexpr int floor = 8;
    for (;;) {
        h.runs.clear();
        if (isBreak) h.runs.append(HeadingRun{0, 6, double(titleSize), false, true});
        if (isBreak) h.runs.append(HeadingRun{6, start - 6, double(titleSize), true, false});
        if (articleLength) h.runs.append(HeadingRun{start, articleLength, double(articleSize), true, false});
        h.runs.append(HeadingRun{start + articleLength, int(h.text.size()) - start - articleLength,
                                 double(titleSize), true, false});
        if (oneLine(h) || (titleSize <= floor && articleSize <= floor)) break;
        titleSize = std::max(floor, titleSize - 1);
        articleSize = std::max(floor, articleSize - 1);
    }
    return h;
}

int TemplateTitlePoints(const QString &templateText, int fallback) {
    // The Title placeholder with any control words inside it: the "\fs"
    // nearest before the name counts, inside or before the placeholder.
    static const QRegularExpression placeholder(QStringLiteral("\\(\\*(?:\\\\[a-z]+-?\\d* ?)*Title"));
    const QRegularExpressionMatch m = placeholder.match(templateText);
    if (!m.hasMatch()) return fallback;
    static const QRegularExpression fs(QStringLiteral("\\\\fs(\\d+)"));
    int points = fallback;
    for (auto it = fs.globalMatch(templateText.left(m.capturedEnd() - 5)); it.hasNext();) points = it.next().captured(1).toInt() / 2;
    return points > 0 ? points : fallback;
}
