#pragma once
// What the pages "设计零部件" and "批次产品" share: the condition grid 1318 showing the rows of
// the kind chosen in 1256 with the values kept per kind, the date pickers greyed for "明细",
// the result list 1319 filled from one query, the part services of its context menu and the
// locate report of the selected row. The pages differ in their tables and in what they add.
#include <span>
#include <QVarLengthArray>
#include "PartConditions.h"
#include "PartSql.h"
#include "ZQSearchPage.h"

#include <QList>
#include <QString>
#include <QStringList>

class CGridListCtrl;
class CHeaderListCtrl;

class CZQPartConditionPage : public CZQSearchPage {
    Q_OBJECT
public:
    enum ControlId { IDC_FROM = 1204, IDC_TO = 1258, IDC_KIND = 1256, IDC_CONDITIONS = 1318, IDC_RESULTS = 1319 };
    enum MenuCommand { ID_BORROW = 1, ID_ATTRIBUTES = 2, ID_VERSIONS = 3 };

    ~CZQPartConditionPage() override;

    CReportListCtrl* GetResultList() override;
    // Column 0 "@^" column 2 of the last reported row, and the scope where the page has one in force.
    QString GetLocateText() override;
    bool CanLocate() override { return true; }

    // Carries out one part service on a code (what a menu command does, without the menu).
    static void RunPartCommand(int command, const QString& code);

    // The controls' conditions and the values kept for the kinds not shown ("keptValues": one list
    // of values per kind).
    QJsonObject SaveConditions(const QDate& today, bool fixedDates) override;
    QStringList RestoreConditions(const QJsonObject& conditions, const QDate& today) override;

protected:
    explicit CZQPartConditionPage(QWidget* parent = nullptr);

    // The shared initialisation: key and resize rules, notifications, the connection (false when
    // it fails: no rows, no columns), the condition grid with the rows of kind 0, the date pickers
    // and the result list with these columns.
    bool InitConditionPage(zq::part::ConditionRows rows, const QList<ColumnSpec>& resultColumns);

    // Dialog data exchange: controls → fields (save) or fields → controls. The base has the kind.
    virtual void UpdateData(bool save);
    // After a kind switch has shown the new kind's rows; the date pickers are set afterwards.
    virtual void OnKindShown(int kind) { Q_UNUSED(kind); }
    // The result column that field i of a record goes to (field 0 is the row's item text).
    virtual int ResultColumnOfField(int field) const { return field; }
    // A result row's texts, column by column, as views until the list copies them.
    using RowViews = QVarLengthArray<QAnyStringView, 16>;
    // Completes the texts of a result row from the record's fields before the row is listed; a
    // text added must outlive the row's listing. May throw _com_error; the row is listed as it
    // stands then.
    virtual void CompleteRow(RowViews& texts, std::span<const QAnyStringView> fields)
    {
        Q_UNUSED(texts);
        Q_UNUSED(fields);
    }
    // The scope a locate text carries; the base has none.
    virtual bool ScopeInForce() const { return false; }
    virtual QString ScopeText() const { return QString(); }

    // The menu ends with a separator below "版本浏览..." (the batch-product page).
    void SetMenuEndsWithSeparator(bool on) { m_bTrailingSeparator = on; }

    CGridListCtrl* ConditionList() const;
    CHeaderListCtrl* ResultList() const;
    // The texts of column 1 of the condition rows, row 0 first.
    QStringList ConditionValues() const;
    // Clears the result list and fills it from the query (progress window, cancel); 1 at the end
    // of the records, 0 after a cancel or a database error.
    int PlainSearch(const QString& sql);
    // The built SELECT, after the reversed-dates warning when one is due.
    static QString WarnedSql(const zq::part::PartSqlText& built);
    // The "旧图号" result column, hidden (empty header, width 0) by the old-code switch.
    static ColumnSpec OldCodeColumn();

    int m_nKind = zq::part::KindTitle;
    zq::part::ConditionRows m_rows;

private:
    void OnSelchangeKind();
    void ShowRowsOfKind(int kind);
    void SetupConditionList();
    void OnResultRightClick();

    int m_nShownKind = -1;   // the kind whose rows the condition list shows
    bool m_bSwitching = false;
    bool m_bTrailingSeparator = false;
    CImageList m_resultIcons;
};
