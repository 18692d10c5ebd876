// Everything we ship may be linked into a customer's closed-source product: each shared library
// that an installed program or library of ours links (ldd, after cmake --install into a scratch
// prefix) comes from a Debian package (dpkg -S) whose licence allows that. A library under the GPL
// alone fails the test and names itself. LICENSE lists the libraries we link directly.
#include "DocSources.h"
#include "LicenceVerdict.h"
#include "LateLibraries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>
#include <iostream>

namespace {

using zq::docs::LicenceVerdict;

// Libraries under the GPL alone that we link today and are replacing, each a package name's
// start (none today). An entry also covers what only its library brings in. The test fails again when such a library is linked and its entry is gone, and as long
// as an entry names a library no longer linked: remove the entry when the library goes.
const QStringList& KnownViolations()
{
    static const QStringList known;
    return known;
}

struct ReadLicence {
    QString licence;
    QString reason;
};

// Licences read by a person from the library's own sources or notices, where the package's
// copyright file is free-form, or where its "Files: *" paragraph speaks for the source package's
// programs rather than for the library.
const QMap<QString, ReadLicence>& ReadByHand()
{
    static const QString freeForm = QStringLiteral("the copyright file is free-form");
    static const QString gccRuntime = QStringLiteral("GPL-3+ with GCC-exception");
    static const QMap<QString, ReadLicence> read = {
        {QStringLiteral("libc6"), {QStringLiteral("LGPL-2.1+"), freeForm}},
        {QStringLiteral("libgcc-s1"), {gccRuntime, freeForm + QStringLiteral(": the GCC Runtime Library Exception")}},
        {QStringLiteral("libgomp1"), {gccRuntime, freeForm + QStringLiteral(": the GCC Runtime Library Exception")}},
        {QStringLiteral("libstdc++6"), {gccRuntime, freeForm + QStringLiteral(": the GCC Runtime Library Exception")}},
        {QStringLiteral("libfontconfig1"), {QStringLiteral("MIT"), freeForm}},
        {QStringLiteral("libgcrypt20"), {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(": the library, not its tools")}},
        {QStringLiteral("libgnutls30"), {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(": the library, not its tools")}},
        {QStringLiteral("libtasn1-6"), {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(": the library, not its tools")}},
        {QStringLiteral("libgssapi-krb5-2"), {QStringLiteral("MIT"), freeForm + QStringLiteral(" (MIT Kerberos)")}},
        {QStringLiteral("libk5crypto3"), {QStringLiteral("MIT"), freeForm + QStringLiteral(" (MIT Kerberos)")}},
        {QStringLiteral("libkrb5-3"), {QStringLiteral("MIT"), freeForm + QStringLiteral(" (MIT Kerberos)")}},
        {QStringLiteral("libkrb5support0"), {QStringLiteral("MIT"), freeForm + QStringLiteral(" (MIT Kerberos)")}},
        {QStringLiteral("librtmp1"), {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(": librtmp, not rtmpdump")}},
        {QStringLiteral("libproxy1v5"), {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(" (Qt's network library, through Qt PDF)")}},
        {QStringLiteral("libwebp7"), {QStringLiteral("BSD-3-clause"), freeForm}},
        {QStringLiteral("libx11-6"), {QStringLiteral("X11"), freeForm}},
        {QStringLiteral("libxau6"), {QStringLiteral("X11"), freeForm}},
        {QStringLiteral("libxcb1"), {QStringLiteral("X11"), freeForm}},
        {QStringLiteral("libxdmcp6"), {QStringLiteral("X11"), freeForm}},
        {QStringLiteral("libxkbcommon0"), {QStringLiteral("MIT"), freeForm}},
        {QStringLiteral("libzip4"), {QStringLiteral("BSD-3-clause"), freeForm}},
        {QStringLiteral("libjpeg62-turbo"),
         {QStringLiteral("BSD-BY-LC-NE and BSD-3-clause and Zlib"), QStringLiteral("the copyright file names every file, none as *")}},
        {QStringLiteral("libopenjp2-7"), {QStringLiteral("BSD-2-clause"), QStringLiteral("the copyright file names every file, none as *")}},
        {QStringLiteral("libcom-err2"),
         {QStringLiteral("MIT"), QStringLiteral("com_err (lib/et) is under MIT's licence; \"Files: *\" is e2fsprogs' GPL-2 programs")}},
        {QStringLiteral("libidn2-0"),
         {QStringLiteral("LGPL-3+ or GPL-2+"), QStringLiteral("the library's sources (*.c *.h); \"Files: *\" is the GPL-3+ idn2 program")}},
        {QStringLiteral("libkeyutils1"),
         {QStringLiteral("LGPL-2+"), QStringLiteral("the library is keyutils.*; \"Files: *\" is the GPL-2+ keyctl program")}},
        {QStringLiteral("libproxy1v5"),
         {QStringLiteral("LGPL-2.1+"), freeForm + QStringLiteral(": the library; only the Debian packaging is GPL")}},
        {QStringLiteral("libltdl7"),
         {QStringLiteral("LGPL-2.1+"), QStringLiteral("libltdl's sources say so; \"Files: *\" is libtool's GPL-2+ scripts")}},
    };
    return read;
}

// The ELF files of the scratch install: its programs and libraries.
QStringList ElfFiles(const zq::test::ScratchInstall& installed)
{
    QStringList files;
    for (const QString& folder : {installed.path(QStringLiteral("bin")), installed.libraryDir()}) {
        for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::NoSymLinks)) {
            QFile file(entry.filePath());
            if (file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray("\x7f" "ELF"))
                files << entry.filePath();
        }
    }
    return files;
}

