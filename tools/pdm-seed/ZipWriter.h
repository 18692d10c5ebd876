#pragma once
// A zip archive made in memory (libzip), for the demo's Office files. Every entry carries the
// same fixed time, so the same entries always give the same bytes.
#include <QByteArray>
#include <QString>

#include <list>

typedef struct zip zip_t;
typedef struct zip_source zip_source_t;

namespace zq::seed {

class ZipWriter {
public:
    enum class Method { Deflated, Stored };
    explicit ZipWriter(Method method = Method::Deflated);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void add(const QString& name, const QByteArray& bytes);
    // The archive's bytes; the writer takes no more entries afterwards.
    QByteArray finish();

private:
    Method m_method;
    zip_source_t* m_buffer = nullptr;
    zip_t* m_zip = nullptr;
    std::list<QByteArray> m_entries;   // what libzip reads when the archive is closed
};

} // namespace zq::seed
