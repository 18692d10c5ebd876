#pragma once
// Running a program as a test's user would, and the module installed into a scratch prefix.
//   zq::test::RunProgram(program, arguments)  its exit status and what it printed
//   zq::test::ScratchInstall                   cmake --install of this build (ZQ_BINARY_DIR) into a
//                                              temporary prefix, removed afterwards
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace zq::test {

struct ProgramRun {
    int exitCode = -1;   // -1: did not start, crashed, or was killed at the deadline
    QString out;
    QString err;
    std::string dump() const;
};

ProgramRun RunProgram(const QString& program, const QStringList& arguments,
                      const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(),
                      const QString& workingDirectory = {}, int timeoutMs = 300000);

class ScratchInstall {
public:
    ScratchInstall();   // installs; see error()
    ScratchInstall(const ScratchInstall&) = delete;
    ScratchInstall& operator=(const ScratchInstall&) = delete;

    QString error() const { return m_error; }            // "" when installed
    QString prefix() const { return m_prefix; }
    QString path(const QString& relative) const { return m_prefix + u'/' + relative; }
    QString libraryDir() const;                          // the prefix's LIBDIR (lib/x86_64-linux-gnu)
    QString scratch(const QString& name) const { return m_dir.filePath(name); }   // beside the prefix

private:
    QTemporaryDir m_dir;
    QString m_prefix;
    QString m_error;
};

} // namespace zq::test
