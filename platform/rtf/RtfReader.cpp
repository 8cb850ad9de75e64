#include "platform/rtf/RtfReader.h"

#include "base/Cp1252.h"
#include "platform/rtf/RtfCodePages.h"

#include <QColor>
#include <QList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Tokens

enum class Tok { End, Open, Close, Word, Symbol, Text, Hex };

constexpr int MaxWord = 32;
constexpr long long MaxParam = 1000000000; // numbers are clamped to this size

bool isAsciiLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
}
bool isDigit(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }
int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

class Tokenizer {
public:
    explicit Tokenizer(QStringView s) : s_(s) {}

    Tok next() {
        const qsizetype n = s_.size();
        while (pos_ < n) {
            const QChar c = s_[pos_];
            const char16_t u = c.unicode();
            if (u == '\r' || u == '\n' || u == 0) { ++pos_; continue; }
            if (u == '{') { ++pos_; return Tok::Open; }
            if (u == '}') { ++pos_; return Tok::Close; }
            if (u == '\\') {
                ++pos_;
                if (pos_ >= n) { damaged = true; return Tok::End; }
                const QChar c2 = s_[pos_];
                if (isAsciiLetter(c2)) return readWord();
                if (c2 == u'\'') {
                    ++pos_;
                    int digits = 0, v = 0;
                    while (digits < 2 && pos_ < n && hexValue(s_[pos_]) >= 0) {
                        v = v * 16 + hexValue(s_[pos_]);
                        ++pos_;
                        ++digits;
                    }
                    if (digits < 2) { damaged = true; continue; }
                    hex = v;
                    return Tok::Hex;
                }
                ++pos_;
                ch = c2;
                return Tok::Symbol;
            }
            const qsizetype start = pos_;
            while (pos_ < n) {
                const char16_t v = s_[pos_].unicode();
                if (v == '\\' || v == '{' || v == '}' || v == '\r' || v == '\n' || v == 0) break;
                ++pos_;
            }
            text = s_.mid(start, pos_ - start);
            return Tok::Text;
        }
        return Tok::End;
    }

    // Skips raw characters (the data of \bin).
    void skipChars(long long count) {
        if (count <= 0) return;
        pos_ = qsizetype(std::min<long long>(s_.size(), pos_ + count));
    }

    std::string_view word() const { return {word_, size_t(wordLen_)}; }
    bool hasParam = false;
    int param = 0;
    QChar ch;
    QStringView text;
    int hex = 0;
    bool damaged = false;

private:
    Tok readWord() {
        const qsizetype n = s_.size();
        wordLen_ = 0;
        bool overlong = false;
        while (pos_ < n && isAsciiLetter(s_[pos_])) {
            if (wordLen_ < MaxWord) word_[wordLen_++] = char(s_[pos_].unicode());
            else overlong = true;
            ++pos_;
        }
        if (overlong) wordLen_ = 0; // no word of ours is that long: an unknown word
        hasParam = false;
        param = 0;
        bool negative = false;
        if (pos_ + 1 < n && s_[pos_] == u'-' && isDigit(s_[pos_ + 1])) {
            negative = true;
            ++pos_;
        }
        if (pos_ < n && isDigit(s_[pos_])) {
            long long v = 0;
            while (pos_ < n && isDigit(s_[pos_])) {
                if (v < MaxParam) v = v * 10 + (s_[pos_].unicode() - '0');
                ++pos_;
            }
            v = std::min(v, MaxParam);
            hasParam = true;
            param = int(negative ? -v : v);
        }
        if (pos_ < n && s_[pos_] == u' ') ++pos_;
        return Tok::Word;
    }

    QStringView s_;
    qsizetype pos_ = 0;
    char word_[MaxWord + 1] = {};
    int wordLen_ = 0;
};

// ---------------------------------------------------------------------------
// Control words

enum class W {
    Unknown,
    // destinations
    FontTbl, ColorTbl, SkipDest, Fldrslt, KeepDest, Upr, Ud, Shp, ShpInst, ShpTxt,
    // document
    Deff, Deftab, Uc, U, Bin, AnsiCpg, Mac, Pc, Pca, FCharset, Cpg,
    // character
    Plain, B, I, Ul, UlNone, Strike, F, Fs, Cf, Highlight, Cb, Up, Dn, Super, Sub, NoSuperSub, V,
    // paragraph
    Pard, Par, Line, Ql, Qc, Qr, Qj, Li, Ri, Fi, Sb, Sa, Sl, SlMult, Tx, Tqr, Tqc, Tqdec,
    // tables
    Trowd, Cellx, Intbl, Itap, Cell, Row, NestCell, NestRow,
    // font and colour tables
    Red, Green, Blue,
    // characters
    Tab, Emdash, Endash, Bullet, Lquote, Rquote, Ldblquote, Rdblquote, Space, Column,
};

