#pragma once
// Whether a Debian package's licence lets a closed-source product link its library: read from the
// package's copyright file (/usr/share/doc/PACKAGE/copyright).
#include <QString>

namespace zq::docs {

struct LicenceVerdict {
    bool known = false;      // the licence could be read (a machine-readable file with "Files: *")
    bool allowed = false;    // a closed-source product may link it
    QString licence;         // the licence expression read, e.g. "LGPL-3 or GPL-2"
};

// A licence expression as Debian writes it ("LGPL-3 or GPL-2", "GPL-2+ or AFL-2.1, and Expat",
// "GPL-3+ with GCC-exception"): allowed when one of its alternatives is, an alternative being
// allowed when each of its parts is. Allowed are the LGPL, the permissive licences (MIT/Expat,
// BSD, Apache, Boost, zlib, ICU/Unicode, PostgreSQL, curl, ISC, X11, FreeType, libpng, the
// OpenLDAP and Hylafax licences, public domain and CC0), MPL (its copyleft stops at its own
// files) and the GPL with the GCC Runtime Library Exception; never the GPL alone.
bool LicenceAllowsClosedLinking(const QString& expression);

// The licence of the "Files: *" paragraph of a machine-readable (DEP-5) copyright file.
LicenceVerdict JudgeCopyrightFile(const QString& copyright);

} // namespace zq::docs
