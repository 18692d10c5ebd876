#include "PreviewRender.h"
#include "DwgThumbnail.h"
#include "DxfScene.h"
#include "ExtractionRun.h"
#include "PdfTextThread.h"
#include "TextExtraction.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPdfDocument>

namespace zq::preview {

namespace {

// Images larger than this many megabytes once decoded are not decoded at all.
constexpr int kImageAllocationMb = 256;
constexpr int kTextTimeLimitMs = 10000;
constexpr qsizetype kMaxTextChars = 1024 * 1024;

PreviewAnswer Failed(const QString& reason)
{
    PreviewAnswer answer;
    answer.kind = PreviewAnswer::Kind::Failed;
    answer.reason = reason;
    return answer;
}

PreviewAnswer Picture(const QImage& picture, const QString& note = QString())
{
    PreviewAnswer answer;
    answer.kind = PreviewAnswer::Kind::Picture;
    answer.png = PngOf(picture);
    answer.note = note;
    return answer;
}

bool ReadFile(const QString& path, QByteArray* bytes, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("不能打开文件: %1").arg(file.errorString());
        return false;
    }
    if (file.size() > kMaxPreviewFileBytes) {
        *error = QStringLiteral("文件超过 %1 MB, 不预览").arg(kMaxPreviewFileBytes / (1024 * 1024));
        return false;
    }
    *bytes = file.readAll();
    return true;
}

PreviewAnswer PdfPage(const PreviewRequest& request)
{
    QPdfDocument document;
    document.load(request.path);
    QString damage;
    switch (extract::PdfOpening(document, &damage)) {
    case extract::PdfTextThread::Opening::Open:
        break;
    case extract::PdfTextThread::Opening::Encrypted:
        return Failed(QStringLiteral("PDF 文件已加密, 需要密码才能预览"));
    case extract::PdfTextThread::Opening::UnsupportedEncryption:
        return Failed(QStringLiteral("PDF 文件的加密方式不受支持, 不能预览"));
    default:
        return Failed(extract::DamagedMessage(extract::FileType::Pdf, damage));
    }
    const int page = std::clamp(request.page, 0, document.pageCount() - 1);
    const QSizeF points = document.pagePointSize(page);
    if (points.isEmpty())
        return Failed(extract::DamagedMessage(extract::FileType::Pdf, QStringLiteral("第 %1 页不能读取").arg(page + 1)));
    const QSize pixels = points.scaled(QSizeF(request.size), Qt::KeepAspectRatio).toSize().expandedTo({1, 1});
    const QImage picture = document.render(page, pixels);
    if (picture.isNull())
        return Failed(extract::DamagedMessage(extract::FileType::Pdf, QStringLiteral("第 %1 页不能绘制").arg(page + 1)));
    PreviewAnswer answer = Picture(picture);
    answer.page = page;
    answer.pageCount = document.pageCount();
    return answer;
}

PreviewAnswer ImageFrom(QIODevice& device, const QSize& box, bool enlarge)
{
    QImageReader::setAllocationLimit(kImageAllocationMb);
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize natural = reader.size();
    if (natural.isValid() && (enlarge || natural.width() > box.width() || natural.height() > box.height()))
        reader.setScaledSize(natural.scaled(box, Qt::KeepAspectRatio).expandedTo({1, 1}));
    QImage picture = reader.read();
    if (picture.isNull())
        return Failed(QStringLiteral("图像文件不能读取: %1").arg(reader.errorString()));
    if (picture.width() > box.width() || picture.height() > box.height())
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return Picture(picture);
}

PreviewAnswer Image(const PreviewRequest& request)
{
    QFile file(request.path);
    if (!file.open(QIODevice::ReadOnly))
        return Failed(QStringLiteral("不能打开文件: %1").arg(file.errorString()));
    // A drawing in SVG has no size of its own that matters: it fills the box.
    return ImageFrom(file, request.size, PreviewKindOf(request.path) == PreviewKind::Image
                                             && QFileInfo(request.path).suffix().compare(u"svg", Qt::CaseInsensitive) == 0);
}

PreviewAnswer Drawing(const PreviewRequest& request)
{
    QByteArray bytes;
    QString error;
    if (!ReadFile(request.path, &bytes, &error))
        return Failed(error);
    const DxfDrawing drawing = ReadDxfDrawing(bytes);
    if (!drawing.error.isEmpty())
        return Failed(drawing.error);
    const DxfScene scene = PlaceDrawing(drawing);
    if (scene.paths.isEmpty() && scene.labels.isEmpty())
        return Failed(drawing.damage.isEmpty() ? QStringLiteral("DXF 文件的模型空间中没有可绘制的图元")
                                               : extract::DamagedMessage(extract::FileType::Dxf, drawing.damage));
    QStringList notes;
    if (!drawing.damage.isEmpty())
        notes << extract::DamagedMessage(extract::FileType::Dxf, drawing.damage);
    if (drawing.cut || scene.cut)
        notes << QStringLiteral("图元太多或块嵌套太深, 只画出了一部分");
    if (scene.cyclic)
        notes << QStringLiteral("有块插入了自身, 已略去");
    return Picture(DrawScene(scene, request.size), notes.join(u'\n'));
}

PreviewAnswer DwgPicture(const PreviewRequest& request)
{
    QByteArray bytes;
    QString error;
    if (!ReadFile(request.path, &bytes, &error))
        return Failed(error);
    const DwgThumbnail thumbnail = ReadDwgThumbnail(bytes);
    if (thumbnail.format == DwgThumbnail::Format::None) {
        PreviewAnswer answer;
        answer.kind = PreviewAnswer::Kind::NoPreview;
        answer.reason = thumbnail.why;
        return answer;
    }
    QBuffer buffer;
    buffer.setData(thumbnail.data);
    buffer.open(QIODevice::ReadOnly);
    PreviewAnswer answer = ImageFrom(buffer, request.size, false);
    if (answer.kind == PreviewAnswer::Kind::Failed)
        answer.reason = QStringLiteral("DWG 文件的预览图已损坏");
    return answer;
}

PreviewAnswer Text(const PreviewRequest& request)
{
    extract::ExtractLimits limits;
    limits.maxTextChars = kMaxTextChars;
    limits.timeLimitMs = kTextTimeLimitMs;
    const extract::Extraction extraction = extract::ExtractText(request.path, limits);
    if (!extraction.ok)
        return Failed(extraction.error);
    PreviewAnswer answer;
    answer.kind = PreviewAnswer::Kind::Text;
    answer.text = extraction.text;
    answer.note = extraction.note;
    return answer;
}

} // namespace