const std::unordered_map<std::string_view, W> &words() {
    static const std::unordered_map<std::string_view, W> table = [] {
        std::unordered_map<std::string_view, W> t{
            {"fonttbl", W::FontTbl}, {"colortbl", W::ColorTbl}, {"fldrslt", W::Fldrslt},
            {"pntext", W::KeepDest}, {"listtext", W::KeepDest}, {"upr", W::Upr}, {"ud", W::Ud},
            {"shp", W::Shp}, {"shpinst", W::ShpInst}, {"shptxt", W::ShpTxt},
            {"deff", W::Deff}, {"deftab", W::Deftab}, {"uc", W::Uc}, {"u", W::U}, {"bin", W::Bin},
            {"ansicpg", W::AnsiCpg}, {"mac", W::Mac}, {"pc", W::Pc}, {"pca", W::Pca},
            {"fcharset", W::FCharset}, {"cpg", W::Cpg},
            {"plain", W::Plain}, {"b", W::B}, {"i", W::I}, {"ul", W::Ul}, {"ulnone", W::UlNone},
            {"strike", W::Strike}, {"striked", W::Strike}, {"f", W::F}, {"fs", W::Fs}, {"cf", W::Cf},
            {"highlight", W::Highlight}, {"cb", W::Cb}, {"chcbpat", W::Cb}, {"up", W::Up}, {"dn", W::Dn},
            {"super", W::Super}, {"sub", W::Sub}, {"nosupersub", W::NoSuperSub}, {"v", W::V},
            {"pard", W::Pard}, {"par", W::Par}, {"sect", W::Par}, {"page", W::Par}, {"line", W::Line},
            {"ql", W::Ql}, {"qc", W::Qc}, {"qr", W::Qr}, {"qj", W::Qj}, {"li", W::Li}, {"ri", W::Ri},
            {"fi", W::Fi}, {"sb", W::Sb}, {"sa", W::Sa}, {"sl", W::Sl}, {"slmult", W::SlMult},
            {"tx", W::Tx}, {"tqr", W::Tqr}, {"tqc", W::Tqc}, {"tqdec", W::Tqdec},
            {"trowd", W::Trowd}, {"cellx", W::Cellx}, {"intbl", W::Intbl}, {"itap", W::Itap},
            {"cell", W::Cell}, {"row", W::Row}, {"nestcell", W::NestCell}, {"nestrow", W::NestRow},
            {"red", W::Red}, {"green", W::Green}, {"blue", W::Blue},
            {"tab", W::Tab}, {"emdash", W::Emdash}, {"endash", W::Endash}, {"bullet", W::Bullet},
            {"lquote", W::Lquote}, {"rquote", W::Rquote}, {"ldblquote", W::Ldblquote},
            {"rdblquote", W::Rdblquote}, {"emspace", W::Space}, {"enspace", W::Space},
            {"qmspace", W::Space}, {"column", W::Column},
        };
        // Every kind of underline switches it on.
        for (const char *u : {"uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
                              "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave",
                              "ulw", "ulwave"})
            t.emplace(u, W::Ul);
        // Destinations whose content is never text of the document.
        for (const char *d : {"info", "stylesheet", "pict", "object", "header", "headerl", "headerr",
                              "headerf", "footer", "footerl", "footerr", "footerf", "footnote",
                              "listtable", "listoverridetable", "fldinst", "nonesttables", "filetbl",
                              "revtbl", "rsidtbl", "xmlnstbl", "themedata", "colorschememapping",
                              "latentstyles", "datastore", "pgdsctbl", "shprslt", "nonshppict", "xe", "tc",
                              "ftnsep", "ftnsepc", "aftnsep", "aftnsepc", "pn", "generator"})
            t.emplace(d, W::SkipDest);
        return t;
    }();
    return table;
}

W lookup(std::string_view w) {
    const auto &t = words();
    const auto it = t.find(w);
    return it == t.end() ? W::Unknown : it->second;
}

// Destinations read although "\*" lets a reader skip them: they hold text.
bool readAfterStar(W w) {
    return w == W::Fldrslt || w == W::KeepDest || w == W::Ud || w == W::ShpInst || w == W::ShpTxt;
}

// A code page as a number: some writers give it as a signed 16-bit number
// (UTF-8's 65001 as -535). 0 when there is none.
int codePageNumber(int param) {
    if (param < 0 && param >= -32768) param += 65536;
    return param > 0 ? param : 0;
}

// The length of the UTF-8 sequence a byte begins; 0 when it begins none.
int utf8Length(unsigned char b) {
    if (b < 0x80) return 1;
    if (b >= 0xC2 && b <= 0xDF) return 2;
    if (b >= 0xE0 && b <= 0xEF) return 3;
    if (b >= 0xF0 && b <= 0xF4) return 4;
    return 0;
}

// Whether b may stand at position i (from 1) of the sequence begun by lead:
// no overlong forms, no surrogates, nothing beyond U+10FFFF.
bool utf8Follows(unsigned char lead, qsizetype i, unsigned char b) {
    if (i == 1) {
        if (lead == 0xE0) return b >= 0xA0 && b <= 0xBF;
        if (lead == 0xED) return b >= 0x80 && b <= 0x9F;
        if (lead == 0xF0) return b >= 0x90 && b <= 0xBF;
        if (lead == 0xF4) return b >= 0x80 && b <= 0x8F;
    }
    return b >= 0x80 && b <= 0xBF;
}

// ---------------------------------------------------------------------------
// State

struct TabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;
    bool operator==(const TabStop &) const = default;
};

struct CharState {
    int font = -1; // font number; -1 the default font
    int halfPoints = 24;
    int fg = 0;
    int bg = -1; // colour numbers; -1 no background
    int raise = 0;
    int vert = 0; // 1 superscript, 2 subscript
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    bool operator==(const CharState &) const = default;
};

struct ParaState {
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slmult = false;
    int align = 0; // 0 left, 1 centre, 2 right, 3 justified
    QList<TabStop> tabs;
    QTextOption::TabType nextTab = QTextOption::LeftTab;
    bool intbl = false;
    int itap = 0;
    bool operator==(const ParaState &) const = default;
};

// Quiet: a group whose control words are followed but whose text is not the
// document's (a shape's properties, the ANSI half of \upr), though a group
// inside it may be.
enum class Dest { Text, Skip, FontTable, ColorTable, Quiet };

struct Group {
    CharState ch;
    ParaState para;
    Dest dest = Dest::Text;
    Dest uprOuter = Dest::Text; // what \ud returns to inside \upr
    int uc = 1;
    // A text box's text: its first group, and the table depth of the paragraph
    // the box stands in (-1 outside a box), which its own \pard keeps.
    bool boxStart = false;
    int boxItap = -1;
    // Groups opened inside this one that have changed nothing yet: they
    // share its entry until one changes something, so that thousands of
    // nested braces cost no more than the changes made in them.
    int shared = 0;
};

constexpr int MaxTableSize = 4096; // font and colour entries kept
constexpr int MaxTabs = 64;
constexpr int MaxEdges = 64; // cell edges of a row, and of a table, placed by them
constexpr int MaxLength = 31680;  // twips: 22 inches

int clampLength(int twips) { return std::clamp(twips, -MaxLength, MaxLength); }

// ---------------------------------------------------------------------------
// What a parse produces goes to a sink.

class Sink {
public:
    virtual ~Sink() = default;
    virtual void text(QStringView t, const CharState &ch, const ParaState &para) = 0;
    virtual void par(const CharState &ch, const ParaState &para) = 0;
    virtual void cell(const CharState &ch, const ParaState &para) = 0;
    // edges: the right edges of the row's cells, in twips, as its \cellx gave them.
    virtual void row(const ParaState &para, const std::vector<int> &edges) = 0;
    virtual void nestedRow(const CharState &ch, const ParaState &para) = 0;
    virtual void end(const CharState &ch, const ParaState &para) = 0;
};

