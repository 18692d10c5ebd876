#pragma once
// "保存查询条件": the name a tab's conditions are saved under, whether their dates stay fixed
// (else they move with the day: "from 30 days ago to today" stays that), and whether everyone
// who uses the installation sees the search.
#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

namespace zq {

class SaveSearchDialog : public QDialog {
    Q_OBJECT
public:
    // canShare: whether the user may write the shared searches (else the box is greyed).
    SaveSearchDialog(const QString& tab, const QString& suggestedName, bool canShare, QWidget* parent = nullptr);

    QString name() const;
    bool fixedDates() const;
    bool shared() const;

private:
    QLineEdit* m_name = nullptr;
    QCheckBox* m_fixedDates = nullptr;
    QCheckBox* m_shared = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace zq
