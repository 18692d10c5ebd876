#include "PsqlTiming.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace zq::bench {

double PsqlMilliseconds(const Installation& installation, const QStringList& statements, const QString& pgOptions,
                        QString* error)
{
    const QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (psql.isEmpty() || statements.isEmpty())
        return -1;
    QStringList arguments{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-o"), QStringLiteral("/dev/null"),
                          QStringLiteral("-d"), installation.conninfo, QStringLiteral("-c"), QStringLiteral("\\timing on")};
    for (const QString& sql : statements)
        arguments << QStringLiteral("-c") << sql;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PGOPTIONS"), pgOptions);
    process.setProcessEnvironment(environment);
    process.start(psql, arguments);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        if (error)
            *error = QString::fromUtf8(process.readAllStandardError());
        return -1;
    }
    const QRegularExpression time(QStringLiteral("Time: ([0-9.]+) ms"));
    double milliseconds = 0;
    int timed = 0;
    for (auto match = time.globalMatch(QString::fromUtf8(process.readAllStandardOutput())); match.hasNext(); ++timed)
        milliseconds += match.next().captured(1).toDouble();
    return timed == statements.size() ? milliseconds : -1;
}

} // namespace zq::bench
