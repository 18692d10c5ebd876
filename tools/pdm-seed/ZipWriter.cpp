#include "ZipWriter.h"
#include "TableWriter.h"

#include <zip.h>

namespace zq::seed {

namespace {

// 2026-01-01 00:00 in MS-DOS form: the time of every entry.
constexpr zip_uint16_t kDosDate = ((2026 - 1980) << 9) | (1 << 5) | 1;
constexpr zip_uint16_t kDosTime = 0;

[[noreturn]] void Fail(const QString& what, const char* reason)
{
    throw SeedError(QStringLiteral("cannot make a zip file (%1): %2").arg(what, QString::fromUtf8(reason)));
}

} // namespace

ZipWriter::ZipWriter(Method method) : m_method(method)
{
    zip_error_t error;
    zip_error_init(&error);
    m_buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (m_buffer) {
        zip_source_keep(m_buffer);   // the bytes are read from it after the archive is closed
        m_zip = zip_open_from_source(m_buffer, ZIP_TRUNCATE, &error);
    }
    if (!m_zip) {
        const QString reason = QString::fromUtf8(zip_error_strerror(&error));
        zip_error_fini(&error);
        if (m_buffer)
            zip_source_free(m_buffer);
        throw SeedError(QStringLiteral("cannot make a zip file: %1").arg(reason));
    }
    zip_error_fini(&error);
}

ZipWriter::~ZipWriter()
{
    if (m_zip)
        zip_discard(m_zip);
    if (m_buffer)
        zip_source_free(m_buffer);
}

void ZipWriter::add(const QString& name, const QByteArray& bytes)
{
    if (!m_zip)
        Fail(name, "already finished");
    // libzip reads the bytes when the archive is closed: they are kept until then.
    const QByteArray& kept = m_entries.emplace_back(bytes);
    zip_source_t* source = zip_source_buffer(m_zip, kept.constData(), zip_uint64_t(kept.size()), 0);
    if (!source)
        Fail(name, zip_strerror(m_zip));
    const zip_int64_t index = zip_file_add(m_zip, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        Fail(name, zip_strerror(m_zip));
    }
    if (zip_file_set_dostime(m_zip, zip_uint64_t(index), kDosTime, kDosDate, 0) != 0)
        Fail(name, zip_strerror(m_zip));
    if (m_method == Method::Stored && zip_set_file_compression(m_zip, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0)
        Fail(name, zip_strerror(m_zip));
}

QByteArray ZipWriter::finish()
{
    if (!m_zip)
        Fail(QStringLiteral("finish"), "already finished");
    if (zip_close(m_zip) != 0)
        Fail(QStringLiteral("close"), zip_strerror(m_zip));
    m_zip = nullptr;
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_source_stat(m_buffer, &stat) != 0 || zip_source_open(m_buffer) != 0)
        Fail(QStringLiteral("read"), zip_error_strerror(zip_source_error(m_buffer)));
    bytes.resize(qsizetype(stat.size));
    const zip_int64_t read = zip_source_read(m_buffer, bytes.data(), stat.size);
    zip_source_close(m_buffer);
    if (read != zip_int64_t(stat.size))
        Fail(QStringLiteral("read"), zip_error_strerror(zip_source_error(m_buffer)));
    return bytes;
}

} // namespace zq::seed
