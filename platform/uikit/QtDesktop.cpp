#include "QtDesktop.h"
#include "DesktopOpener.h"
#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

namespace zq {

namespace {

// Widgets need a QApplication; without one (a console tool) nothing modal can be shown.
bool haveWidgets()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

QWidget* dialogParent()
{
    return QApplication::activeWindow();
}

QMessageBox::Icon iconFor(unsigned style)
{
    switch (style & 0xF0u) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

// The answer when no box can be shown or the box is closed without a button.
int defaultAnswer(unsigned style)
{
    switch (style & 0xFu) {
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

// A read-only table of rows, filled from headers and texts.
QTableWidget* makeTable(QWidget* parent, const QStringList& headers, const QList<QStringList>& rows)
{
    int columns = int(headers.size());
    for (const QStringList& row : rows)
        columns = std::max(columns, int(row.size()));
    auto* table = new QTableWidget(int(rows.size()), columns, parent);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < columns; ++c)
            table->setItem(r, c, new QTableWidgetItem(rows[r].value(c)));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    return table;
}

} // namespace

int QtDesktop::messageBox(const QString& text, const QString& caption, unsigned style, const QString& detail)
{
    if (!haveWidgets()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(caption), qPrintable(text));
        if (!detail.isEmpty())
            std::fprintf(stderr, "%s\n", qPrintable(detail));
        return defaultAnswer(style);
    }
    QMessageBox box(iconFor(style), caption, text, QMessageBox::NoButton, dialogParent());
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    switch (style & 0xFu) {
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(QMessageBox::Ok);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes: return IDYES;
    case QMessageBox::No: return IDNO;
    case QMessageBox::Ok: return IDOK;
    case QMessageBox::Cancel: return IDCANCEL;
    default: return defaultAnswer(style);
    }
}

std::optional<SaveFileAnswer> QtDesktop::saveFile(const SaveFileRequest& request)
{
    if (!haveWidgets())
        return std::nullopt;
    const QStringList filters = toQtNameFilters(request.filter);
    QFileDialog dialog(dialogParent());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The same Qt dialog everywhere, whatever platform theme is installed.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    SaveFileAnswer answer;
    answer.path = AddDefaultExtension(dialog.selectedFiles().constFirst(), request.defaultExt);
    answer.filterIndex = std::max(1, int(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return answer;
}

int QtDesktop::popupMenu(const QList<MenuEntry>& entries, const QPoint& screenPos)
{
    if (!haveWidgets())
        return 0;
    QMenu menu(dialogParent());
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            menu.addSeparator();
        } else {
            QAction* action = menu.addAction(entry.text);
            action->setData(entry.id);
            action->setEnabled(entry.enabled);
        }
    }
    const QAction* chosen = menu.exec(screenPos);
    return chosen ? chosen->data().toInt() : 0;
}

int QtDesktop::execDialog(QDialog& dialog)
{
    return haveWidgets() ? dialog.exec() : int(QDialog::Rejected);
}

std::optional<QStringList> QtDesktop::pick(const PickRequest& request)
{
    if (!haveWidgets())
        return std::nullopt;
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(request.title);
    auto* layout = new QVBoxLayout(&dialog);
    QTableWidget* table = makeTable(&dialog, request.headers, request.candidates);
    table->setSelectionMode(request.multiSelect ? QAbstractItemView::ExtendedSelection
                                                : QAbstractItemView::SingleSelection);
    layout->addWidget(table);
    // A name the list does not hold may be typed where the picker accepts one.
    QLineEdit* typed = nullptr;
    if (request.acceptTyped) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel(QStringLiteral("其他名称:"), &dialog));
        typed = new QLineEdit(&dialog);
        row->addWidget(typed);
        layout->addLayout(row);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    const auto updateOk = [table, typed, buttons] {
        const bool chosen = table->selectionModel()->hasSelection() || (typed && !typed->text().trimmed().isEmpty());
        buttons->button(QDialogButtonBox::Ok)->setEnabled(chosen);
    };
    QObject::connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, &dialog, updateOk);
    if (typed)
        QObject::connect(typed, &QLineEdit::textChanged, &dialog, updateOk);
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, &QDialog::accept);
    dialog.resize(520, 360);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QStringList keys;
    for (int row = 0; row < table->rowCount(); ++row) {
        if (table->selectionModel()->isRowSelected(row, {}))
            keys.append(request.candidates[row].value(0));
    }
    const QString name = typed ? typed->text().trimmed() : QString();
    if (!name.isEmpty() && !keys.contains(name)) {
        if (!request.multiSelect)
            keys.clear();   // one choice: what was typed wins over a selection
        keys.append(name);
    }
    if (keys.isEmpty())
        return std::nullopt;
    return keys;
}

void QtDesktop::showReport(const ReportRequest& request)
{
    if (!haveWidgets())
        return;
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(request.title);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(makeTable(&dialog, request.headers, request.rows));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("关闭"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(640, 400);
    dialog.exec();
}

void QtDesktop::setClipboardText(const QString& text)
{
    if (QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                    ? QGuiApplication::clipboard()
                                    : nullptr)
        clipboard->setText(text);
}

bool QtDesktop::shellOpen(const QString& path)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()) || !DesktopCanOpen(path))
        return false;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtDesktop::beginWaitCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void QtDesktop::endWaitCursor()
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) && QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

QPoint QtDesktop::cursorPos() const
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    return QCursor::pos();
}

QDateTime QtDesktop::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace zq
