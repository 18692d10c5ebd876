#pragma once
// The user-interface library's functions that callers reach by role (their export
// numbers in the original library are noted for each).
#include <QString>
#include <QVariant>

class QIODevice;

namespace zq {

// 15 — installation directory, without a trailing separator: ZQPDM_HOME, else the folder above the executable.
QString InstallDirectory();

// 2 — full path of a path relative to the installation ("rnds\spt\zqpdmcad.ini"); '\' and '/' both separate,
// each segment is matched case-insensitively against what exists (the spelling given is kept for missing parts).
QString InstallPath(const QString& relative);

// Resolves a path (absolute, '\' or '/' separated) segment by segment, case-insensitively, as on Windows.
QString ResolvePathCaseInsensitive(const QString& path);

// 3 — tells the user about a caught database error (message box through the Desktop), and the
// listener of SearchFailure.h.
void ReportComError(const QString& description, const QString& source = QString());

// 4 — the text form of a field value: NULL → "", numbers without trailing zeros,
// date-times "yyyy-MM-dd hh:mm:ss", dates "yyyy-MM-dd", blobs as their size.
QString ValueToText(const QVariant& value);

// 6 — the old-code switch: ZQPDM_OLDCODE (integer), default 0.
int OldCodeSwitch();

// 7 — one line of an open text file, without its line end (CR LF, LF or CR); false at the end of the file.
bool ReadLine(QIODevice& file, QByteArray& line);

// 8 — the working folder, ending with '/': ZQPDM_WORKDIR, else <home>/.zqpdm/work/ (created when missing).
QString WorkingFolder();

// The user's private temporary folder, ending with '/' (PrivateTempFolder.h says which), checked
// at every call: one that is no longer the user's alone is replaced by a new one, and the user told.
QString TempFolder();

// 9 — one safe path segment from a code: separators, control characters and characters that
// file systems refuse become '_', "." and ".." become "_"; ordinary codes are left as they are.
QString CodeToPathSegment(const QString& code);

// The text with every lone UTF-16 surrogate, which no stored text can hold, read as U+FFFD, the
// replacement character; pairs stay as they are.
QString WithoutLoneSurrogates(QString text);

// The system directory (holds zqpdmcod.ini): ZQPDM_SYSDIR, else /etc/zqpdm.
QString SystemDirectory();

// Case-insensitive comparison that folds ASCII letters only, as the system's multibyte compare.
int CompareNoCase(const QString& a, const QString& b);
bool EqualsNoCase(const QString& a, const QString& b);

} // namespace zq