// What ldd says a file links: soname → path ("" when not found).
QMap<QString, QString> Linked(const QString& file)
{
    QMap<QString, QString> linked;
    const zq::docs::ProgramRun ldd = zq::docs::RunProgram(QStringLiteral("ldd"), {file});
    static const QRegularExpression line(QStringLiteral("^\\s*(\\S+) => (\\S+|not found)"), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(ldd.out); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        linked.insert(match.captured(1), match.captured(2) == u"not found" ? QString() : match.captured(2));
    }
    return linked;
}

// The sonames a file names itself (DT_NEEDED).
QStringList Needed(const QString& file)
{
    QStringList needed;
    const zq::docs::ProgramRun dynamic = zq::docs::RunProgram(QStringLiteral("readelf"), {QStringLiteral("-d"), file});
    static const QRegularExpression entry(QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[([^\\]]+)\\]"));
    for (auto it = entry.globalMatch(dynamic.out); it.hasNext();)
        needed << it.next().captured(1);
    return needed;
}

// The libraries the programs load the first time they need them, each with where the dynamic
// loader finds it ("libcurl.so.4 (libc6,x86-64) => /lib/x86_64-linux-gnu/libcurl.so.4").
std::vector<std::pair<QString, QString>> LateLoaded()
{
    const zq::docs::ProgramRun cache = zq::docs::RunProgram(QStringLiteral("ldconfig"), {QStringLiteral("-p")});
    std::vector<std::pair<QString, QString>> found;
    for (const char* soname : zq::late::kAll) {
        const QString name = QString::fromLatin1(soname);
        const QRegularExpression entry(QStringLiteral("^\\s*") + QRegularExpression::escape(name) +
                                           QStringLiteral(" \\([^)]*\\) => (\\S+)"),
                                       QRegularExpression::MultilineOption);
        found.emplace_back(name, entry.match(cache.out).captured(1));
    }
    return found;
}

