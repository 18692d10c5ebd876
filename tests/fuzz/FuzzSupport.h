#pragma once
// Shared pieces of the fuzz targets: hostile texts made from the fuzzer's bytes, a file in
// memory that readers open by path, and the check that stops a run on a broken property.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace zqfuzz {

// A QCoreApplication for the process (Qt Sql and the codecs want one).
void EnsureCoreApp();
// A QGuiApplication instead, offscreen (fonts: the demo's PDF files are drawn when it is seeded).
void EnsureGuiApp();

// Stops the run with the property that failed and the values involved; libFuzzer keeps the input.
[[noreturn]] void Fail(const char* property, const QString& detail = {});
inline void Check(bool holds, const char* property, const QString& detail = {})
{
    if (!holds)
        Fail(property, detail);
}

// A text a user might type or paste, or worse: UTF-8, UTF-16 code units (lone surrogates and
// NUL included), GBK bytes, runs of SQL and pattern metacharacters, characters outside GBK, and,
// when long texts are allowed, one text in 64 stretched to 100 to 10,000 characters.
QString HostileText(FuzzedDataProvider& input, bool allowLong = true);

// The same texts, as a value for a line of a configuration file (no line break inside).
QString HostileLine(FuzzedDataProvider& input, bool allowLong = true);

// A file that lives in memory only, reachable by a path (/proc/self/fd/N) like a file on disk.
class MemoryFile {
public:
    MemoryFile();
    ~MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the content; the path stays the same.
    void write(const QByteArray& bytes);
    QString path() const { return m_path; }

private:
    int m_fd = -1;
    QString m_path;
};

// For the figures of a run: counts kept by a target and printed when the process ends.
void CountAtExit(const char* what, const uint64_t* counter);

} // namespace zqfuzz
