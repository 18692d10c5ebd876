#include "ResultExport.h"
#include "Desktop.h"
#include "DesktopOpener.h"
#include "GbkText.h"
#include "ListCtrl.h"
#include "ZQPDMFC.h"
#include <QFileInfo>
#include <QVarLengthArray>
#include <algorithm>

namespace zq {

namespace {

constexpr int kColumnWidth = 30;
// The file is written in pieces of about this size.
constexpr qsizetype kWriteChunk = 1 << 20;
constexpr int kHeaderBuffer = 256;
const QByteArray kLineEnd("\r\n");

const QString& caption()
{
    static const QString text = QStringLiteral("操作提示");
    return text;
}

// detail: the system's reason, behind the box's detail button.
void warn(const QString& text, const QString& detail = QString())
{
    Desktop::current().messageBox(text, caption(), MB_OK | MB_ICONEXCLAMATION, detail);
}

bool hasTxtExtension(const QString& path)
{
    return QFileInfo(path).suffix().toUpper() == QLatin1String("TXT");
}

} // namespace

namespace {

char* writeCell(QStringView cell, char* write)
{
    return WriteGbk(cell, write);
}

char* writeCell(QAnyStringView cell, char* write)
{
    return WriteGbkFromAny(cell, write);
}

// The most bytes the line of these cells can take.
template <typename Cell>
qsizetype lineRoom(std::span<const Cell> cells)
{
    qsizetype room = qsizetype(cells.size()) + kLineEnd.size();
    for (const Cell& cell : cells)
        room += std::max<qsizetype>(4 * cell.size(), kColumnWidth);
    return room;
}

// Writes the line at `write` (lineRoom bytes free); returns its end.
template <typename Cell>
char* writeLine(char* write, std::span<const Cell> cells, ExportFormat format)
{
    for (size_t i = 0; i < cells.size(); ++i) {
        if (format == ExportFormat::CommaSeparated) {
            if (i > 0)
                *write++ = ',';
            write = writeCell(cells[i], write);
        } else {
            char* const cell = write;
            write = writeCell(cells[i], write);
            if (write - cell < kColumnWidth)   // "%-30s"
                write = std::fill_n(write, kColumnWidth - (write - cell), ' ');
        }
    }
    return std::copy(kLineEnd.begin(), kLineEnd.end(), write);
}

QVarLengthArray<QStringView, 16> views(const QStringList& cells)
{
    return QVarLengthArray<QStringView, 16>(cells.begin(), cells.end());
}

std::span<const QStringView> spanOf(const QVarLengthArray<QStringView, 16>& cells)
{
    return std::span<const QStringView>(cells.data(), size_t(cells.size()));
}

} // namespace

void ResultExport::AppendLine(QByteArray& out, std::span<const QStringView> cells, ExportFormat format)
{
    // Room for the longest the line can be; what is not used is cut off at the end.
    const qsizetype start = out.size();
    out.resize(start + lineRoom(cells));
    char* const end = writeLine(out.data() + start, cells, format);
    out.resize(end - out.constData());
}

void ResultExport::AppendLine(QByteArray& out, const QStringList& cells, ExportFormat format)
{
    AppendLine(out, spanOf(views(cells)), format);
}

QByteArray ResultExport::FormatLine(const QStringList& cells, ExportFormat format)
{
    QByteArray line;
    AppendLine(line, cells, format);
    return line;
}

QByteArray ResultExport::FormatFile(const QStringList& headers, const QList<QStringList>& rows, ExportFormat format)
{
    QByteArray bytes = FormatLine(headers, format) + kLineEnd;
    for (const QStringList& row : rows)
        bytes += FormatLine(row, format);
    return bytes;
}

bool ResultExport::Open(const QString& path)
{
    m_file.setFileName(path);
    m_failed = false;
    m_used = 0;
    if (!m_buffer) {
        m_capacity = size_t(kWriteChunk + kWriteChunk / 4);
        m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
    }
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void ResultExport::writePending()
{
    if (!m_failed && m_used > 0 && m_file.write(m_buffer.get(), qint64(m_used)) != qint64(m_used))
        m_failed = true;
    m_used = 0;
}

char* ResultExport::reserve(size_t room)
{
    if (m_used + room > m_capacity) {
        writePending();
        if (room > m_capacity) {   // a line longer than the whole buffer
            m_capacity = room;
            m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
        }
    }
    return m_buffer.get() + m_used;
}

void ResultExport::WriteHeader(const QStringList& headers)
{
    WriteRow(spanOf(views(headers)));
    char* const write = reserve(size_t(kLineEnd.size()));
    m_used = size_t(std::copy(kLineEnd.begin(), kLineEnd.end(), write) - m_buffer.get());
}

void ResultExport::WriteRow(const QStringList& cells)
{
    WriteRow(spanOf(views(cells)));
}

void ResultExport::WriteRow(std::span<const QStringView> cells)
{
    writeRow(cells);
}

void ResultExport::WriteRow(std::span<const QAnyStringView> cells)
{
    writeRow(cells);
}

template <typename Cell>
void ResultExport::writeRow(std::span<const Cell> cells)
{
    // Lines are laid out straight into the buffer, which goes to the file once it is about full.
    char* const write = reserve(size_t(lineRoom(cells)));
    m_used = size_t(writeLine(write, cells, m_format) - m_buffer.get());
    if (m_used >= size_t(kWriteChunk))
        writePending();
}

bool ResultExport::Close()
{
    if (!m_file.isOpen())
        return !m_failed;
    writePending();
    if (!m_file.flush())
        m_failed = true;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError)
        m_failed = true;
    return !m_failed;
}

int ExportedColumnCount(int headerColumns, int oldCodeSwitch, int currentTab)
{
    const int count = (oldCodeSwitch != 0 && currentTab != 0) ? headerColumns - 1 : headerColumns;
    return std::max(0, count);
}

QString ExportPathFor(const QString& chosen)
{
    if (QFileInfo(chosen).suffix().isEmpty() && !chosen.endsWith(QLatin1Char('.')))
        return chosen + QStringLiteral(".txt");
    return chosen;
}

void ExportResultList(CReportListCtrl* list, int currentTab)
{
    Desktop& desktop = Desktop::current();
    if (!list) {
        warn(QStringLiteral("CListCtrl控件无效!"));
        return;
    }
    SaveFileRequest request;
    request.filter = QStringLiteral("以逗号分隔的查询结果文件 (*.txt)|*.txt|以空格对齐的查询结果文件 (*.txt)|*.txt||");
    request.defaultExt = QStringLiteral("txt");
    request.overwritePrompt = true;
    const std::optional<SaveFileAnswer> answer = desktop.saveFile(request);
    if (!answer)
        return;
    const QString path = ExportPathFor(answer->path);
    if (!hasTxtExtension(path)) {
        warn(QStringLiteral("该文件必须是TXT类型的文本文件!"));
        return;
    }
    const ExportFormat format = answer->filterIndex == 2 ? ExportFormat::SpaceAligned : ExportFormat::CommaSeparated;
    ResultExport file(format);
    if (!file.Open(path)) {
        warn(QStringLiteral("不能打开文件 ") + path, file.ErrorString());
        return;
    }
    CHeaderCtrl* header = list->GetHeaderCtrl();
    if (!header) {
        file.Close();
        warn(QStringLiteral("不能导出查询结果!"));
        return;
    }
    const int columns = ExportedColumnCount(header->GetItemCount(), OldCodeSwitch(), currentTab);
    QStringList headers;
    for (int column = 0; column < columns; ++column)
        headers.append(header->GetItemText(column, kHeaderBuffer));
    file.WriteHeader(headers);
    {
        WaitCursor wait;
        list->VisitHeldRowTexts(columns, [&file](std::span<const QAnyStringView> cells) { file.WriteRow(cells); });
    }
    if (!file.Close()) {
        warn(QStringLiteral("写入文件时出错: ") + path, file.ErrorString());
        return;
    }
    if (desktop.messageBox(QStringLiteral("存储完毕，是否打开该文件?"), caption(), MB_YESNO | MB_ICONQUESTION) != IDNO)
        OpenFileOrSayWhere(path);
}

} // namespace zq