class Parser {
public:
    Parser(QStringView rtf, Sink &sink) : tok_(rtf), sink_(sink) {}

    bool run(); // false when malformed

    QList<QString> fontNames;    // by font number; empty when undefined
    QList<QColor> colours;       // by colour number; invalid = automatic
    int deff = 0;
    int deftab = 720;
    int tableChanges = 0; // font and colour entries stored so far, and changes of deff

    QString fontName(int number) const {
        if (number >= 0 && number < fontNames.size() && !fontNames[number].isEmpty()) return fontNames[number];
        if (deff >= 0 && deff < fontNames.size()) return fontNames[deff];
        return {};
    }
    QColor colour(int number) const {
        return number >= 0 && number < colours.size() ? colours[number] : QColor();
    }

private:
    // The state of the innermost group, to read.
    const Group &cur() const { return stack_.back(); }
    // The same, to change: a group that shares its entry with the groups
    // around it gets one of its own first.
    Group &mut() {
        if (stack_.back().shared > 0) {
            --stack_.back().shared;
            Group g = stack_.back();
            g.shared = 0;
            g.boxStart = false;
            stack_.push_back(std::move(g));
        }
        return stack_.back();
    }
    void word(W w, bool hasParam, int param);
    void emitText(QStringView t);
    void emitChar(QChar c) { emitText(QStringView(&c, 1)); }
    void fontTableText(QStringView t);
    void colourTableText(QStringView t);
    void storeFont();
    // Bytes given as \'hh, and raw text, in the character set of the font
    // they stand in.
    int codePageHere() const;
    void hexByte(unsigned char b);
    void text(QStringView t);
    void putText(QStringView t, int codePage);
    void flushPending();
    void putDecoded(QStringView t);
    void par(const CharState &ch, const ParaState &para);

    Tokenizer tok_;
    Sink &sink_;
    std::vector<Group> stack_;
    int skipChars_ = 0;   // characters still to skip after \u
    int fontNumber_ = -1; // font table entry being read
    int fontCharset_ = -1; // its \fcharset
    int fontCpg_ = -1;     // its \cpg
    QString fontText_;
    QList<int> fontCodePages_; // by font number; -1 the document's
    int ansiCodePage_ = 1252;
    CodePages codePages_;
    // The first bytes of a character: a double-byte lead waiting for its
    // trail byte, or the start of a UTF-8 sequence.
    QByteArray pending_;
    int pendingCodePage_ = 0;
    bool starPending_ = false;  // \* just read: the next word says whether the group is read
    bool paraHasText_ = false;  // text since the last paragraph or cell end
    std::vector<int> rowEdges_; // the current row's \cellx
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colourSet_ = false;
};

bool Parser::run() {
    bool malformed = false;
    // The text begins "{\rtf": the first group is the document.
    if (tok_.next() != Tok::Open) return false;
    stack_.reserve(64);
    stack_.push_back(Group{});
    bool closed = false;
    for (;;) {
        const Tok t = tok_.next();
        if (!pending_.isEmpty() && t != Tok::Hex && t != Tok::Text) flushPending();
        if (t == Tok::End) break;
        if (starPending_) {
            // A group that opens "\*" is read only when its destination is
            // one this reader knows to hold text.
            starPending_ = false;
            if (t != Tok::Close && !(t == Tok::Word && readAfterStar(lookup(tok_.word())))) mut().dest = Dest::Skip;
        }
        if (t == Tok::Open) {
            skipChars_ = 0;
            ++stack_.back().shared;
            continue;
        }
        if (t == Tok::Close) {
            skipChars_ = 0;
            Group &g = stack_.back();
            if (g.dest == Dest::FontTable) storeFont();
            if (g.shared > 0) { --g.shared; continue; }
            if (stack_.size() == 1) { closed = true; break; }
            // A text box's text stands as a paragraph of its own.
            if (g.boxStart && g.dest == Dest::Text && paraHasText_) par(g.ch, g.para);
            stack_.pop_back();
            continue;
        }
        const Group &g = cur();
        if (g.dest == Dest::Skip) {
            if (t == Tok::Word && tok_.word() == "bin") tok_.skipChars(tok_.hasParam ? tok_.param : 0);
            continue;
        }
        if (skipChars_ > 0) {
            // The fallback characters after \u: each text character, \'hh and
            // control word counts one.
            if (t == Tok::Text) {
                const qsizetype drop = std::min<qsizetype>(skipChars_, tok_.text.size());
                skipChars_ -= int(drop);
                if (drop < tok_.text.size()) text(tok_.text.mid(drop));
                continue;
            }
            --skipChars_;
            if (t == Tok::Word && tok_.word() == "bin") tok_.skipChars(tok_.hasParam ? tok_.param : 0);
            continue;
        }
        switch (t) {
        case Tok::Text:
            if (g.dest == Dest::ColorTable) colourTableText(tok_.text);
            else text(tok_.text);
            break;
        case Tok::Hex: hexByte((unsigned char)tok_.hex); break;
        case Tok::Symbol:
            switch (tok_.ch.unicode()) {
            case '*': starPending_ = true; break;
            case '\\': case '{': case '}':
                if (g.dest == Dest::FontTable) fontText_ += tok_.ch;
                else emitChar(tok_.ch);
                break;
            case '~': emitChar(QChar(0x00A0)); break;
            case '_': emitChar(QChar(0x2011)); break;
            case '-': emitChar(QChar(0x00AD)); break;
            case '\t': emitChar(QChar('\t')); break;
            case '\r': case '\n': word(W::Par, false, 0); break;
            default: break; // \: (index entry), \| (formula) and the like
            }
            break;
        case Tok::Word:
            word(lookup(tok_.word()), tok_.hasParam, tok_.param);
            break;
        default: break;
        }
    }
    if (tok_.damaged || !closed) malformed = true;
    if (closed) {
        // Only blanks may follow the document's group.
        for (;;) {
            const Tok t = tok_.next();
            if (t == Tok::End) break;
            if (t == Tok::Text && tok_.text.trimmed().isEmpty()) continue;
            malformed = true;
            break;
        }
    }
    const Group &g = stack_.back();
    sink_.end(g.ch, g.para);
    return !malformed;
}

