#include "SaveSearchDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zq {

SaveSearchDialog::SaveSearchDialog(const QString& tab, const QString& suggestedName, bool canShare, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("保存查询条件"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("把“%1”页当前的查询条件保存为常用查询。").arg(tab), this));
    auto* form = new QFormLayout;
    m_name = new QLineEdit(suggestedName, this);
    m_name->setObjectName(QStringLiteral("name"));
    form->addRow(QStringLiteral("名称:"), m_name);
    layout->addLayout(form);
    m_fixedDates = new QCheckBox(QStringLiteral("固定日期"), this);
    m_fixedDates->setObjectName(QStringLiteral("fixedDates"));
    m_fixedDates->setToolTip(QStringLiteral("不勾选时, 日期随当天移动 (如“30 天前到今天”)"));
    layout->addWidget(m_fixedDates);
    m_shared = new QCheckBox(QStringLiteral("共享给所有用户"), this);
    m_shared->setObjectName(QStringLiteral("shared"));
    m_shared->setEnabled(canShare);
    if (!canShare)
        m_shared->setToolTip(QStringLiteral("没有写入共享查询文件夹的权限"));
    layout->addWidget(m_shared);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->setObjectName(QStringLiteral("buttons"));
    layout->addWidget(m_buttons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto nameGiven = [this] { m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!name().isEmpty()); };
    connect(m_name, &QLineEdit::textChanged, this, nameGiven);
    nameGiven();
    m_name->selectAll();
}

QString SaveSearchDialog::name() const
{
    return m_name->text().trimmed();
}

bool SaveSearchDialog::fixedDates() const
{
    return m_fixedDates->isChecked();
}

bool SaveSearchDialog::shared() const
{
    return m_shared->isEnabled() && m_shared->isChecked();
}

} // namespace zq
