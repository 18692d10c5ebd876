#include "QuickSearchDock.h"

#include "Desktop.h"
#include "ResultFormats.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zq::host {

namespace {

const QString kAll = QStringLiteral("全部");

QStringList HitHeaders()
{
    return {QStringLiteral("类别"), QStringLiteral("编号"), QStringLiteral("名称"), QStringLiteral("日期"),
            QStringLiteral("匹配"), QStringLiteral("说明")};
}

void FillTable(QTableWidget& table, const QStringList& headers, const QList<QStringList>& rows)
{
    table.clearContents();
    table.setColumnCount(int(headers.size()));
    table.setHorizontalHeaderLabels(headers);
    table.setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size() && c < headers.size(); ++c)
            table.setItem(r, c, new QTableWidgetItem(rows[r][c]));
}

} // namespace

QuickSearchDock::QuickSearchDock(QWidget* parent) : QDockWidget(QStringLiteral("快速查找"), parent)
{
    setObjectName(QStringLiteral("quickSearchDock"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);

    auto* top = new QHBoxLayout;
    m_counts = new QLabel(body);
    m_counts->setObjectName(QStringLiteral("quickCounts"));
    m_counts->setTextFormat(Qt::RichText);
    connect(m_counts, &QLabel::linkActivated, this, [this](const QString& kind) { filterKind(kind == kAll ? QString() : kind); });
    top->addWidget(m_counts, 1);
    m_locate = new QPushButton(QStringLiteral("定位"), body);
    m_locate->setObjectName(QStringLiteral("quickLocate"));
    connect(m_locate, &QPushButton::clicked, this, [this] {
        if (const auto hit = hitAt(m_table->currentRow()))
            emit locateRequested(*hit);
    });
    top->addWidget(m_locate);
    m_export = new QPushButton(QStringLiteral("另存为 CSV..."), body);
    m_export->setObjectName(QStringLiteral("quickExport"));
    connect(m_export, &QPushButton::clicked, this, &QuickSearchDock::exportList);
    top->addWidget(m_export);
    layout->addLayout(top);

    m_state = new QLabel(body);
    m_state->setObjectName(QStringLiteral("quickState"));
    m_state->setWordWrap(true);
    layout->addWidget(m_state);

    m_table = new QTableWidget(body);
    m_table->setObjectName(QStringLiteral("quickHits"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (const auto hit = hitAt(row))
            emit openRequested(*hit);
    });
    connect(m_table, &QTableWidget::currentCellChanged, this, [this] { updateButtons(); });
    layout->addWidget(m_table, 1);
    setWidget(body);
    FillTable(*m_table, HitHeaders(), {});
    updateButtons();
}

void QuickSearchDock::beginSearch(const QString& text)
{
    m_kinds.clear();
    m_lines.clear();
    m_filter.clear();
    m_state->setText(QStringLiteral("正在查找 \"%1\"...").arg(text));
    showCounts();
    showHits();
    show();
    raise();
}

void QuickSearchDock::addKind(const quick::KindResult& kind)
{
    m_kinds.append(kind);
    showCounts();
    showHits();
}

void QuickSearchDock::finishSearch(const quick::QuickResult& result)
{
    QStringList notes = result.problems();
    for (const quick::KindResult& kind : result.kinds)
        if (!kind.advice.isEmpty())
            notes.append(kind.kind + QStringLiteral(": ") + QString(kind.advice).replace(u'\n', u' '));
    if (result.kinds.isEmpty())
        notes.prepend(QStringLiteral("请输入要查找的编号、名称或文字。"));
    else if (result.countsText().isEmpty())
        notes.prepend(QStringLiteral("未找到"));
    m_state->setText(notes.join(u'\n'));
    m_state->setVisible(!notes.isEmpty());
}

void QuickSearchDock::showList(const QList<quick::ListLine>& lines)
{
    m_kinds.clear();
    m_shown.clear();
    m_lines = lines;
    int found = 0;
    for (const quick::ListLine& line : lines)
        found += line.found.isEmpty() ? 0 : 1;
    m_counts->setText(QStringLiteral("找到 %1 · %2 %3").arg(found).arg(quick::kNotFound).arg(lines.size() - found));
    m_state->clear();
    m_state->hide();
    FillTable(*m_table, quick::ListHeader(), quick::ListRows(lines));
    m_table->resizeColumnsToContents();
    updateButtons();
    show();
    raise();
}

void QuickSearchDock::showFailure(const QString& message)
{
    m_state->setText(message);
    m_state->show();
}

void QuickSearchDock::filterKind(const QString& kind)
{
    m_filter = kind;
    showCounts();
    showHits();
}

QString QuickSearchDock::countsText() const
{
    quick::QuickResult result;
    result.kinds = m_kinds;
    return result.countsText();
}

std::optional<quick::QuickHit> QuickSearchDock::hitAt(int row) const
{
    if (row < 0 || row >= m_shown.size())
        return std::nullopt;
    return m_shown.at(row);
}

void QuickSearchDock::showCounts()
{
    // Each kind with hits is a link that shows only its hits; the chosen one is in bold.
    QStringList parts;
    for (const quick::KindResult& kind : m_kinds) {
        if (kind.count == 0)
            continue;
        const QString text = QStringLiteral("%1 %2").arg(kind.kind, QString::number(kind.count)).toHtmlEscaped();
        parts.append(kind.kind == m_filter ? QStringLiteral("<b>%1</b>").arg(text)
                                           : QStringLiteral("<a href=\"%1\">%2</a>").arg(kind.kind.toHtmlEscaped(), text));
    }
    if (!m_filter.isEmpty())
        parts.prepend(QStringLiteral("<a href=\"%1\">%1</a>").arg(kAll));
    m_counts->setText(parts.join(QStringLiteral(" · ")));
}

void QuickSearchDock::showHits()
{
    quick::QuickResult result;
    result.kinds = m_kinds;
    m_shown.clear();
    QList<QStringList> rows;
    for (const quick::QuickHit& hit : result.rankedHits()) {
        if (!m_filter.isEmpty() && hit.kind != m_filter)
            continue;
        m_shown.append(hit);
        rows.append({hit.kind, hit.code, hit.name, hit.date, quick::TierName(hit.tier), hit.note});
    }
    FillTable(*m_table, HitHeaders(), rows);
    m_table->resizeColumnsToContents();
    updateButtons();
}

void QuickSearchDock::updateButtons()
{
    const auto hit = hitAt(m_table->currentRow());
    m_locate->setEnabled(hit && hit->kind == u"设计零部件");
    m_locate->setVisible(m_lines.isEmpty());
    m_export->setVisible(!m_lines.isEmpty());
}

void QuickSearchDock::exportList()
{
    zq::SaveFileRequest request;
    request.filter = QStringLiteral("CSV (*.csv)|*.csv||");
    request.defaultExt = QStringLiteral("csv");
    const auto answer = zq::Desktop::current().saveFile(request);
    if (!answer)
        return;
    const QString csv = tool::ResultFormats::csv(quick::ListHeader(), quick::ListRows(m_lines));
    QFile file(answer->path);
    const QByteArray bytes = csv.toUtf8();
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
                         && file.flush();
    file.close();
    const QString caption = QStringLiteral("快速查找");
    if (!written || file.error() != QFileDevice::NoError)
        zq::Desktop::current().messageBox(QStringLiteral("%1 没有写成: %2").arg(answer->path, file.errorString()), caption,
                                          zq::MB_OK | zq::MB_ICONEXCLAMATION);
}

} // namespace zq::host
