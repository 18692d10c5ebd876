#include "ProgramRun.h"

#include <QProcess>

namespace zq::test {

std::string ProgramRun::dump() const
{
    return QStringLiteral("exit %1\n--- standard output:\n%2\n--- standard error:\n%3").arg(exitCode).arg(out, err).toStdString();
}

ProgramRun RunProgram(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
                      const QString& workingDirectory, int timeoutMs)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    ProgramRun run;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        run.err = QStringLiteral("%1 did not finish within %2 s").arg(program).arg(timeoutMs / 1000);
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

ScratchInstall::ScratchInstall()
{
    const QString build = qEnvironmentVariable("ZQ_BINARY_DIR");
    if (build.isEmpty()) {
        m_error = QStringLiteral("ZQ_BINARY_DIR is not set (run through ctest)");
        return;
    }
    if (!m_dir.isValid()) {
        m_error = QStringLiteral("no temporary folder");
        return;
    }
    m_prefix = m_dir.filePath(QStringLiteral("prefix"));
    const ProgramRun install = RunProgram(qEnvironmentVariable("ZQ_CMAKE", QStringLiteral("cmake")),
                                          {QStringLiteral("--install"), build, QStringLiteral("--prefix"), m_prefix});
    if (install.exitCode != 0)
        m_error = QStringLiteral("cmake --install failed: ") + QString::fromStdString(install.dump());
}

QString ScratchInstall::libraryDir() const
{
    return path(qEnvironmentVariable("ZQ_INSTALL_LIBDIR", QStringLiteral("lib")));
}

} // namespace zq::test
