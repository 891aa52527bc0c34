#pragma once
// Rich Text Format in and out of a QTextDocument, for what a rich-text box
// keeps: paragraphs (alignment, indents, space before and after), bold,
// italic, underline, font
// (family from the font table), size, colour (colour table), tabs, line breaks
// and any Unicode character.
//
// Reading understands \'xx in the document's code page (\ansicpgN, or the
// code page of the current font's \fcharsetN; Windows-1252 when none is
// given), \uN with its fallback (\ucN), the usual symbols (\tab, \line,
// \emdash, \lquote, \~ ...). Every other destination (\info, \stylesheet,
// \pict, headers, footnotes, any {\*\...} group) is skipped with its contents,
// and unknown control words are ignored. Malformed input (unbalanced braces, a
// file cut short, binary garbage) never fails: the text that can be recovered
// is kept.
//
// Writing gives \rtf1\ansi\ansicpg1252\deff0 with a font table, a colour table
// (entry 0 is the default colour), \b \i \ul \fN \fsN \cfN, \qc \qr \qj and
// \liN \fiN \sbN \saN (twips; 15 to a pixel of the document),
// \par between paragraphs, \'xx for characters of Windows-1252 above 127 and
// \uN? for the rest. Reading what was written gives back the same text and
// formatting.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace vanto::rtf {

// Replaces the contents of `document` with the RTF in `bytes`. Returns false,
// leaving the document empty, when the bytes do not begin with "{\rtf" (leading
// blanks allowed): they are not rich text at all.
bool read(const QByteArray& bytes, QTextDocument& document);

// The document as RTF. Formatting that is not set on a piece of text takes the
// document's default font and the default colour.
QByteArray write(const QTextDocument& document);

// The character of Windows-1252 for byte `b` (U+FFFD for the five bytes the
// code page leaves undefined).
QChar fromWindows1252(unsigned char b);
// The Windows-1252 byte of `c`, or 0 when the code page has no such character.
unsigned char toWindows1252(QChar c);

}  // namespace vanto::rtf
