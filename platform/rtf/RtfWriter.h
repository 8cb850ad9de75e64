#pragma once
// Writing RTF out of a rich-text document. The instruction texts are edited
// as text by several routines that count on the old rich-edit control's
// layout, so the shape of the output is fixed (CRLF = carriage return + line
// feed; every backslash stands for itself):
//
//   doc      := header CRLF [colortbl CRLF] first { CRLF "\par " line } CRLF "\par }" CRLF
//   header   := "{\rtf1\ansi\ansicpg1252\deff0\deflang2057{\fonttbl"
//               { "{\f" N "\fnil\fcharset0 " name ";}" } "}"
//   colortbl := "{\colortbl ;" { "\red" R "\green" G "\blue" B ";" } "}"
//   first    := "\viewkind4\uc1\pard" parprops charprops [" " text]   (charprops always hold \f and \fs)
//   line     := ["\pard" parprops] charprops [" " text]               (the blank only before text)
//
// - Fonts and colours are numbered in order of first use; f0 is the font of
//   the first run, the document's default. The colour table is written only
//   when a colour is used; its first entry is the automatic colour.
// - Paragraph properties are written only where they differ from the previous
//   paragraph's: "\pard", then \sl \sa \slmult \tx (with \tqr \tqc \tqdec)
//   \fi \li \ri \sb and the alignment. Where the previous paragraph had an
//   alignment, right indent or space before that this one lacks, \ql, \ri0 or
//   \sb0 say so, so that the text keeps its meaning with "\pard" taken out.
// - Character changes stand just before their run, in the order \cf
//   \highlight \b \i \ul \strike \f \fs \super/\sub/\nosupersub \up/\dn, and
//   are ended by \cf0 \highlight0 \b0 \i0 \ulnone \strike0. \fN is always
//   directly followed by \fsN.
// - Characters: \\ \{ \}, "\tab ", "\line ", \~ \_ \-, "\emdash ", "\endash ",
//   "\bullet ", "\lquote ", "\rquote ", "\ldblquote ", "\rdblquote ", other
//   Windows-1252 characters outside printable ASCII as \'hh (lower case), the
//   rest as \uN? (N signed 16-bit). The output is pure ASCII. In the Symbol
//   font, characters the reader would take as that font's letters (a as
//   alpha) are written as \uN? too, so that they read back as they stand.
// - A table row stands on a line of its own: "\trowd", a "\cellx" per cell
//   (a cell spanning columns has one, at the right of the last it covers),
//   "\pard\intbl", each cell's text ending "\cell", the row ending "\row". The
//   paragraph after a table begins its line with "\pard" instead of "\par ".
//   A cell whose last paragraph is empty ends "\par \par \cell": the
//   reader takes a "\par" just before "\cell" as the end of the paragraph
//   before it.

#include <QString>

class QTextCursor;
class QTextDocument;

QString WriteRtf(const QTextDocument *doc);

// Plain text as the writer writes it inside RTF: \\ \{ \} escaped, special
// characters as their control words, the rest as \'hh or \uN?.
QString RtfEscape(const QString &text);

// The same writer on the selection of a cursor; no selection gives an empty
// document.
QString WriteRtfSelection(const QTextCursor &cursor);
