#include "TextExtraction.h"
#include "DxfReader.h"
#include "ExtractionRun.h"
#include "OfficeXmlReader.h"
#include "PdfReader.h"
#include "PlainTextReader.h"

#include <QFile>
#include <QFileInfo>

namespace zq::extract {

namespace {

constexpr qint64 kReadPiece = 1024 * 1024;

void ReadInto(FileType type, const QByteArray& bytes, ExtractionRun& run)
{
    // A PDF or a zip is read from its end: the start of one is no file at all.
    const bool whole = ReadsWholeFile(type);
    const qint64 limit = run.limits().maxReadBytes;
    if (whole && bytes.size() > limit) {
        run.fail(QStringLiteral("文件超过 %1 字节的读取上限, 未提取文本").arg(limit));
        return;
    }
    if (bytes.isEmpty() && type != FileType::PlainText && type != FileType::Other) {
        run.fail(DamagedMessage(type, QStringLiteral("文件是空的")));
        return;
    }
    switch (type) {
    case FileType::Pdf:
        PdfReader().read(bytes, run);
        break;
    case FileType::OfficeOpenXml:
    case FileType::OpenDocument:
        OfficeXmlReader(type).read(bytes, run);
        break;
    case FileType::PlainText:
        PlainTextReader().read(bytes, run);
        break;
    case FileType::Dxf:
        DxfReader().read(bytes, run);
        break;
    case FileType::Other:
        run.note(QStringLiteral("此类型的文件没有可提取的文本"));
        break;
    }
}

} // namespace

bool ReadsWholeFile(FileType type)
{
    return type == FileType::Pdf || type == FileType::OfficeOpenXml || type == FileType::OpenDocument;
}

FileType FileTypeOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    static const struct {
        const char* suffixes[8];
        FileType type;
    } kTypes[] = {
        {{"pdf"}, FileType::Pdf},
        {{"docx", "docm", "dotx", "xlsx", "xlsm", "pptx", "pptm"}, FileType::OfficeOpenXml},
        {{"odt", "ods", "odp", "odg"}, FileType::OpenDocument},
        {{"txt", "text", "csv", "tsv", "log"}, FileType::PlainText},
        {{"dxf"}, FileType::Dxf},
    };
    for (const auto& entry : kTypes)
        for (const char* known : entry.suffixes)
            if (known && suffix == QLatin1StringView(known))
                return entry.type;
    return FileType::Other;
}

Extraction ExtractTextFromBytes(FileType type, const QByteArray& bytes, const ExtractLimits& limits)
{
    ExtractionRun run(type, limits);
    ReadInto(type, bytes, run);
    return run.finish();
}

Extraction ExtractText(const QString& path, const ExtractLimits& limits)
{
    const FileType type = FileTypeOf(path);
    ExtractionRun run(type, limits);
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        run.fail(QStringLiteral("文件不存在: %1").arg(path));
    } else if (!info.isFile()) {
        run.fail(QStringLiteral("不是普通文件: %1").arg(path));   // a folder, a pipe or a device
    } else if (type == FileType::Other) {
        ReadInto(type, {}, run);
    } else if (!file.open(QIODevice::ReadOnly)) {
        run.fail(QStringLiteral("不能打开文件 %1: %2").arg(path, file.errorString()));
    } else {
        // One byte past the limit tells a file that is longer.
        const qint64 wanted = run.limits().maxReadBytes + 1;
        QByteArray bytes;
        while (bytes.size() < wanted) {
            const QByteArray piece = file.read(std::min(kReadPiece, wanted - bytes.size()));
            if (piece.isEmpty())
                break;
            bytes += piece;
        }
        if (file.error() != QFileDevice::NoError)
            run.fail(QStringLiteral("读取文件时出错: %1: %2").arg(path, file.errorString()));
        else
            ReadInto(type, bytes, run);
    }
    return run.finish();
}

} // namespace zq::extract
