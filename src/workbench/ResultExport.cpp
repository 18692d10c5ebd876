#include "ResultExport.h"
#include "Desktop.h"
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

void warn(const QString& text)
{
    Desktop::current().messageBox(text, caption(), MB_OK | MB_ICONEXCLAMATION);
}

bool hasTxtExtension(const QString& path)
{
    return QFileInfo(path).suffix().toUpper() == QLatin1String("TXT");
}

} // namespace

void ResultExport::AppendLine(QByteArray& out, std::span<const QStringView> cells, ExportFormat format)
{
    // Room for the longest the line can be; what is not used is cut off at the end.
    qsizetype room = qsizetype(cells.size()) + kLineEnd.size();
    for (const QStringView cell : cells)
        room += std::max<qsizetype>(4 * cell.size(), kColumnWidth);
    const qsizetype start = out.size();
    out.resize(start + room);
    char* write = out.data() + start;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (format == ExportFormat::CommaSeparated) {
            if (i > 0)
                *write++ = ',';
            write = WriteGbk(cells[i], write);
        } else {
            char* const cell = write;
            write = WriteGbk(cells[i], write);
            if (write - cell < kColumnWidth)   // "%-30s"
                write = std::fill_n(write, kColumnWidth - (write - cell), ' ');
        }
    }
    write = std::copy(kLineEnd.begin(), kLineEnd.end(), write);
    out.resize(write - out.constData());
}

void ResultExport::AppendLine(QByteArray& out, const QStringList& cells, ExportFormat format)
{
    const QVarLengthArray<QStringView, 16> views(cells.begin(), cells.end());
    AppendLine(out, std::span<const QStringView>(views.data(), size_t(views.size())), format);
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
    m_pending.clear();
    m_pending.reserve(kWriteChunk + kWriteChunk / 4);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

void ResultExport::writePending()
{
    if (!m_failed && !m_pending.isEmpty() && m_file.write(m_pending) != m_pending.size())
        m_failed = true;
    m_pending.resize(0);
}

void ResultExport::WriteHeader(const QStringList& headers)
{
    AppendLine(m_pending, headers, m_format);
    m_pending += kLineEnd;
}

void ResultExport::WriteRow(const QStringList& cells)
{
    AppendLine(m_pending, cells, m_format);
    if (m_pending.size() >= kWriteChunk)
        writePending();
}

void ResultExport::WriteRow(std::span<const QStringView> cells)
{
    AppendLine(m_pending, cells, m_format);
    if (m_pending.size() >= kWriteChunk)
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
    QString path = answer->path;
    if (QFileInfo(path).suffix().isEmpty() && !path.endsWith(QLatin1Char('.')))
        path += QStringLiteral(".txt");
    if (!hasTxtExtension(path)) {
        warn(QStringLiteral("该文件必须是TXT类型的文本文件!"));
        return;
    }
    const ExportFormat format = answer->filterIndex == 2 ? ExportFormat::SpaceAligned : ExportFormat::CommaSeparated;
    ResultExport file(format);
    if (!file.Open(path)) {
        warn(QStringLiteral("不能打开文件 ") + path);
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
        list->VisitRowTexts(columns, [&file](std::span<const QStringView> cells) { file.WriteRow(cells); });
    }
    if (!file.Close()) {
        warn(QStringLiteral("写入文件时出错: ") + path);
        return;
    }
    if (desktop.messageBox(QStringLiteral("存储完毕，是否打开该文件?"), caption(), MB_YESNO | MB_ICONQUESTION) != IDNO)
        desktop.shellOpen(path);
}

} // namespace zq
