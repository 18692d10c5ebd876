#pragma once
// What a seeding run writes into an installation goes first into folders of the run's own, and is
// put in place only at the end, all of it: until then, and after any failure, the installation and
// its file store are exactly as they were.
//   DIR/.pdm-seed-XXXXXX/           the installation's own pdm.db, Support/, rnds/, sys/
//   DIR/ftpstore/.pdm-seed-XXXXXX/  Zq/, on the file system of the store (which may be mounted)
// What the new files replace is moved into those folders and goes with them.
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace zq::seed {

class StagedInstallation {
public:
    // Makes the two folders; home and home/ftpstore must exist. Throws SeedError.
    explicit StagedInstallation(const QString& home);
    ~StagedInstallation();
    StagedInstallation(const StagedInstallation&) = delete;
    StagedInstallation& operator=(const StagedInstallation&) = delete;

    // Where the run writes: the installation's files (and its own database) below stagedHome(),
    // the store's files below stagedStore() (which then holds Zq/).
    QString stagedHome() const;
    QString stagedStore() const;

    // Puts the staged files in the installation's place: pdm.db when the run made the
    // installation's own database (the old one's journal files go with it), the store's Zq, the
    // configuration files; with removeIndex the installation's content index goes too (its
    // files would list the old store's files). Throws SeedError after putting back what it moved.
    void commit(bool ownDatabase, bool removeIndex);

private:
    struct Move {
        QString from;
        QString to;
    };
    // Moves path out of the way into trash; nothing when it is not there.
    void moveAside(const QString& path, const QString& trash);
    // Moves the staged path to target, whatever was at target moved aside first.
    void moveIn(const QString& staged, const QString& target, const QString& trash);
    void rename(const QString& from, const QString& to);
    void undo();

    QString m_home;
    std::unique_ptr<QTemporaryDir> m_stage;
    std::unique_ptr<QTemporaryDir> m_storeStage;
    QList<Move> m_done;
    int m_aside = 0;
};

} // namespace zq::seed
