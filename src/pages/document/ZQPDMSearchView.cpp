#include "ZQPDMSearchView.h"

#include "GbkText.h"
#include "ListCtrl.h"
#include "PageRegistry.h"
#include "SavedPatterns.h"
#include "TempResourceOverride.h"
#include "ViewPattern.h"
#include "ViewTreeWalk.h"
#include "ZQPDMSearchFunction.h"

#include <QComboBox>

using namespace zq::document;

namespace {

constexpr int kFoundIcon = 1;

const zq::PageRegistration kRegistration(QStringLiteral("数据视图项"),
                                         [] { return std::make_unique<CZQPDMSearchView>(); });

QStringList ComboItems(const QComboBox& combo)
{
    QStringList items;
    for (int i = 0; i < combo.count(); ++i)
        items.append(combo.itemText(i));
    return items;
}

} // namespace

CZQPDMSearchView::CZQPDMSearchView(QWidget* parent) : CZQSearchPage(parent) {}

CZQPDMSearchView::~CZQPDMSearchView() = default;

bool CZQPDMSearchView::CreatePage(QWidget* parent)
{
    return CreateFromTemplate(parent, kTemplateId);
}

CReportListCtrl* CZQPDMSearchView::GetResultList()
{
    return zq::ControlAs<CReportListCtrl>(*this, IDC_RESULTS);
}

bool CZQPDMSearchView::OnInitDialog()
{
    SetKeyRule(KeyRule::ForwardToParent);
    SetResizeRule(ResizeRule::ConditionAndResult);
    ReportSelectionOnItemChanged(GetResultList());
    if (!InitConnection())
        return false;

    m_icons.Add(zq::LoadIconResource(140));
    m_icons.Add(zq::LoadIconResource(148));
    SetupResultList(GetResultList(),
                    {
                        {QStringLiteral("视图项名"), 100},
                        {QStringLiteral("创建日期"), 120},
                        {QStringLiteral("创建者"), 120},
                    },
                    &m_icons);
    LoadSavedPatterns();
    return true;
}

void CZQPDMSearchView::LoadSavedPatterns()
{
    // The pattern box is sorted, so the patterns appear in sorted order.
    for (const QString& pattern : ReadSavedPatterns(SavedPatternsPath()))
        zq::AddComboString(*this, IDC_PATTERN, pattern);
}

QString CZQPDMSearchView::ReadPattern()
{
    QString pattern = zq::ControlText(*this, IDC_PATTERN);
    if (pattern.isEmpty()) {
        pattern = QStringLiteral("*");
        zq::SetControlText(*this, IDC_PATTERN, pattern);
    }
    return pattern;
}

void CZQPDMSearchView::RememberPattern(const QString& pattern)
{
    auto* combo = zq::ControlAs<QComboBox>(*this, IDC_PATTERN);
    if (!combo)
        return;
    QStringList patterns = ComboItems(*combo);
    // A pattern already in the list changes nothing, the file included.
    if (!zq::document::RememberPattern(patterns, pattern))
        return;
    const QString shown = combo->currentText();
    combo->clear();
    combo->addItems(patterns);
    combo->setCurrentIndex(-1);
    combo->setEditText(shown);
    // An installation the user may not write fails every time: told once, the search runs on.
    const QString path = SavedPatternsPath();
    const bool written = WriteSavedPatterns(path, patterns);
    if (!written && !m_toldUnwritable)
        ShowPrompt(QStringLiteral("文件: %1 打不开!").arg(path));
    m_toldUnwritable = !written;
}

int CZQPDMSearchView::DoSearch()
{
    CReportListCtrl* list = GetResultList();
    if (list)
        list->DeleteAllItems();
    const QString pattern = ReadPattern();
    RememberPattern(pattern);

    CTreeCtrlEx* tree = CZQPDMSearchFunction::m_pTreeEx;
    const CTreeCursor selected = tree ? tree->GetSelectedItem() : CTreeCursor();
    if (selected.IsNull())
        return 0;
    // A host that fills its tree as the user opens it makes the whole branch first.
    const CTreeBranchFill branch = tree->FillBranch(selected);
    const ViewPattern matcher(zq::EncodeGbk(pattern));
    QByteArray encoded;   // each item's text in GBK, in storage used again for the next item
    const QList<ViewItem> found = FindViewItems(selected, [&matcher, &encoded](const QString& text) {
        encoded.resize(0);
        zq::AppendGbk(text, encoded);
        return matcher.Matches(encoded);
    });
    for (const ViewItem& item : found) {
        auto record = std::make_unique<ViewRowRecord>();
        record->text = item.text;
        record->path = item.path;
        record->parentText = item.parentText;
        record->item = item.item;
        AppendRow(std::move(record));
    }
    if (!branch.whole)
        ShowPrompt(branch.limit > 0
                       ? QStringLiteral("所选项以下的结构太大或没有读全, 只在其中的前 %1 项中查找。").arg(branch.limit)
                       : QStringLiteral("所选项以下的结构没有读全, 只在已读出的部分中查找。"));
    return 1;
}

void CZQPDMSearchView::AppendRow(std::unique_ptr<ViewRowRecord> record)
{
    CReportListCtrl* list = GetResultList();
    if (!list)
        return;
    const int row = list->InsertItem(list->GetItemCount(), record->text, kFoundIcon);
    list->SetItemData(row, record.get());
    list->SetItemText(row, 1, record->parentText);
    list->SetItemText(row, 2, record->path);
    m_rowRecords.push_back(std::move(record));
}

QString CZQPDMSearchView::GetLocateText()
{
    CReportListCtrl* list = GetResultList();
    const int row = ReportedRowIn(list);
    if (row < 0)
        return QString();
    return list->GetItemText(row, 0) + QStringLiteral("@^") + list->GetItemText(row, 2);
}