int Parser::codePageHere() const {
    const Group &g = cur();
    int cp = -1;
    if (g.dest == Dest::FontTable) {
        if (fontCpg_ > 0) cp = fontCpg_;
        else if (fontCharset_ >= 0) cp = CodePageOfCharset(fontCharset_, QString());
    } else {
        const int font = g.ch.font < 0 ? deff : g.ch.font;
        // Text shown in the Symbol font (a font the table leaves undefined
        // shows as the default one) reads as its letters, whatever set the
        // entry gave.
        if (fontName(font).compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0) return SymbolCodePage;
        if (font < fontCodePages_.size()) cp = fontCodePages_[font];
    }
    return cp == -1 ? ansiCodePage_ : cp;
}

void Parser::putDecoded(QStringView t) {
    if (cur().dest == Dest::FontTable) fontTableText(t);
    else emitText(t);
}

void Parser::flushPending() {
    const QByteArray bytes = pending_;
    pending_.clear();
    if (pendingCodePage_ == Utf8CodePage) {
        // A sequence broken off: its bytes as Windows-1252, so that none is lost.
        putDecoded(Cp1252::decode(bytes));
        return;
    }
    const QChar c = codePages_.get(pendingCodePage_).byte((unsigned char)bytes[0]);
    putDecoded(QStringView(&c, 1));
}

void Parser::hexByte(unsigned char b) {
    if (!pending_.isEmpty()) {
        if (pendingCodePage_ != Utf8CodePage) {
            const unsigned char lead = (unsigned char)pending_[0];
            pending_.clear();
            putDecoded(codePages_.get(pendingCodePage_).pair(lead, b));
            return;
        }
        if (utf8Follows((unsigned char)pending_[0], pending_.size(), b)) {
            pending_ += char(b);
            if (pending_.size() == utf8Length((unsigned char)pending_[0])) {
                const QString c = QString::fromUtf8(pending_);
                pending_.clear();
                putDecoded(c);
            }
            return;
        }
        flushPending();
    }
    const int cp = codePageHere();
    if (cp == SymbolCodePage) {
        const QChar c = SymbolFontChar(Cp1252::decodeByte(b));
        putDecoded(QStringView(&c, 1));
        return;
    }
    if (cp == Utf8CodePage) {
        if (utf8Length(b) > 1) {
            pending_ = QByteArray(1, char(b));
            pendingCodePage_ = cp;
            return;
        }
        const QChar c = Cp1252::decodeByte(b); // ASCII, or a byte that begins no sequence
        putDecoded(QStringView(&c, 1));
        return;
    }
    CodePageDecoder &page = codePages_.get(cp);
    if (page.isLead(b)) {
        pending_ = QByteArray(1, char(b));
        pendingCodePage_ = cp;
        return;
    }
    const QChar c = page.byte(b);
    putDecoded(QStringView(&c, 1));
}

void Parser::text(QStringView t) {
    // Raw characters above 0x7F stand for bytes: the text came in read as
    // Windows-1252 (or as UTF-8, whose characters mostly have no byte of
    // that page and stay as they are). Under another code page each such
    // byte is read as \'hh would be.
    const int cp = codePageHere();
    const bool bytes = cp != 1252 && cp != SymbolCodePage;
    qsizetype from = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const char16_t u = t[i].unicode();
        const int byte = u < 0x80 ? int(u) : bytes ? Cp1252::byteOf(t[i]) : -1;
        if (!pending_.isEmpty()) {
            const bool follows = pendingCodePage_ == Utf8CodePage
                                     ? byte >= 0x80 && utf8Follows((unsigned char)pending_[0], pending_.size(), (unsigned char)byte)
                                     // Some writers give a trail byte in the printable range as itself.
                                     : byte >= 0x40 && byte <= 0xFE && byte != 0x7F;
            // Nothing stands between: the byte before was the last one read.
            if (follows) {
                hexByte((unsigned char)byte);
                from = i + 1;
                continue;
            }
            flushPending();
        }
        if (byte >= 0x80) {
            putText(t.mid(from, i - from), cp);
            hexByte((unsigned char)byte);
            from = i + 1;
        }
    }
    putText(t.mid(from), cp);
}

void Parser::putText(QStringView t, int codePage) {
    if (t.isEmpty()) return;
    if (cur().dest == Dest::Text && codePage == SymbolCodePage) {
        QString mapped(t.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < t.size(); ++i) mapped[i] = SymbolFontChar(t[i]);
        emitText(mapped);
        return;
    }
    putDecoded(t);
}

void Parser::emitText(QStringView t) {
    const Group &g = cur();
    if (g.dest != Dest::Text || g.ch.hidden || t.isEmpty()) return;
    sink_.text(t, g.ch, g.para);
    paraHasText_ = true;
}

void Parser::par(const CharState &ch, const ParaState &para) {
    sink_.par(ch, para);
    paraHasText_ = false;
}

void Parser::storeFont() {
    if (fontNumber_ >= 0 && fontNumber_ < MaxTableSize) {
        QString name = fontText_.trimmed();
        if (!name.isEmpty()) {
            if (fontNames.size() <= fontNumber_) fontNames.resize(fontNumber_ + 1);
            fontNames[fontNumber_] = name;
        }
        ++tableChanges;
        int cp = CodePageOfCharset(fontCharset_, name);
        if (cp != SymbolCodePage && fontCpg_ > 0) cp = fontCpg_;
        if (cp != -1 || fontNumber_ < fontCodePages_.size()) {
            if (fontCodePages_.size() <= fontNumber_) fontCodePages_.resize(fontNumber_ + 1, -1);
            fontCodePages_[fontNumber_] = cp;
        }
    }
    fontText_.clear();
    fontNumber_ = -1;
    fontCharset_ = -1;
    fontCpg_ = -1;
}

void Parser::fontTableText(QStringView t) {
    for (QChar c : t) {
        if (c == u';') storeFont();
        else fontText_ += c;
    }
}

void Parser::colourTableText(QStringView t) {
    for (QChar c : t) {
        if (c != u';') continue;
        if (colours.size() < MaxTableSize) {
            colours.append(colourSet_ ? QColor(red_, green_, blue_) : QColor());
            ++tableChanges;
        }
        red_ = green_ = blue_ = 0;
        colourSet_ = false;
    }
}

