#pragma once
// The bytes of an RTF text (\'hh) in the character set it declares: the
// document's \ansicpg (or \mac, \pc, \pca), or the \cpg or \fcharset of
// the font they stand in. Text written in a Cyrillic or Japanese word
// processor reads as its own letters, not as Windows-1252 characters.

#include <QChar>
#include <QString>
#include <QStringDecoder>

#include <array>
#include <memory>
#include <unordered_map>

// The Symbol font's own letters: its bytes are Greek letters and signs.
inline constexpr int SymbolCodePage = -2;
// UTF-8: its bytes are read as whole sequences, never one by one.
inline constexpr int Utf8CodePage = 65001;

// The code page of a font's \fcharset; -1 when the set names none of its
// own (the default set, OEM, unknown numbers) and the document's counts.
// Only the font named Symbol reads through the Symbol font's letters; other
// fonts of the symbol set (Wingdings and the like) give -1: their letters
// have no Unicode character to read them as.
int CodePageOfCharset(int charset, const QString &fontName);

// What the Symbol font shows for a byte (or for the private-use character
// U+F020..U+F0FF that some writers put in its place); c itself when the
// font shows nothing of its own there.
QChar SymbolFontChar(QChar c);

// One code page: single bytes and, for the double-byte pages (932, 936,
// 949, 950), lead byte and trail byte together.
class CodePageDecoder {
public:
    explicit CodePageDecoder(int codePage);
    bool isLead(unsigned char b) const { return lead_[b]; }
    QChar byte(unsigned char b) const { return QChar(single_[b]); }
    QString pair(unsigned char lead, unsigned char trail);

private:
    int codePage_;
    QStringDecoder decoder_;
    std::array<char16_t, 256> single_{};
    std::array<bool, 256> lead_{};
};

// The decoders a text needs, made when first asked for. Code pages the
// system cannot decode read as Windows-1252.
class CodePages {
public:
    CodePageDecoder &get(int codePage);

private:
    std::unordered_map<int, std::unique_ptr<CodePageDecoder>> pages_;
};
