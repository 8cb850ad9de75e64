#pragma once
// The program's single-byte text: Windows-1252 decoding and encoding, the
// upper-casing table that every case-insensitive comparison goes through,
// the special characters, and the rules for reading and writing text files.

#include <QByteArray>
#include <QChar>
#include <QString>

// Special characters of the catalogue's texts.
inline constexpr QChar SepDot{0x00B7};   // "·", the standard programme separator
inline constexpr QChar SepEuro{0x20AC};  // "€", byte 0x80, the alternative separator
inline constexpr QChar SectionSign{0x00A7}; // "§", recording choice in a programme item
inline constexpr QChar Guillemet{0x00BB};   // "»", cuts a heading's suggestion
inline constexpr QChar Pilcrow{0x00B6};     // "¶", a place still to be filled in

namespace Cp1252 {

// Every byte decodes to one character; the five undefined bytes (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become U+0081 and so on, so all 256 bytes round-trip.
QChar decodeByte(unsigned char b);
QString decode(const QByteArray &bytes);

// The byte of a character, or -1 when it has none in Windows-1252.
int byteOf(QChar c);
// Characters without a byte become '?'.
QByteArray encode(const QString &text);
bool fits(const QString &text);

// The program's upper-case table over the 256 bytes: a-z, the pairs
// š/Š œ/Œ ž/Ž ÿ/Ÿ and à-þ to À-Þ except ÷. Characters outside the code page
// are left as they are.
QChar upper(QChar c);

} // namespace Cp1252

// Upper-cases a text through the table: the one fold behind all of the
// program's case-insensitive matching.
QString FoldUpper(const QString &s);
// Equal after folding both sides.
bool SameText(const QString &a, const QString &b);
int CompareText(const QString &a, const QString &b);

// How a text file was found on disk, so that a rewrite keeps its encoding
// (UTF-16 with its BOM in either byte order).
enum class TextEncoding { Cp1252, Utf8, Utf8Bom, Utf16Le, Utf16Be };

// The read rule: UTF-8 when the bytes start with its BOM, UTF-16 when they
// start with one of its BOMs (either byte order) and are whole UTF-16 (an even
// count), UTF-8 when they are valid
// UTF-8 holding at least one multi-byte sequence; otherwise Windows-1252.
QString DecodeTextBytes(const QByteArray &bytes, TextEncoding *found = nullptr);

// How far bytes (after a UTF-8 BOM) are UTF-8: the 1-based line of the first
// byte that starts no valid sequence (0 when every byte belongs to one), and
// whether any valid multi-byte sequence occurs. Lines end at LF, CR LF or CR.
struct Utf8Scan {
    int firstBadLine = 0;
    bool multiByte = false;
};
Utf8Scan ScanUtf8(const QByteArray &bytes);
// The write rule: Windows-1252 when every character fits, else UTF-8 with a BOM.
QByteArray EncodeTextBytes(const QString &text, TextEncoding *used = nullptr);
// Writes in the given encoding when it can hold the text (a Windows-1252 file
// given a character outside the code page becomes UTF-8 with a BOM; UTF-16
// is written with its BOM).
QByteArray EncodeTextBytesAs(const QString &text, TextEncoding wanted, TextEncoding *used = nullptr);

// Reads a whole file by the read rule; throws std::runtime_error naming the
// file and the reason when it cannot be read.
QString ReadTextFile(const QString &path, TextEncoding *found = nullptr);
// Writes a whole file through QSaveFile by the write rule; the old file stays
// when the save fails, and the failure throws naming the file.
void WriteTextFile(const QString &path, const QString &text);
void WriteBytesFile(const QString &path, const QByteArray &bytes);

// Finds an existing file in a folder whatever the case of its name; gives the
// full path of the match, or folder + name when there is none. An exact match
// wins over a case-folded one.
QString FindFileNoCase(const QString &folder, const QString &name);