void Parser::word(W w, bool hasParam, int param) {
    const Group &g = cur();
    const bool on = !hasParam || param != 0;
    switch (w) {
    case W::Unknown: break;
    case W::FontTbl: mut().dest = Dest::FontTable; break;
    case W::ColorTbl: mut().dest = Dest::ColorTable; break;
    case W::SkipDest: mut().dest = Dest::Skip; break;
    case W::Fldrslt: case W::KeepDest: mut().dest = Dest::Text; break;
    case W::Upr: {
        // {\upr{ANSI text}{\*\ud{Unicode text}}}: the Unicode half is read.
        Group &m = mut();
        m.uprOuter = m.dest;
        m.dest = Dest::Quiet;
        break;
    }
    case W::Ud: { Group &m = mut(); m.dest = m.uprOuter; break; }
    case W::Shp: case W::ShpInst: mut().dest = Dest::Quiet; break;
    case W::ShpTxt: {
        if (g.dest == Dest::Skip || g.dest == Dest::FontTable || g.dest == Dest::ColorTable) break;
        // The text of a text box: a paragraph of its own, in the table cell
        // the box stands in.
        Group &m = mut();
        m.dest = Dest::Text;
        m.boxStart = true;
        m.boxItap = m.para.intbl ? std::max(1, m.para.itap) : 0;
        if (paraHasText_) par(m.ch, m.para);
        break;
    }
    case W::Deff:
        deff = std::max(0, param);
        ++tableChanges;
        break;
    case W::Deftab: if (param > 0) deftab = std::min(param, MaxLength); break;
    case W::Uc: mut().uc = std::clamp(param, 0, 16); break;
    case W::U: {
        if (!hasParam) { tok_.damaged = true; break; }
        int v = param < 0 ? param + 65536 : param;
        if (v < 0 || v > 0xFFFF) v = 0xFFFD;
        QChar c{char16_t(v)};
        if (v >= 0xF020 && v <= 0xF0FF && g.dest == Dest::Text && codePageHere() == SymbolCodePage) c = SymbolFontChar(c);
        if (g.dest == Dest::FontTable) fontText_ += c;
        else if (g.dest == Dest::Text) emitChar(c);
        skipChars_ = g.uc;
        break;
    }
    case W::Bin: tok_.skipChars(hasParam ? param : 0); break;
    case W::AnsiCpg: if (codePageNumber(param) > 0) ansiCodePage_ = codePageNumber(param); break;
    case W::Mac: ansiCodePage_ = 10000; break;
    case W::Pc: ansiCodePage_ = 437; break;
    case W::Pca: ansiCodePage_ = 850; break;
    case W::FCharset: if (g.dest == Dest::FontTable) fontCharset_ = param; break;
    case W::Cpg: if (g.dest == Dest::FontTable) fontCpg_ = codePageNumber(param); break;
    case W::Plain: mut().ch = CharState{}; break;
    case W::B: mut().ch.bold = on; break;
    case W::I: mut().ch.italic = on; break;
    case W::Ul: mut().ch.underline = on; break;
    case W::UlNone: mut().ch.underline = false; break;
    case W::Strike: mut().ch.strike = on; break;
    case W::F:
        if (g.dest == Dest::FontTable) { storeFont(); fontNumber_ = std::max(0, param); }
        else mut().ch.font = std::max(0, param);
        break;
    case W::Fs: mut().ch.halfPoints = hasParam && param > 0 ? std::clamp(param, 2, 3276) : 24; break;
    case W::Cf: mut().ch.fg = std::max(0, param); break;
    case W::Highlight: case W::Cb: mut().ch.bg = param > 0 ? param : -1; break;
    case W::Up: mut().ch.raise = std::clamp(hasParam ? param : 6, 0, 3276); break;
    case W::Dn: mut().ch.raise = -std::clamp(hasParam ? param : 6, 0, 3276); break;
    case W::Super: mut().ch.vert = 1; break;
    case W::Sub: mut().ch.vert = 2; break;
    case W::NoSuperSub: { CharState &ch = mut().ch; ch.vert = 0; ch.raise = 0; break; }
    case W::V: mut().ch.hidden = on; break;
    case W::Pard: {
        Group &m = mut();
        m.para = ParaState{};
        if (m.boxItap > 0) {
            m.para.intbl = true;
            m.para.itap = m.boxItap;
        }
        break;
    }
    case W::Par:
        if (g.dest != Dest::Text) break;
        par(g.ch, g.para);
        break;
    case W::Line: case W::Column: emitChar(QChar(QChar::LineSeparator)); break;
    case W::Ql: mut().para.align = 0; break;
    case W::Qc: mut().para.align = 1; break;
    case W::Qr: mut().para.align = 2; break;
    case W::Qj: mut().para.align = 3; break;
    case W::Li: mut().para.li = clampLength(param); break;
    case W::Ri: mut().para.ri = clampLength(param); break;
    case W::Fi: mut().para.fi = clampLength(param); break;
    case W::Sb: mut().para.sb = clampLength(param); break;
    case W::Sa: mut().para.sa = clampLength(param); break;
    case W::Sl: mut().para.sl = clampLength(param); break;
    case W::SlMult: mut().para.slmult = param != 0; break;
    case W::Tx: {
        ParaState &para = mut().para;
        if (para.tabs.size() < MaxTabs && param >= 0) {
            const TabStop stop{std::min(param, MaxLength), para.nextTab};
            auto at = std::lower_bound(para.tabs.begin(), para.tabs.end(), stop.twips,
                                       [](const TabStop &s, int v) { return s.twips < v; });
            if (at == para.tabs.end() || at->twips != stop.twips) para.tabs.insert(at, stop);
        }
        para.nextTab = QTextOption::LeftTab;
        break;
    }
    case W::Tqr: mut().para.nextTab = QTextOption::RightTab; break;
    case W::Tqc: mut().para.nextTab = QTextOption::CenterTab; break;
    case W::Tqdec: mut().para.nextTab = QTextOption::DelimiterTab; break;
    // Cell widths are left to the layout; the edges place each cell in its
    // column.
    case W::Trowd: if (g.dest == Dest::Text) rowEdges_.clear(); break;
    case W::Cellx:
        if (g.dest == Dest::Text && rowEdges_.size() < size_t(MaxEdges)) rowEdges_.push_back(param);
        break;
    case W::Intbl: {
        ParaState &para = mut().para;
        para.intbl = true;
        if (para.itap == 0) para.itap = 1;
        break;
    }
    case W::Itap: {
        ParaState &para = mut().para;
        para.itap = std::max(0, param);
        para.intbl = para.itap > 0;
        break;
    }
    case W::Cell:
        if (g.dest != Dest::Text) break;
        if (g.para.intbl) {
            sink_.cell(g.ch, g.para);
            paraHasText_ = false;
        } else {
            emitChar(QChar('\t'));
        }
        break;
    case W::Row:
        if (g.dest != Dest::Text) break;
        sink_.row(g.para, rowEdges_);
        paraHasText_ = false;
        break;
    case W::NestCell: emitChar(QChar('\t')); break;
    case W::NestRow:
        if (g.dest != Dest::Text) break;
        sink_.nestedRow(g.ch, g.para);
        paraHasText_ = false;
        break;
    case W::Red: red_ = std::clamp(param, 0, 255); colourSet_ = true; break;
    case W::Green: green_ = std::clamp(param, 0, 255); colourSet_ = true; break;
    case W::Blue: blue_ = std::clamp(param, 0, 255); colourSet_ = true; break;
    case W::Tab: emitChar(QChar('\t')); break;
    case W::Emdash: emitChar(QChar(0x2014)); break;
    case W::Endash: emitChar(QChar(0x2013)); break;
    case W::Bullet: emitChar(QChar(0x2022)); break;
    case W::Lquote: emitChar(QChar(0x2018)); break;
    case W::Rquote: emitChar(QChar(0x2019)); break;
    case W::Ldblquote: emitChar(QChar(0x201C)); break;
    case W::Rdblquote: emitChar(QChar(0x201D)); break;
    case W::Space: emitChar(QChar(' ')); break;
    }
}

