#pragma once
// A zip archive held in memory, read with libzip entry by entry. The sizes an archive claims are
// not trusted: an entry is handed over as it inflates, and the caller decides when to stop.
#include <QByteArrayView>
#include <QString>

#include <functional>

typedef struct zip zip_t;

namespace zq::extract {

class ZipArchive {
public:
    ZipArchive() = default;
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // The bytes must outlive the archive. False, with libzip's reason, when they are not a zip.
    bool open(QByteArrayView bytes, QString* error);

    qint64 entryCount() const;
    QString entryName(qint64 index) const;

    enum class ReadEnd { Complete, Stopped, Damaged };
    // Hands the entry's inflated bytes to `consume` a piece at a time until the entry ends or
    // `consume` returns false. Damaged: the entry cannot be opened or does not inflate (*error says why).
    ReadEnd read(qint64 index, const std::function<bool(QByteArrayView)>& consume, QString* error) const;

private:
    zip_t* m_zip = nullptr;
};

} // namespace zq::extract
