#include "ZQPartConditionPage.h"

#include "Desktop.h"
#include "ListCtrl.h"
#include "PartServices.h"
#include "RunQuery.h"
#include "TempResourceOverride.h"
#include "ZQPDMFC.h"

#include <QComboBox>
#include <QJsonArray>
#include <QSignalBlocker>

namespace {

constexpr int kDaysBack = 360;
constexpr int kValueColumn = 1;

} // namespace

CZQPartConditionPage::CZQPartConditionPage(QWidget* parent) : CZQSearchPage(parent) {}

CZQPartConditionPage::~CZQPartConditionPage() = default;

CGridListCtrl* CZQPartConditionPage::ConditionList() const
{
    return zq::ControlAs<CGridListCtrl>(*this, IDC_CONDITIONS);
}

CHeaderListCtrl* CZQPartConditionPage::ResultList() const
{
    return zq::ControlAs<CHeaderListCtrl>(*this, IDC_RESULTS);
}

CReportListCtrl* CZQPartConditionPage::GetResultList()
{
    return ResultList();
}

bool CZQPartConditionPage::InitConditionPage(zq::part::ConditionRows rows, const QList<ColumnSpec>& resultColumns)
{
    SetKeyRule(KeyRule::ForwardToParent);
    SetResizeRule(ResizeRule::ConditionAndResult);
    if (auto* kind = zq::ControlAs<QComboBox>(*this, IDC_KIND))
        connect(kind, &QComboBox::currentIndexChanged, this, [this] { OnSelchangeKind(); });
    if (CHeaderListCtrl* results = ResultList()) {
        ReportSelectionOnItemChanged(results);
        connect(results, &CReportListCtrl::rightClicked, this, [this] { OnResultRightClick(); });
    }

    if (!InitConnection())
        return false;

    SetupConditionList();
    m_rows = std::move(rows);
    if (auto* kind = zq::ControlAs<QComboBox>(*this, IDC_KIND)) {
        const QSignalBlocker quiet(kind);
        kind->setCurrentIndex(m_nKind);
    }
    OnSelchangeKind();
    m_rows.ClearValues();
    SetupDatePickers(kDaysBack, false);
    UpdateData(false);

    m_resultIcons.Add(zq::LoadIconResource(140));
    m_resultIcons.Add(zq::LoadIconResource(148));
    SetupResultList(ResultList(), resultColumns, &m_resultIcons);
    return true;
}

ColumnSpec CZQPartConditionPage::OldCodeColumn()
{
    const bool hidden = zq::OldCodeSwitch() != 0;
    return {hidden ? QString() : QStringLiteral("旧图号"), hidden ? 0 : 120};
}

void CZQPartConditionPage::SetupConditionList()
{
    CGridListCtrl* list = ConditionList();
    if (!list)
        return;
    list->SetExtendedStyle(list->GetExtendedStyle() | CReportListCtrl::LVS_EX_FULLROWSELECT |
                           CReportListCtrl::LVS_EX_GRIDLINES);
    list->InsertColumn(0, QStringLiteral("属性项"), CReportListCtrl::LVCFMT_LEFT, 80);
    list->InsertColumn(1, QStringLiteral("属性值"), CReportListCtrl::LVCFMT_LEFT, 80);
    list->SetEditableColumns({kValueColumn});
}

void CZQPartConditionPage::UpdateData(bool save)
{
    if (save)
        m_nKind = zq::ComboIndex(*this, IDC_KIND);
    else
        zq::SetComboIndex(*this, IDC_KIND, m_nKind);
}

QJsonObject CZQPartConditionPage::SaveConditions(const QDate& today, bool fixedDates)
{
    QJsonObject conditions = CZQSearchPage::SaveConditions(today, fixedDates);
    QJsonArray kept;
    for (int kind = 0; kind < m_rows.KindCount(); ++kind)
        kept.append(QJsonArray::fromStringList(kind == m_nShownKind ? ConditionValues() : m_rows.Values(kind)));
    conditions[QStringLiteral("keptValues")] = kept;
    return conditions;
}

QStringList CZQPartConditionPage::RestoreConditions(const QJsonObject& conditions, const QDate& today)
{
    // The controls first: choosing the kind shows its rows, keeping the values shown before.
    const QStringList skipped = CZQSearchPage::RestoreConditions(conditions, today);
    const QJsonArray kept = conditions.value(QStringLiteral("keptValues")).toArray();
    for (int kind = 0; kind < m_rows.KindCount() && kind < kept.size(); ++kind) {
        if (kind == m_nShownKind)
            continue;
        QStringList values;
        for (const QJsonValue& value : kept.at(kind).toArray())
            values << value.toString();
        m_rows.Keep(kind, values);
    }
    return skipped;
}