// ---------------------------------------------------------------------------
// The rows and columns of each table, following the document's own steps
// into and out of cells.

struct CellPlace {
    int column = 0;
    int span = 1; // columns the cell covers
};

struct TableShape {
    int rows = 1;
    int columns = 1;
    // Each row's cells, where their edges place them (a cell whose edge lies
    // beyond another row's next edge spans the columns between); empty when
    // the cells stand one column after another.
    std::vector<std::vector<CellPlace>> places;
    // What the first pass gathers, by row: the cells' right edges, and how
    // many cells the row holds.
    std::vector<std::vector<int>> edges;
    std::vector<int> cells;

    CellPlace place(int row, int cell) const {
        if (row < 0 || size_t(row) >= places.size() || places[row].empty()) return {cell, 1};
        const std::vector<CellPlace> &p = places[row];
        if (size_t(cell) < p.size()) return p[cell];
        return {p.back().column + p.back().span + cell - int(p.size()), 1};
    }

    // The columns are the edges of all rows together; each cell covers those
    // from its left edge (the edge of the cell before it) to its own. Only
    // edges that rise count: from an edge not beyond the one before it, and
    // for cells beyond the row's edges, each cell takes one column.
    void placeCells() {
        for (size_t r = 0; r < edges.size(); ++r) {
            std::vector<int> &e = edges[r];
            const size_t count = r < cells.size() ? size_t(cells[r]) : 0;
            size_t rising = 0;
            while (rising < std::min(e.size(), count) && (rising == 0 || e[rising] > e[rising - 1])) ++rising;
            e.resize(rising);
        }
        std::vector<int> all;
        for (const std::vector<int> &e : edges) all.insert(all.end(), e.begin(), e.end());
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        if (all.empty() || all.size() > size_t(MaxEdges)) return;
        places.assign(cells.size(), {});
        const std::vector<int> none;
        for (size_t r = 0; r < cells.size(); ++r) {
            const std::vector<int> &e = r < edges.size() ? edges[r] : none;
            int next = 0; // the first column still free
            for (int i = 0; i < cells[r]; ++i) {
                int last = next;
                if (size_t(i) < e.size())
                    last = std::max(next, int(std::lower_bound(all.begin(), all.end(), e[i]) - all.begin()));
                places[r].push_back({next, last - next + 1});
                next = last + 1;
            }
            columns = std::max(columns, next);
        }
    }
};

class ShapeSink : public Sink {
public:
    std::vector<TableShape> shapes;

    void text(QStringView, const CharState &, const ParaState &para) override { before(para); }
    void par(const CharState &, const ParaState &para) override { before(para); }
    void cell(const CharState &, const ParaState &) override {
        enter();
        cellDone_ = true;
    }
    void row(const ParaState &, const std::vector<int> &edges) override {
        if (!open_) return;
        TableShape &shape = shapes.back();
        if (shape.edges.size() <= size_t(row_)) shape.edges.resize(row_ + 1);
        shape.edges[row_] = edges;
        rowDone_ = true;
        cellDone_ = false;
    }
    void nestedRow(const CharState &, const ParaState &para) override { before(para); }
    void end(const CharState &, const ParaState &) override { open_ = false; }

    void placeCells() {
        for (TableShape &shape : shapes) shape.placeCells();
    }

private:
    void before(const ParaState &para) {
        if (para.intbl) enter();
        else open_ = false;
    }
    void enter() {
        if (!open_) {
            shapes.push_back({});
            open_ = true;
            row_ = col_ = 0;
            cellDone_ = rowDone_ = false;
        } else if (rowDone_) {
            shapes.back().rows = ++row_ + 1;
            col_ = 0;
            rowDone_ = cellDone_ = false;
        } else if (cellDone_) {
            shapes.back().columns = std::max(shapes.back().columns, ++col_ + 1);
            cellDone_ = false;
        }
        std::vector<int> &cells = shapes.back().cells;
        if (cells.size() <= size_t(row_)) cells.resize(row_ + 1, 0);
        cells[row_] = std::max(cells[row_], col_ + 1);
    }
    bool open_ = false, cellDone_ = false, rowDone_ = false;
    int row_ = 0, col_ = 0;
};

// ---------------------------------------------------------------------------
// Into a document

class DocSink : public Sink {
public:
    DocSink(QTextDocument *doc) : cur_(doc) {}
    void setParser(const Parser *p) { parser_ = p; }
    // The tables' sizes, in order, as a first pass over the same text found them.
    void setShapes(std::vector<TableShape> shapes) { shapes_ = std::move(shapes); }

