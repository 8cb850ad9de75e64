#pragma once
// The maintainer's rules as pure functions of a dance's fields: whose dance
// it is, whether it is one of his interpretations, whether the site links it,
// the tune keys of the tune index, the library address, the disc pages, and
// what a release may publish.

#include "core/startup/MaintainerConfig.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

struct DanceFacts {
    QString Title, Format, Style, Author, Collection, Instructions, Footer, Notes, Music;
};

// The collection code: the first four characters of Collection.
QString CollectionCode(const QString &collection);
// "nterp" starts at most 40 characters before an occurrence of the name.
bool MentionsInterpretation(const QString &text, const QString &name);
// "Music: " + name, plain or bold ("\b " or "{\b " before the name).
bool CreditsMusic(const QString &text, const QString &name);
// The maintainer's own dance: his Author, his collection or interpretations
// code, his music credit or an interpretation in instructions or footer.
bool IsMaintainersDance(const DanceFacts &d, const MaintainerConfig &c);
// An interpretation of his: the interpretation rule or the interpretations code.
bool IsInterpretation(const DanceFacts &d, const MaintainerConfig &c);
// Notes name a page of the site (domain) other than the tune page
// "abc.aspx" or a picture under "/images/".
bool LinkedOnSite(const QString &notes, const QString &domain);

// ---- the tune index -----------------------------------------------------------

// The folded "T:" lines of the index text.
QSet<QString> TuneIndexTitles(const QString &indexText);
// A link's or a title's key as the index writes it ("ö" as \"o and so on).
QString TuneNotationTitle(const QString &title);
// The name of the tune-page link "abc.aspx?T=" in Notes, decoded ("_" a
// blank, "%26" "&"); hasLink false when Notes hold none. The name runs to a
// quote, blank, "|", "<" or ">"; a line break inside it is kept, so the
// caller can report it.
QString TuneLinkName(const QString &notes, bool *hasLink);

// ---- release keep rules ------------------------------------------------------

// Font-size and language control words ("\fs20", "\lang2057") removed.
QString NormaliseRtf(const QString &rtf);
// The text of rich text without its control words and braces: enough to
// find years in, and much cheaper than reading the RTF.
QString RtfBareText(const QString &rtf);
// The earliest year (1000-2099) in the text, else 2000.
int EarliestYear(const QString &text);
// Whether a release may keep the dance's instructions. plainText gives the
// dance's text (instructions, footer and notes) as plain text, asked for
// only when the other rules do not decide; keepTitles: the folded titles of
// the keep list.
bool MayPublishInstructions(const DanceFacts &d, const std::function<QString()> &plainText,
                            const QSet<QString> &keepTitles, const MaintainerConfig &c);

// ---- the dance-book disc ------------------------------------------------------

// The page's title when the text after ">Comments<" (after "size=+1>" up to
// the next "<") holds "53"; else "".
QString CDPageTitle(const QString &page);