QStringList CZQPartConditionPage::ConditionValues() const
{
    CGridListCtrl* list = ConditionList();
    return list ? list->GetColumnTexts(kValueColumn) : QStringList();
}

void CZQPartConditionPage::OnSelchangeKind()
{
    // Writing the fields back to the combo box must not start a second switch.
    if (m_bSwitching)
        return;
    m_bSwitching = true;
    UpdateData(true);
    if (m_nShownKind >= 0)
        m_rows.Keep(m_nShownKind, ConditionValues());
    ShowRowsOfKind(m_nKind);
    OnKindShown(m_nKind);
    // Part-list lines carry no date: the range applies to the other kinds only.
    const bool dated = m_nKind != zq::part::KindDetail;
    for (int id : {int(IDC_FROM), int(IDC_TO)})
        if (QWidget* picker = zq::Control(*this, id))
            picker->setEnabled(dated);
    m_bSwitching = false;
}

void CZQPartConditionPage::ShowRowsOfKind(int kind)
{
    CGridListCtrl* list = ConditionList();
    if (!list)
        return;
    list->DeleteAllItems();
    const QStringList& names = m_rows.Names(kind);
    const QStringList values = m_rows.Values(kind);
    for (int row = 0; row < names.size(); ++row) {
        const int inserted = list->InsertItem(row, names.at(row));
        list->SetItemText(inserted, kValueColumn, values.value(row));
    }
    m_nShownKind = kind;
}

QString CZQPartConditionPage::WarnedSql(const zq::part::PartSqlText& built)
{
    if (built.dateWarning)
        WarnReversedDates();
    return built.sql;
}

int CZQPartConditionPage::PlainSearch(const QString& sql)
{
    CHeaderListCtrl* list = ResultList();
    if (!list)
        return 0;
    list->DeleteAllItems();
    QueryRequest request = PageQuery(QueryVariant::A, sql, list);
    RowViews texts;   // one row's texts, views of the record's until the list copies them
    request.onRecordViews = [this, list, &texts](int row, std::span<const QAnyStringView> fields) {
        texts.clear();
        texts.append(fields.empty() ? QStringView() : fields[0]);
        for (size_t field = 1; field < fields.size(); ++field) {
            const int column = ResultColumnOfField(int(field));
            while (texts.size() <= column)
                texts.append(QStringView());
            texts[column] = fields[field];
        }
        try {
            CompleteRow(texts, fields);
        } catch (...) {
            list->InsertItem(row, texts);   // a row read before a failure stays
            throw;
        }
        list->InsertItem(row, texts);
    };
    return RunQuery(request);
}

QString CZQPartConditionPage::GetLocateText()
{
    CHeaderListCtrl* list = ResultList();
    const int row = ReportedRowIn(list);
    if (row < 0)
        return QString();
    return zq::part::LocateText(list->GetItemText(row, 0), list->GetItemText(row, 2), ScopeInForce(), ScopeText());
}

void CZQPartConditionPage::OnResultRightClick()
{
    CHeaderListCtrl* list = ResultList();
    if (!list)
        return;
    const int mark = list->GetSelectionMark();
    if (mark < 0 || mark >= list->GetItemCount())
        return;
    QList<zq::MenuEntry> entries{
        {ID_BORROW, QStringLiteral("借用查询...")},
        {0, QString()},
        {ID_ATTRIBUTES, QStringLiteral("零部件属性...")},
        {0, QString()},
        {ID_VERSIONS, QStringLiteral("版本浏览...")},
    };
    if (m_bTrailingSeparator)
        entries.append({0, QString()});
    RunPartCommand(TrackPopupMenu(entries), list->GetItemText(mark, 0));
}

void CZQPartConditionPage::RunPartCommand(int command, const QString& code)
{
    switch (command) {
    case ID_BORROW:
        CZQPartBorrowManage::PartUsedSearch(code);
        break;
    case ID_ATTRIBUTES: {
        CZQPart part;
        part.SetPartParameter(code, QString(), QString(), QStringLiteral("A"));
        part.DwgAttribute(QStringLiteral("ZqlomiraAll"), 1);
        break;
    }
    case ID_VERSIONS: {
        CZQPart part;
        part.SetPartParameter(code, QString(), QString(), QStringLiteral("A"));
        part.BrowsePartReversion();
        break;
    }
    default:
        break;
    }
}