    void text(QStringView t, const CharState &ch, const ParaState &para) override {
        beforeContent(para);
        if (tableChanges_ != parser_->tableChanges) bufValid_ = false;
        if (!(ch == bufState_) || !bufValid_) {
            flush();
            bufState_ = ch;
            bufValid_ = true;
            bufFormat_ = cachedFormat(ch);
        }
        buf_ += t;
        blockHasText_ = true;
    }

    void par(const CharState &ch, const ParaState &para) override {
        beforeContent(para);
        flush();
        finishBlock(ch, para);
        pendingPar_ = true;
    }

    void cell(const CharState &ch, const ParaState &para) override {
        ensureInCell(para);
        flush();
        if (!pendingPar_) finishBlock(ch, para);
        pendingPar_ = false;
        cellDone_ = true;
    }

    void row(const ParaState &, const std::vector<int> &) override {
        if (!table_) return;
        flush();
        rowDone_ = true;
        cellDone_ = false;
        pendingPar_ = false;
    }

    void nestedRow(const CharState &ch, const ParaState &para) override { par(ch, para); }

    void end(const CharState &ch, const ParaState &para) override {
        flush();
        if (!pendingPar_ && !(table_ && rowDone_)) finishBlock(ch, para);
        pendingPar_ = false;
        trimColumns();
        table_ = nullptr;
    }

    void finish() { cur_.endEditBlock(); }
    void start() { cur_.beginEditBlock(); }

private:
    void flush() {
        if (buf_.isEmpty()) return;
        cur_.insertText(buf_, bufFormat_);
        buf_.clear();
    }

    void beforeContent(const ParaState &para) {
        if (para.intbl) {
            ensureInCell(para);
        } else if (table_) {
            leaveTable();
        }
        if (pendingPar_) {
            flush();
            cur_.insertBlock();
            pendingPar_ = false;
            blockHasText_ = false;
        }
    }

    void ensureInCell(const ParaState &para) {
        Q_UNUSED(para);
        if (!table_) {
            flush();
            pendingPar_ = false;
            // Made at its full size: growing a table cell by cell, or
            // trimming spare cells, costs Qt a pass over the whole table.
            shape_ = nextShape_ < shapes_.size() ? std::move(shapes_[nextShape_++]) : TableShape{};
            table_ = cur_.insertTable(shape_.rows, shape_.columns);
            row_ = col_ = 0;
            usedColumns_ = 1;
            moveToCell();
            cellDone_ = rowDone_ = false;
        } else if (rowDone_) {
            flush();
            ++row_;
            if (row_ >= table_->rows()) table_->appendRows(1);
            col_ = 0;
            moveToCell();
            rowDone_ = cellDone_ = pendingPar_ = false;
        } else if (cellDone_) {
            flush();
            ++col_;
            moveToCell();
            cellDone_ = pendingPar_ = false;
        }
    }

    // Into the cell col_ of row row_, at the column its edges give it.
    void moveToCell() {
        const CellPlace place = shape_.place(row_, col_);
        const int need = place.column + place.span;
        // Only when the shapes were not counted first: columns grow by
        // doubling, and the unused ones go when the table ends.
        if (need > table_->columns()) table_->appendColumns(std::max(need - table_->columns(), table_->columns()));
        if (place.span > 1) table_->mergeCells(row_, place.column, 1, place.span);
        usedColumns_ = std::max(usedColumns_, need);
        cur_ = table_->cellAt(row_, place.column).firstCursorPosition();
        blockState_.reset();
        blockHasText_ = false;
    }

    void trimColumns() {
        if (table_ && table_->columns() > usedColumns_)
            table_->removeColumns(usedColumns_, table_->columns() - usedColumns_);
    }

    void leaveTable() {
        flush();
        trimColumns();
        cur_ = table_->lastCursorPosition();
        cur_.movePosition(QTextCursor::NextBlock);
        blockState_.reset();
        table_ = nullptr;
        pendingPar_ = false;
        blockHasText_ = false;
    }

    void finishBlock(const CharState &ch, const ParaState &para) {
        // A new block inherits the format of the one before; most paragraphs
        // keep it.
        if (!(blockState_ && *blockState_ == para)) cur_.setBlockFormat(blockFormat(para));
        blockState_ = para;
        if (!blockHasText_ && cur_.block().length() <= 1) {
            // In a cell's first block that format is also the cell's own: it
            // keeps the columns the cell spans.
            QTextCharFormat f = cachedFormat(ch);
            const QTextCharFormat old = cur_.blockCharFormat();
            for (const int p : {int(QTextFormat::TableCellRowSpan), int(QTextFormat::TableCellColumnSpan)})
                if (old.hasProperty(p)) f.setProperty(p, old.property(p));
            cur_.setBlockCharFormat(f);
        }
        blockHasText_ = false;
    }

    // Texts alternate between a few formats (bold heading, plain text).
    const QTextCharFormat &cachedFormat(const CharState &ch) {
        if (tableChanges_ != parser_->tableChanges) {
            // A font or colour table later in the text: the formats made
            // before it name what its entries no longer are.
            tableChanges_ = parser_->tableChanges;
            formats_.clear();
        }
        for (const auto &[state, format] : formats_)
            if (state == ch) return format;
        if (formats_.size() >= 16) formats_.erase(formats_.begin());
        formats_.emplace_back(ch, charFormat(ch));
        return formats_.back().second;
    }

    QTextCharFormat charFormat(const CharState &ch) const {
        QTextCharFormat f;
        const QString family = parser_->fontName(ch.font < 0 ? parser_->deff : ch.font);
        if (!family.isEmpty()) f.setFontFamilies(QStringList{family});
        f.setFontPointSize(ch.halfPoints / 2.0);
        if (ch.bold) f.setFontWeight(QFont::Bold);
        if (ch.italic) f.setFontItalic(true);
        if (ch.underline) f.setFontUnderline(true);
        if (ch.strike) f.setFontStrikeOut(true);
        const QColor fg = parser_->colour(ch.fg);
        if (fg.isValid()) f.setForeground(fg);
        if (ch.bg > 0) {
            const QColor bg = parser_->colour(ch.bg);
            if (bg.isValid()) f.setBackground(bg);
        }
        if (ch.raise != 0) {
            f.setProperty(RtfRaiseProperty, ch.raise);
            f.setBaselineOffset(ch.raise * 100.0 / ch.halfPoints);
        }
        if (ch.vert == 1) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        else if (ch.vert == 2) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        return f;
    }

