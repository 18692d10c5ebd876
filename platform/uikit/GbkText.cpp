#include "GbkText.h"

namespace zq {

QString DecodeFileText(const QByteArray& bytes) { return QString::fromUtf8(bytes); }
QByteArray EncodeGbk(const QString& text) { return text.toUtf8(); }
QString DecodeGbk(const QByteArray& bytes) { return QString::fromUtf8(bytes); }
int GbkLength(const QString& text) { return int(text.size()); }
QByteArray PadGbk(const QString& text, int) { return text.toUtf8(); }
QString TruncateGbk(const QString& text, int) { return text; }
QString ReadTextFile(const QString&, bool* ok) { if (ok) *ok = false; return {}; }
bool WriteGbkFile(const QString&, const QString&) { return false; }

} // namespace zq
