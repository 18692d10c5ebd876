#include "StagedInstallation.h"

#include "InstallationFiles.h"
#include "TableWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace zq::seed {

namespace {

const QString kStagePattern = QStringLiteral("/.pdm-seed-XXXXXX");

std::unique_ptr<QTemporaryDir> MakeStage(const QString& parent)
{
    auto stage = std::make_unique<QTemporaryDir>(parent + kStagePattern);
    if (!stage->isValid())
        throw SeedError(QStringLiteral("cannot create a folder in %1: %2").arg(parent, stage->errorString()));
    return stage;
}

bool Present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Every spelling of the store's Zq folder that is there ("Zq", "ZQ", ...): the store finds any.
QStringList StoreFolders(const QString& storeRoot)
{
    QStringList found;
    for (const QString& entry : QDir(storeRoot).entryList(QDir::Dirs | QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (entry.compare(QLatin1String("Zq"), Qt::CaseInsensitive) == 0)
            found.append(storeRoot + u'/' + entry);
    return found;
}

// The files of a SQLite database that go with it: the journal, the WAL and its index.
QStringList SqliteCompanions(const QString& databaseFile)
{
    return {databaseFile + QStringLiteral("-journal"), databaseFile + QStringLiteral("-wal"),
            databaseFile + QStringLiteral("-shm")};
}

} // namespace

StagedInstallation::StagedInstallation(const QString& home)
    : m_home(home), m_stage(MakeStage(home)), m_storeStage(MakeStage(home + QStringLiteral("/ftpstore")))
{
    for (const QString& trash : {m_stage->path(), m_storeStage->path()})
        if (!QDir().mkpath(trash + QStringLiteral("/replaced")))
            throw SeedError(QStringLiteral("cannot create a folder in %1").arg(trash));
}

StagedInstallation::~StagedInstallation() = default;

QString StagedInstallation::stagedHome() const
{
    return m_stage->path();
}

QString StagedInstallation::stagedStore() const
{
    return m_storeStage->path();
}

void StagedInstallation::rename(const QString& from, const QString& to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        throw SeedError(QStringLiteral("cannot move %1 to %2: %3")
                            .arg(from, to, QString::fromLocal8Bit(std::strerror(errno))));
    m_done.append({from, to});
}

void StagedInstallation::moveAside(const QString& path, const QString& trash)
{
    if (Present(path))
        rename(path, QStringLiteral("%1/replaced/%2").arg(trash, QString::number(++m_aside)));
}

void StagedInstallation::moveIn(const QString& staged, const QString& target, const QString& trash)
{
    moveAside(target, trash);
    const QString folder = QFileInfo(target).absolutePath();
    if (!QDir().mkpath(folder))
        throw SeedError(QStringLiteral("cannot create %1").arg(folder));
    rename(staged, target);
}

void StagedInstallation::undo()
{
    for (auto move = m_done.crbegin(); move != m_done.crend(); ++move)
        std::rename(QFile::encodeName(move->to).constData(), QFile::encodeName(move->from).constData());
    m_done.clear();
}

void StagedInstallation::commit(bool ownDatabase, bool removeIndex)
{
    const QString stage = m_stage->path();
    const QString storeStage = m_storeStage->path();
    try {
        if (ownDatabase) {
            const QString database = m_home + QStringLiteral("/pdm.db");
            for (const QString& companion : SqliteCompanions(database))
                moveAside(companion, stage);
            moveIn(stage + QStringLiteral("/pdm.db"), database, stage);
        }
        const QString storeRoot = m_home + QStringLiteral("/ftpstore");
        for (const QString& folder : StoreFolders(storeRoot))
            moveAside(folder, storeStage);
        if (Present(storeStage + QStringLiteral("/Zq")))
            moveIn(storeStage + QStringLiteral("/Zq"), storeRoot + QStringLiteral("/Zq"), storeStage);
        const QStringList staged = InstallationFiles(stage);
        const QStringList targets = InstallationFiles(m_home);
        for (qsizetype i = 0; i < staged.size(); ++i)
            moveIn(staged.at(i), targets.at(i), stage);
        if (removeIndex) {
            const QString index = m_home + QStringLiteral("/content-index.db");
            moveAside(index, stage);
            for (const QString& companion : SqliteCompanions(index))
                moveAside(companion, stage);
        }
    } catch (...) {
        undo();
        throw;
    }
    m_done.clear();
}

} // namespace zq::seed
