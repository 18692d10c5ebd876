#include "ZQPDMFC.h"
#include <QIODevice>

namespace zq {

QString InstallDirectory() { return {}; }
QString InstallPath(const QString& relative) { return relative; }
QString ResolvePathCaseInsensitive(const QString& path) { return path; }
void ReportComError(const QString&, const QString&) {}
QString ValueToText(const QVariant& value) { return value.toString(); }
int OldCodeSwitch() { return 0; }
bool ReadLine(QIODevice&, QByteArray&) { return false; }
QString WorkingFolder() { return {}; }
QString TempFolder() { return {}; }
QString CodeToPathSegment(const QString& code) { return code; }
QString PatternToSql(const QString& pattern) { return pattern; }
QString SqlQuote(const QString& value) { return value; }
QString SystemDirectory() { return {}; }
int CompareNoCase(const QString& a, const QString& b) { return QString::compare(a, b); }
bool EqualsNoCase(const QString& a, const QString& b) { return a == b; }

} // namespace zq