PreviewKind PreviewKindOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    static const QStringList images{"png", "jpg", "jpeg", "tif", "tiff", "bmp", "gif", "svg"};
    if (suffix == u"pdf")
        return PreviewKind::Pdf;
    if (images.contains(suffix))
        return PreviewKind::Image;
    if (suffix == u"dxf")
        return PreviewKind::Dxf;
    if (suffix == u"dwg")
        return PreviewKind::Dwg;
    const extract::FileType type = extract::FileTypeOf(fileName);
    if (type == extract::FileType::OfficeOpenXml || type == extract::FileType::OpenDocument
        || type == extract::FileType::PlainText)
        return PreviewKind::Text;
    return PreviewKind::None;
}

QByteArray PngOf(const QImage& picture)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

PreviewAnswer RenderPreview(const PreviewRequest& request)
{
    if (request.text && extract::FileTypeOf(request.path) != extract::FileType::Other)
        return Text(request);
    switch (PreviewKindOf(request.path)) {
    case PreviewKind::Pdf: return PdfPage(request);
    case PreviewKind::Image: return Image(request);
    case PreviewKind::Dxf: return Drawing(request);
    case PreviewKind::Dwg: return DwgPicture(request);
    case PreviewKind::Text: return Text(request);
    case PreviewKind::None: break;
    }
    PreviewAnswer answer;
    answer.kind = PreviewAnswer::Kind::NoPreview;
    answer.reason = QStringLiteral("此类型的文件不能预览");
    return answer;
}

} // namespace zq::preview
