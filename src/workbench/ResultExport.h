#pragma once
// Saving a result list as a text file: comma-separated or padded to 30-byte columns, GBK
// bytes, every line ending with CR LF. ResultExport writes; ExportResultList is the dialog flow
// of the main window's "另存为..." button.
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <span>

class CReportListCtrl;

namespace zq {

enum class ExportFormat { CommaSeparated = 1, SpaceAligned = 2 };

class ResultExport {
public:
    explicit ResultExport(ExportFormat format) : m_format(format) {}

    // One line of the file, CR LF included.
    static QByteArray FormatLine(const QStringList& cells, ExportFormat format);
    static void AppendLine(QByteArray& out, const QStringList& cells, ExportFormat format);
    static void AppendLine(QByteArray& out, std::span<const QStringView> cells, ExportFormat format);
    // The whole file: header line, an empty line, one line per row.
    static QByteArray FormatFile(const QStringList& headers, const QList<QStringList>& rows, ExportFormat format);

    // Creates or truncates the file; false when it cannot be opened for writing.
    bool Open(const QString& path);
    void WriteHeader(const QStringList& headers);   // the header line and the empty line
    void WriteRow(const QStringList& cells);
    void WriteRow(std::span<const QStringView> cells);
    // Texts as a list holds them (Latin-1 or UTF-16): written without widening them first.
    void WriteRow(std::span<const QAnyStringView> cells);
    // Flushes and closes; false when any write, the flush or the close failed.
    bool Close();
    bool IsOpen() const { return m_file.isOpen(); }
    // The system's reason for the last failure ("No such file or directory").
    QString ErrorString() const { return m_file.errorString(); }

private:
    template <typename Cell>
    void writeRow(std::span<const Cell> cells);
    void writePending();
    // Where `room` more bytes can be written (the lines before handed to the file if need be).
    char* reserve(size_t room);

    ExportFormat m_format;
    QFile m_file;
    std::unique_ptr<char[]> m_buffer;   // lines not yet handed to the file
    size_t m_capacity = 0;
    size_t m_used = 0;
    bool m_failed = false;
};

// The number of columns exported from a list with headerColumns header items: one fewer
// when the old-code switch is on and the current tab is not the first.
int ExportedColumnCount(int headerColumns, int oldCodeSwitch, int currentTab);

// The file the export writes for the name chosen in the save dialog: a name without an extension
// gets ".txt" (one ending in '.' stays as it is, and is refused for its empty extension).
QString ExportPathFor(const QString& chosen);

// The "另存为..." flow: save dialog, extension check, writing, the offer to open the file.
void ExportResultList(CReportListCtrl* list, int currentTab);

} // namespace zq
