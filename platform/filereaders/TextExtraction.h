#pragma once
// The text inside a stored file, for the content index. Every file is untrusted: whatever its
// bytes, extraction ends within the limits below and reports what it could not read.
#include <QByteArray>
#include <QString>

namespace zq::extract {

struct ExtractLimits {
    qint64 maxReadBytes = 50LL * 1024 * 1024;   // bytes read from the file, and inflated from a zip
    qsizetype maxTextChars = 2 * 1024 * 1024;     // UTF-16 units of text kept
    int timeLimitMs = 20000;                      // wall time per file; 0 stops at the first check
};

enum class FileType { Pdf, OfficeOpenXml, OpenDocument, PlainText, Dxf, Other };

// By the file name's extension, ignoring case: .pdf; .docx .docm .dotx .xlsx .xlsm .pptx .pptm;
// .odt .ods .odp .odg; .txt .text .csv .tsv .log; .dxf. Every other name is Other.
FileType FileTypeOf(const QString& fileName);

// A PDF or a zip is read from its end: the start of a longer one is no file at all. The start of
// any other type is read as far as the byte limit goes.
bool ReadsWholeFile(FileType type);

struct Extraction {
    // false: the file could not be read as its type; `error` says why, in Chinese like the
    // system's other messages ("PDF 文件已损坏: ..."). A type without text (Other) is ok with no text.
    bool ok = false;
    QString text;             // whitespace runs folded to one space, or one newline when they hold a line break
    bool truncated = false;   // a limit cut the text; `note` says which
    // The file is sound but holds none of the text its type is for (a PDF of scanned pages
    // without a text layer): ok, no text, and `note` starts with "无文字层".
    bool textless = false;
    QString note;             // the limits that cut, damage met past the first text, a type without text
    QString error;
    // A reader could not be stopped and still runs in this process, which can read no further
    // file of its type (the extraction worker ends after answering).
    bool readerLeftRunning = false;
};

Extraction ExtractText(const QString& path, const ExtractLimits& limits = {});
Extraction ExtractTextFromBytes(FileType type, const QByteArray& bytes, const ExtractLimits& limits = {});

} // namespace zq::extract
