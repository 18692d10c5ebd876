#pragma once
// What a preview of a stored file is: a picture, a text, or the reason there is none. The worker
// process makes it, the cache keeps it, the pane and the command line show it; it travels and is
// kept as bytes (encode/decode).
#include <QByteArray>
#include <QSize>
#include <QString>

namespace zq::preview {

struct PreviewRequest {
    QString path;             // the local copy of the file
    QSize size{800, 600};     // the picture's box: a picture fits inside it
    int page = 0;             // from 0, for documents of pages
    bool text = false;        // the file's text (where a reader of the index reads one), not its picture
};

struct PreviewAnswer {
    enum class Kind : qint32 {
        Picture,      // png holds it
        Text,         // text holds the file's text as the indexer reads it
        NoPreview,    // a type that cannot be drawn (reason says why), not a fault
        Failed,       // the file could not be drawn: reason says why
    };
    Kind kind = Kind::Failed;
    QByteArray png;
    QString text;
    int page = 0;
    int pageCount = 0;    // documents of pages: how many
    QString reason;
    QString note;         // what limited the picture or text (left out, cut)
};

QByteArray EncodeRequest(const PreviewRequest& request);
bool DecodeRequest(const QByteArray& bytes, PreviewRequest* request);
QByteArray EncodeAnswer(const PreviewAnswer& answer);
bool DecodeAnswer(const QByteArray& bytes, PreviewAnswer* answer);

// What the preview shows of a text: its first lines.
inline constexpr int kTextPreviewLines = 200;
QString FirstLines(const QString& text, int lines = kTextPreviewLines);

} // namespace zq::preview
