#include "PreviewAnswer.h"

#include <QDataStream>
#include <QIODevice>

namespace zq::preview {

namespace {

constexpr auto kStreamVersion = QDataStream::Qt_6_4;
// Changes with the layout below: a cache written by another version is not read as this one.
constexpr quint32 kAnswerMagic = 0x5A515056;   // "ZQPV"
constexpr qint32 kLargestSide = 8192;

} // namespace

QByteArray EncodeRequest(const PreviewRequest& request)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << request.path << qint32(request.size.width()) << qint32(request.size.height()) << qint32(request.page)
        << request.text;
    return bytes;
}

bool DecodeRequest(const QByteArray& bytes, PreviewRequest* request)
{
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    qint32 width = 0, height = 0, page = 0;
    in >> request->path >> width >> height >> page >> request->text;
    if (in.status() != QDataStream::Ok || width < 1 || height < 1 || width > kLargestSide || height > kLargestSide
        || page < 0)
        return false;
    request->size = QSize(width, height);
    request->page = page;
    return true;
}

QByteArray EncodeAnswer(const PreviewAnswer& answer)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << kAnswerMagic << qint32(answer.kind) << answer.png << answer.text << qint32(answer.page)
        << qint32(answer.pageCount) << answer.reason << answer.note;
    return bytes;
}

bool DecodeAnswer(const QByteArray& bytes, PreviewAnswer* answer)
{
    QDataStream in(bytes);
    in.setVersion(kStreamVersion);
    quint32 magic = 0;
    qint32 kind = 0, page = 0, pageCount = 0;
    in >> magic;
    if (magic != kAnswerMagic)
        return false;
    in >> kind >> answer->png >> answer->text >> page >> pageCount >> answer->reason >> answer->note;
    if (in.status() != QDataStream::Ok || !in.atEnd() || kind < 0 || kind > qint32(PreviewAnswer::Kind::Failed))
        return false;
    answer->kind = PreviewAnswer::Kind(kind);
    answer->page = page;
    answer->pageCount = pageCount;
    return true;
}

QString FirstLines(const QString& text, int lines)
{
    qsizetype at = 0;
    for (int i = 0; i < lines; ++i) {
        at = text.indexOf(u'\n', at);
        if (at < 0)
            return text;
        ++at;
    }
    return text.left(at - 1);
}

} // namespace zq::preview
