#include "ZipArchive.h"

#include <zip.h>

#include <memory>

namespace zq::extract {

namespace {

constexpr qsizetype kPiece = 64 * 1024;

struct FileCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

ZipArchive::~ZipArchive()
{
    if (m_zip)
        zip_discard(m_zip);
}

bool ZipArchive::open(QByteArrayView bytes, QString* error)
{
    zip_error_t zipError;
    zip_error_init(&zipError);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), zip_uint64_t(bytes.size()), 0, &zipError);
    if (source)
        m_zip = zip_open_from_source(source, ZIP_RDONLY, &zipError);
    if (!m_zip) {
        *error = QString::fromUtf8(zip_error_strerror(&zipError));
        if (source)
            zip_source_free(source);
    }
    zip_error_fini(&zipError);
    return m_zip != nullptr;
}

qint64 ZipArchive::entryCount() const
{
    return m_zip ? qint64(zip_get_num_entries(m_zip, 0)) : 0;
}

QString ZipArchive::entryName(qint64 index) const
{
    const char* name = m_zip ? zip_get_name(m_zip, zip_uint64_t(index), ZIP_FL_ENC_GUESS) : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

ZipArchive::ReadEnd ZipArchive::read(qint64 index, const std::function<bool(QByteArrayView)>& consume,
                                     QString* error) const
{
    std::unique_ptr<zip_file_t, FileCloser> file(m_zip ? zip_fopen_index(m_zip, zip_uint64_t(index), 0) : nullptr);
    if (!file) {
        *error = m_zip ? QString::fromUtf8(zip_strerror(m_zip)) : QString();
        return ReadEnd::Damaged;
    }
    QByteArray buffer(kPiece, Qt::Uninitialized);
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer.data(), zip_uint64_t(buffer.size()));
        if (n < 0) {
            *error = QString::fromUtf8(zip_file_strerror(file.get()));
            return ReadEnd::Damaged;
        }
        if (n == 0)
            return ReadEnd::Complete;
        if (!consume(QByteArrayView(buffer.constData(), qsizetype(n))))
            return ReadEnd::Stopped;
    }
}

} // namespace zq::extract