    static QTextBlockFormat blockFormat(const ParaState &p) {
        QTextBlockFormat b;
        switch (p.align) {
        case 1: b.setAlignment(Qt::AlignHCenter); break;
        case 2: b.setAlignment(Qt::AlignRight); break;
        case 3: b.setAlignment(Qt::AlignJustify); break;
        default: break;
        }
        if (p.li) b.setLeftMargin(p.li / TwipsPerPixel);
        if (p.ri) b.setRightMargin(p.ri / TwipsPerPixel);
        if (p.fi) b.setTextIndent(p.fi / TwipsPerPixel);
        if (p.sb) b.setTopMargin(p.sb / TwipsPerPixel);
        if (p.sa) b.setBottomMargin(p.sa / TwipsPerPixel);
        if (p.sl < 0) b.setLineHeight(-p.sl / TwipsPerPixel, QTextBlockFormat::FixedHeight);
        else if (p.sl > 0 && p.slmult) b.setLineHeight(p.sl * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        else if (p.sl > 0) b.setLineHeight(p.sl / TwipsPerPixel, QTextBlockFormat::MinimumHeight);
        QList<QTextOption::Tab> tabs;
        for (const TabStop &t : p.tabs)
            tabs.append(QTextOption::Tab(t.twips / TwipsPerPixel, t.type,
                                         t.type == QTextOption::DelimiterTab ? QChar('.') : QChar()));
        // A hanging indent with no stop between the first line's start and the
        // indent: the first tab goes to the indent, as the stop Qt lacks.
        if (p.fi < 0) {
            const int start = p.li + p.fi;
            const bool stopBefore = std::any_of(p.tabs.begin(), p.tabs.end(),
                                                [&](const TabStop &t) { return t.twips > start && t.twips <= p.li; });
            if (!stopBefore && p.li > 0) {
                const qreal at = p.li / TwipsPerPixel;
                auto it = std::find_if(tabs.begin(), tabs.end(), [&](const QTextOption::Tab &t) { return t.position > at; });
                tabs.insert(it, QTextOption::Tab(at, QTextOption::LeftTab));
                b.setProperty(RtfImplicitTabProperty, at);
            }
        }
        if (!tabs.isEmpty()) b.setTabPositions(tabs);
        return b;
    }

    const Parser *parser_ = nullptr;
    QTextCursor cur_;
    QString buf_;
    QTextCharFormat bufFormat_;
    CharState bufState_;
    bool bufValid_ = false;
    std::vector<std::pair<CharState, QTextCharFormat>> formats_;
    int tableChanges_ = 0;
    bool pendingPar_ = false;
    bool blockHasText_ = false;
    std::optional<ParaState> blockState_; // the format the current block has, when known
    QTextTable *table_ = nullptr;
    std::vector<TableShape> shapes_;
    size_t nextShape_ = 0;
    TableShape shape_; // the table's own
    int usedColumns_ = 0;
    int row_ = 0, col_ = 0;
    bool cellDone_ = false, rowDone_ = false;
};

// ---------------------------------------------------------------------------
// Plain text

class PlainSink : public Sink {
public:
    QString out;

    void text(QStringView t, const CharState &, const ParaState &para) override {
        before();
        if (para.intbl) rowOpen_ = true;
        for (QChar c : t) out += c == QChar(QChar::LineSeparator) ? QChar(0x0B) : c;
    }
    void par(const CharState &, const ParaState &) override {
        before();
        pendingPar_ = true;
    }
    void cell(const CharState &, const ParaState &) override {
        before();
        pendingPar_ = false;
        pendingCell_ = true;
        rowOpen_ = true;
    }
    void row(const ParaState &, const std::vector<int> &) override {
        if (!rowOpen_) return;
        rowOpen_ = false;
        pendingCell_ = false;
        pendingPar_ = true;
    }
    void nestedRow(const CharState &ch, const ParaState &para) override { par(ch, para); }
    void end(const CharState &, const ParaState &) override {}

private:
    void before() {
        if (pendingCell_) { out += QChar('\t'); pendingCell_ = false; }
        if (pendingPar_) { out += QStringLiteral("\r\n"); pendingPar_ = false; }
    }
    bool pendingPar_ = false;
    bool pendingCell_ = false;
    bool rowOpen_ = false; // a table row has begun and not ended
};

bool isRtf(const QString &text) { return text.startsWith(QLatin1String("{\\rtf")); }

void readPlain(const QString &text, QTextDocument *doc) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QChar('\r'), QChar('\n'));
    t.replace(QChar(0x0B), QChar(QChar::LineSeparator));
    if (t.endsWith(QChar('\n'))) t.chop(1);
    QTextCursor c(doc);
    c.insertText(t);
}

} // namespace

RtfReadResult ReadRtf(const QString &rtf, QTextDocument *doc) {
    RtfReadResult result;
    // Loading is no step to undo; building without the undo stack is faster.
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    struct RestoreUndo {
        QTextDocument *doc;
        bool undo;
        ~RestoreUndo() { doc->setUndoRedoEnabled(undo); }
    } restoreUndo{doc, undo};
    doc->clear();
    QTextOption option = doc->defaultTextOption();
    if (!isRtf(rtf)) {
        option.setTabStopDistance(720 / TwipsPerPixel);
        doc->setDefaultTextOption(option);
        readPlain(rtf, doc);
        return result;
    }
    result.rtf = true;
    DocSink sink(doc);
    if (rtf.contains(QLatin1String("\\intbl")) || rtf.contains(QLatin1String("\\itap"))) {
        ShapeSink shapes;
        Parser(rtf, shapes).run();
        shapes.placeCells();
        sink.setShapes(std::move(shapes.shapes));
    }
    Parser parser(rtf, sink);
    sink.setParser(&parser);
    sink.start();
    result.malformed = !parser.run();
    sink.finish();
    option.setTabStopDistance(parser.deftab / TwipsPerPixel);
    doc->setDefaultTextOption(option);
    return result;
}

QString rtfPlainText(const QString &rtf) {
    if (!isRtf(rtf)) return rtf;
    PlainSink sink;
    Parser parser(rtf, sink);
    parser.run();
    return sink.out;
}
