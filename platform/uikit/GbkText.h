#pragma once
// GBK at the file edges. Inside the program all text is QString.
#include <QAnyStringView>
#include <QByteArray>
#include <QString>
#include <QStringView>

namespace zq {

// Decodes a file's bytes: UTF-8 when it has a UTF-8 byte-order mark or is valid UTF-8 with
// non-ASCII bytes, else GB18030 (a superset of GBK). Invalid bytes become U+FFFD, never a crash.
QString DecodeFileText(const QByteArray& bytes);

// Encodes as GBK, with GB18030 sequences for the few characters GBK lacks, so nothing is lost.
QByteArray EncodeGbk(const QString& text);
// The same, appended to out (no allocation once out has room).
void AppendGbk(QStringView text, QByteArray& out);
// The same, written at `out`, which must have room for 4 bytes a UTF-16 unit; returns the end.
char* WriteGbk(QStringView text, char* out);
// The same for a text in any of Qt's encodings; a Latin-1 text's ASCII is copied as it is.
char* WriteGbkFromAny(QAnyStringView text, char* out);
QString DecodeGbk(const QByteArray& bytes);

// Length in GBK bytes (what "%-30s", "?" of a pattern and profile buffers count).
int GbkLength(const QString& text);

// "%-Ns": the text left-aligned and padded with spaces to at least width GBK bytes.
QByteArray PadGbk(const QString& text, int width);
void AppendPaddedGbk(QStringView text, int width, QByteArray& out);

// The text cut to at most maxBytes GBK bytes without splitting a character.
QString TruncateGbk(const QString& text, int maxBytes);

// Reads a whole text file; nullopt-like: ok=false when it cannot be read.
QString ReadTextFile(const QString& path, bool* ok = nullptr);
// Writes text as GBK; false on any open, write or close error.
bool WriteGbkFile(const QString& path, const QString& text);

} // namespace zq
