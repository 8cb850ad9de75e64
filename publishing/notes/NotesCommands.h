#pragma once
// The text side of the notes commands: the link under the caret, local
// links stored relative to the data folder, the web link from the
// clipboard, cleaning pasted text and joining its broken lines, and the
// command line that hands a dance's tune to the sibling editor.

#include <QChar>
#include <QString>

// The link a double-click at caret (0-based) is on: a Link="..." target or
// a web address, sought back from two characters after the caret and
// counted when it reaches that far. A local link without its closing quote
// stops the command with MustPos's message.
struct NoteLinkHit {
    bool found = false;
    bool local = false;
    QString target;
};
NoteLinkHit LinkAtCaret(const QString &text, int caret);

// A local link's file: "\" read as "/", a name whose second character is
// not ":" (and that does not start "/") under dataFolder.
QString ResolveLocalLink(const QString &link, const QString &dataFolder);
// The memo text with a local link to path appended (two blanks before it
// when the text is not empty; a text of CR LF alone counts as empty); a path
// inside dataFolder is stored relative to it.
QString AddLocalLink(const QString &text, const QString &path, const QString &dataFolder);

// The clipboard's web address ("www." given "http://"); empty when the text
// is no web address.
QString ClipboardWebLink(const QString &clipboard);

// The address a double-click opens: a web address of the maker's site
// loses its "www.", a tune-page address has each "&" as "$", and a local
// link is resolved as above.
QString FollowTarget(const NoteLinkHit &link, const QString &dataFolder);

// Pasted text with dashes as "-", typographic double quotes straight, the
// no-break space a blank and the closing single quote "'".
QString CleanPaste(const QString &text);
// Whether the text holds a line feed other than as its last character.
bool HasLineBreaks(const QString &text);
// Broken lines of pasted running text joined into paragraphs; a blank line,
// or a line starting "." or "<", ends a paragraph; exactly two blanks after
// ".", "!" and "?" that a blank follows.
QString ReParagraph(const QString &text);

// The View ABC command line: '"/T ' + folder + "\" + "|" + title, the
// programme separator when the tune is to play, and the closing quote.
QString AbcCommandLine(const QString &abcFolder, const QString &title, bool play, QChar separator);

// Maintainer mode: whether the tune index holds a line "T:" + title.
bool InTuneIndex(const QString &index, const QString &title);
// Maintainer mode: the tune named by a tune-page link in notes (the query
// value after "abc.aspx?T=" up to a quote, blank or line break, "_" as a
// blank and "%26" as "&"); empty when the notes hold no such link.
QString TuneLinkTitle(const QString &notes);

// Maintainer mode: the web link of a dance built from his own material. The
// title (with "Break: " before it first when the style holds "Break") is
// sought as "|" + title + "\par .DT" in his instruction collections; a hit
// gives site + "/" + the collection's page (the text after the nearest
// " .WE" before the hit) + ".htm#" + the anchor (the text after the hit's
// "|", blanks as "%20"). Without a hit: the tune page of the title (blanks
// "_", "&" "%26"), with notInIndex set when neither tune index holds it.
struct MaintainerLink {
    QString address;
    bool notInIndex = false;
};
MaintainerLink MaintainerWebLink(const QStringList &collections, const QString &title, const QString &style,
                                 const QString &abcIndex, const QString &site);

// Maintainer mode: the page of his site a web address names, as a file of
// his local copy (siteFolder ending "/") and the anchor after "#"; file
// empty when the address is no ".htm" page of that domain.
struct LocalSitePage {
    QString file, anchor;
};
LocalSitePage LocalSitePageOf(const QString &address, const QString &domain, const QString &siteFolder);
// The page to show in large print ("Technique.htm"): the page's main part
// (its <main>, else its body), or with an anchor the part from the heading
// of that id up to the next heading or rule; links and pictures resolve
// against the page's own folder (baseHref). Empty when the anchor is not
// on the page.
QString LargePrintPage(const QString &page, const QString &anchor, const QString &baseHref);