// The Debian packages that installed the files, in one look-up (dpkg reads its database once a
// call); with a merged /usr a file is known under /lib or under /usr/lib.
QMap<QString, QString> PackagesOf(const QStringList& paths)
{
    QMap<QString, QString> packages;
    QMap<QString, QString> asked;   // the name dpkg is asked for → the path it stands for
    for (const QString& path : paths) {
        const QString other = path.startsWith(QStringLiteral("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path;
        for (const QString& candidate : {path, other, QFileInfo(path).canonicalFilePath()})
            if (!candidate.isEmpty())
                asked.insert(candidate, path);
    }
    // "libqt6core6:amd64: /usr/lib/x86_64-linux-gnu/libQt6Core.so.6"; dpkg exits 1 when one is unknown.
    const zq::docs::ProgramRun search = zq::docs::RunProgram(QStringLiteral("dpkg"), QStringList{QStringLiteral("-S")} + asked.keys());
    for (const QString& line : search.out.split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype colon = line.indexOf(QStringLiteral(": "));
        if (colon < 0)
            continue;
        const QString path = asked.value(line.mid(colon + 2).trimmed());
        if (!path.isEmpty() && !packages.contains(path))
            packages.insert(path, line.left(colon).section(u',', 0, 0).section(u':', 0, 0).trimmed());
    }
    return packages;
}

struct PackageLicence {
    LicenceVerdict verdict;
    QString note;   // where the licence was read
};

PackageLicence LicenceOf(const QString& package)
{
    if (const auto read = ReadByHand().constFind(package); read != ReadByHand().constEnd())
        return {{true, zq::docs::LicenceAllowsClosedLinking(read->licence), read->licence}, QStringLiteral("read by hand: ") + read->reason};
    const QString path = QStringLiteral("/usr/share/doc/%1/copyright").arg(package);
    return {zq::docs::JudgeCopyrightFile(zq::docs::ReadText(path)), path};
}

bool IsKnown(const QString& package) { return std::any_of(KnownViolations().begin(), KnownViolations().end(), [&](const QString& k) { return package.startsWith(k); }); }

TEST(Licences, EveryLibraryWeLinkMayBeLinkedByAClosedProduct)
{
    if (qEnvironmentVariableIsEmpty("ZQ_BINARY_DIR") || qEnvironmentVariableIsEmpty("ZQ_SOURCE_DIR"))
        GTEST_SKIP() << "ZQ_BINARY_DIR and ZQ_SOURCE_DIR are not set (run through ctest)";
    if (!qEnvironmentVariableIsEmpty("ZQ_SANITIZE_FLAGS"))
        GTEST_SKIP() << "a sanitized build links the sanitizers' runtimes, which nothing we ship links";
    const zq::test::ScratchInstall installed;
    ASSERT_TRUE(installed.error().isEmpty()) << installed.error().toStdString();
    const QStringList ours = ElfFiles(installed);
    ASSERT_FALSE(ours.isEmpty()) << "nothing installed below " << installed.prefix().toStdString();

    QMap<QString, QStringList> linkedBy;   // library path → our files
    QMap<QString, QString> neededPaths;    // library path → soname, for what we link ourselves
    QMap<QString, QString> directPackages; // package → soname
    for (const QString& file : ours) {
        const QString name = QDir(installed.prefix()).relativeFilePath(file);
        const QMap<QString, QString> linked = Linked(file);
        const QStringList needed = Needed(file);
        for (auto it = linked.begin(); it != linked.end(); ++it) {
            EXPECT_FALSE(it.value().isEmpty()) << name.toStdString() << " links " << it.key().toStdString() << ", which is not found";
            if (it.value().isEmpty() || it.value().startsWith(installed.prefix()))
                continue;
            linkedBy[it.value()] << name;
            if (needed.contains(it.key()))
                neededPaths.insert(it.value(), it.key());
        }
    }
    // The libraries loaded when first needed count as linked by us, with what they bring in.
    for (const auto& [soname, path] : LateLoaded()) {
        EXPECT_FALSE(path.isEmpty()) << soname.toStdString() << ", loaded at run time, is not installed";
        if (path.isEmpty())
            continue;
        linkedBy[path] << QStringLiteral("(loaded at run time)");
        neededPaths.insert(path, soname);
        const QMap<QString, QString> brought = Linked(path);
        for (auto it = brought.begin(); it != brought.end(); ++it)
            if (!it.value().isEmpty())
                linkedBy[it.value()] << soname;
    }
    const QMap<QString, QString> packages = PackagesOf(linkedBy.keys());   // library path → package
    for (auto it = neededPaths.begin(); it != neededPaths.end(); ++it)
        directPackages.insert(packages.value(it.key()), it.value());
    for (const QString& path : linkedBy.keys())
        EXPECT_TRUE(packages.contains(path)) << path.toStdString() << " belongs to no Debian package";

    // What a known library brings in with it, and which of our files link one.
    QSet<QString> broughtByKnown;
    QSet<QString> linkingKnown;
    for (auto it = packages.begin(); it != packages.end(); ++it) {
        if (!IsKnown(it.value()))
            continue;
        for (const QString& path : Linked(it.key()))
            broughtByKnown.insert(packages.value(path));
        for (const QString& file : linkedBy.value(it.key()))
            linkingKnown.insert(file);
    }
    const auto onlyThroughKnown = [&](const QString& path, const QString& package) {
        if (!broughtByKnown.contains(package))
            return false;
        const QStringList files = linkedBy.value(path);
        return std::all_of(files.begin(), files.end(), [&](const QString& file) { return linkingKnown.contains(file); });
    };

    QSet<QString> knownSeen;
    QMap<QString, QString> record;   // package → licence, for the output
    for (auto it = packages.begin(); it != packages.end(); ++it) {
        const QString& package = it.value();
        const std::string library = QFileInfo(it.key()).fileName().toStdString();
        if (record.contains(package))
            continue;
        const PackageLicence licence = LicenceOf(package);
        record.insert(package, licence.verdict.licence);
        EXPECT_TRUE(licence.verdict.known) << package.toStdString() << " (" << library << "): " << licence.note.toStdString()
                                           << " gives no licence for \"Files: *\"; read it and add the library's licence to ReadByHand()";
        if (!licence.verdict.known || licence.verdict.allowed)
            continue;
        const std::string who = linkedBy.value(it.key()).join(QStringLiteral(", ")).toStdString();
        if (IsKnown(package) || onlyThroughKnown(it.key(), package)) {
            knownSeen.insert(package);
            std::cout << "Known, being replaced: " << library << " from " << package.toStdString() << " ("
                      << licence.verdict.licence.toStdString() << "), linked by " << who << '\n';
            continue;
        }
        ADD_FAILURE() << library << " from " << package.toStdString() << " is under " << licence.verdict.licence.toStdString()
                      << ", which a closed-source product may not link; linked by " << who;
    }
    for (const QString& known : KnownViolations())
        EXPECT_TRUE(std::any_of(knownSeen.begin(), knownSeen.end(), [&](const QString& p) { return p.startsWith(known); }))
            << known.toStdString() << " is no longer linked: remove it from KnownViolations()";

    // LICENSE names every package whose library we link ourselves, and no other.
    const QString license = zq::docs::ReadText(qEnvironmentVariable("ZQ_SOURCE_DIR") + QStringLiteral("/LICENSE"));
    const QString thirdParty = license.section(QStringLiteral("Third-party libraries"), 1);
    EXPECT_FALSE(thirdParty.isEmpty()) << "LICENSE has no section \"Third-party libraries\"";
    for (auto it = directPackages.begin(); it != directPackages.end(); ++it)
        EXPECT_TRUE(thirdParty.contains(it.key())) << "LICENSE does not name " << it.key().toStdString() << " ("
                                                   << it.value().toStdString() << "), which we link";
    static const QRegularExpression named(QStringLiteral("\\(([a-z0-9.+-]+(?:, [a-z0-9.+-]+)*)\\):"));
    for (auto it = named.globalMatch(thirdParty); it.hasNext();)
        for (const QString& package : it.next().captured(1).split(QStringLiteral(", ")))
            EXPECT_TRUE(directPackages.contains(package)) << "LICENSE names " << package.toStdString() << ", which nothing we ship links";

    std::cout << "Libraries linked, by package (" << record.size() << "):\n";
    for (auto it = record.begin(); it != record.end(); ++it)
        std::cout << "  " << it.key().toStdString() << ": " << it.value().toStdString() << '\n';
}

TEST(Licences, TellsTheLicencesAClosedProductMayLink)
{
    struct Case {
        const char* expression;
        bool allowed;
    };
    const Case cases[] = {
        {"LGPL-3 or GPL-2", true},
        {"GPL-2 or GPL-3", false},
        {"GPL-2+", false},
        {"GPL-3", false},
        {"LGPL-2.1+", true},
        {"MIT", true},
        {"Expat", true},
        {"BSD-3-clause or GPL-2", true},
        {"BSD3", true},
        {"public-domain", true},
        {"Zlib", true},
        {"curl", true},
        {"PostgreSQL", true},
        {"GPL-2+ or AFL-2.1, and Expat and Tcl-BSDish", true},
        {"GPL-2+ or LGPL-3+", true},
        {"GPL-3+ with GCC-exception", true},
        {"GPL-3 with Qt-1.0 exception", false},
        {"MIT and GPL-2", false},
        {"LGPL-2+ and LGPL-2.1+ and FSFULLR and CC0-1.0 and Janik-permissive and Iconv-PD", true},
        {"BSD-3-clause-Cambridge with BINARY LIBRARY-LIKE PACKAGES exception", true},
        {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(zq::docs::LicenceAllowsClosedLinking(QString::fromUtf8(c.expression)), c.allowed) << c.expression;

    const LicenceVerdict poppler = zq::docs::JudgeCopyrightFile(QStringLiteral(
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\nUpstream-Name: poppler\n\n"
        "Files: *\nCopyright: 2005 The Poppler developers\n           2006 others\nLicense: GPL-2 or GPL-3\n\n"
        "Files: cpp/tests/pdf_fuzzer.cc\nLicense: Apache-2.0\n\nLicense: GPL-2\n text\n"));
    EXPECT_TRUE(poppler.known);
    EXPECT_FALSE(poppler.allowed);
    EXPECT_EQ(poppler.licence, QStringLiteral("GPL-2 or GPL-3"));
    const LicenceVerdict continued = zq::docs::JudgeCopyrightFile(QStringLiteral(
        "Format: x\n\nFiles: src/*\nLicense: GPL-2\n\nFiles: debian/*\n       m4/*\nLicense: GPL-2+\n\n"
        "Files:\n *\n extra/*\nLicense: MIT\n"));
    EXPECT_TRUE(continued.known);
    EXPECT_EQ(continued.licence, QStringLiteral("MIT")) << "a Files field continued on the next line";
    EXPECT_FALSE(zq::docs::JudgeCopyrightFile(QStringLiteral("This is the Debian prepackaged version of ...\n")).known);
}

} // namespace
