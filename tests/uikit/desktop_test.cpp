// The Desktop seam: the scripted Desktop's answers and records, the filter helpers, and the
// real Qt Desktop driven through its own dialogs.
#include "ProgressWnd.h"
#include "QtDesktop.h"
#include "QtTranslations.h"
#include "ScriptedDesktop.h"
#include "TestApplication.h"
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zq;

namespace {

// Runs action on the modal dialog or pop-up as soon as it is shown.
void whenShown(std::function<bool(QWidget*)> action)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action] {
        QWidget* shown = QApplication::activePopupWidget();
        if (!shown)
            shown = QApplication::activeModalWidget();
        if (shown && action(shown)) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

PickRequest users(bool multi)
{
    PickRequest request;
    request.title = "选择用户";
    request.headers = {"登录名", "姓名"};
    request.candidates = {{"zhang", "张三"}, {"Li", "李四"}, {"wang", "王五"}};
    request.multiSelect = multi;
    return request;
}

} // namespace

TEST(ScriptedDesktop, MessageBoxesAnswerFromTheScript)
{
    ScriptedDesktop desktop;
    struct Case { unsigned style; int yesNo; int answer; };
    const Case cases[] = {
        {MB_OK | MB_ICONEXCLAMATION, IDYES, IDOK},
        {MB_OKCANCEL, IDYES, IDOK},
        {MB_YESNO | MB_ICONQUESTION, IDYES, IDYES},
        {MB_YESNO, IDNO, IDNO},
    };
    for (const Case& c : cases) {
        desktop.yesNoAnswer = c.yesNo;
        EXPECT_EQ(desktop.messageBox("存储完毕，是否打开该文件?", "操作提示", c.style), c.answer) << c.style;
    }
    EXPECT_EQ(desktop.messages(), QStringList(4, "存储完毕，是否打开该文件?"));
    EXPECT_EQ(desktop.events[0].fields, QStringList({"操作提示", "存储完毕，是否打开该文件?"}));
}

TEST(ScriptedDesktop, RecordsEveryCallAndTellsTheListener)
{
    ScriptedDesktop desktop;
    QStringList heard;
    desktop.onEvent = [&](const ScriptedDesktop::Event& e) { heard.append(e.kind + ":" + e.fields.join(",")); };
    desktop.setClipboardText("GB-1");
    desktop.shellOpen("/tmp/a.dwg");
    desktop.showReport({"零件使用情况", {"a"}, {{"1"}, {"2"}}});
    desktop.hostCommand("Locate", "P1@^P2");
    desktop.saveFile({});
    desktop.popupMenu({{1, "a"}, {0, {}}, {2, "b"}}, {});
    desktop.pick(users(false));
    EXPECT_EQ(heard, QStringList({"CLIP:GB-1", "OPEN:/tmp/a.dwg", "REPORT:零件使用情况,2", "CMD:Locate,P1@^P2", "SAVE:",
                                  "MENU:1,2", "PICK:选择用户"}));
    EXPECT_EQ(desktop.clipboard, "GB-1");
    EXPECT_EQ(desktop.eventsOf("CMD").size(), 1);
    desktop.setClipboardText("");
    EXPECT_EQ(desktop.clipboard, "");
}

TEST(ScriptedDesktop, MenusAnswerOnlyWithOfferedIds)
{
    ScriptedDesktop desktop;
    desktop.menuAnswers = {2, 9, 1};
    const QList<MenuEntry> menu = {{1, "复制代号"}, {0, {}}, {2, "属性..."}};
    EXPECT_EQ(desktop.popupMenu(menu, {}), 2);
    EXPECT_EQ(desktop.popupMenu(menu, {}), 0);   // 9 is not offered
    EXPECT_EQ(desktop.popupMenu(menu, {}), 1);
    EXPECT_EQ(desktop.popupMenu(menu, {}), 0);   // script exhausted
}

TEST(ScriptedDesktop, PickersReturnOnlyCandidateKeys)
{
    struct Case { bool multi; QStringList answer; std::optional<QStringList> result; };
    const Case cases[] = {
        {false, {"li"}, QStringList{"Li"}},
        {false, {"wang", "zhang"}, QStringList{"wang"}},
        {false, {"nobody", "ZHANG"}, QStringList{"zhang"}},
        {true, {"wang", "zhang"}, QStringList{"wang", "zhang"}},
        {true, {"WANG", "nobody", "wang", "li"}, QStringList{"wang", "Li"}},
        {true, {"nobody"}, std::nullopt},
        {false, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        ScriptedDesktop desktop;
        desktop.pickAnswers = {c.answer};
        EXPECT_EQ(desktop.pick(users(c.multi)), c.result) << c.answer.join(",").toStdString();
        EXPECT_EQ(desktop.pick(users(c.multi)), std::nullopt) << "no answer left: cancelled";
    }
}

// A picker that takes a typed key, or a script that answers for the user whatever the list holds,
// returns unlisted names as given; listed ones keep the candidate's spelling.
TEST(ScriptedDesktop, PickersTakeUnlistedNamesWhereTypingIsAllowed)
{
    struct Case { bool acceptTyped; bool acceptUnlisted; bool multi; QStringList answer; std::optional<QStringList> result; };
    const Case cases[] = {
        {true, false, false, {" 赵六 "}, QStringList{"赵六"}},
        {true, false, false, {"ZHANG", "赵六"}, QStringList{"zhang"}},
        {true, false, true, {"赵六", "li", "赵六"}, QStringList{"赵六", "Li"}},
        {false, true, true, {"nobody", "wang"}, QStringList{"nobody", "wang"}},
        {false, true, false, {"  "}, std::nullopt},
        {false, false, false, {"nobody"}, std::nullopt},
    };
    for (const Case& c : cases) {
        ScriptedDesktop desktop;
        desktop.acceptUnlisted = c.acceptUnlisted;
        desktop.pickAnswers = {c.answer};
        PickRequest request = users(c.multi);
        request.acceptTyped = c.acceptTyped;
        EXPECT_EQ(desktop.pick(request), c.result) << c.answer.join(",").toStdString();
    }
}

TEST(ScriptedDesktop, SaveAnswerGetsTheDefaultExtension)
{
    ScriptedDesktop desktop;
    EXPECT_FALSE(desktop.saveFile({"a|*.txt||", "txt"}).has_value());
    desktop.saveAnswer = SaveFileAnswer{"/tmp/result", 2};
    const auto answer = desktop.saveFile({"a|*.txt|b|*.txt||", "txt"});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, "/tmp/result.txt");
    EXPECT_EQ(answer->filterIndex, 2);
}

TEST(ScriptedDesktop, ScopesRestoreThePreviousDesktop)
{
    ScriptedDesktop outer, inner;
    Desktop& before = Desktop::current();
    {
        const ScopedDesktop outerScope(outer);
        {
            const ScopedDesktop innerScope(inner);
            EXPECT_EQ(&Desktop::current(), &inner);
        }
        EXPECT_EQ(&Desktop::current(), &outer);
    }
    EXPECT_EQ(&Desktop::current(), &before);
    outer.fixedNow = QDateTime(QDate(2024, 5, 6), QTime(8, 0));
    EXPECT_EQ(outer.now(), outer.fixedNow);
}

TEST(ScriptedDesktop, CancelAfterRowsLeavesExactlyThatManyRows)
{
    struct Case { int cancelAfter; int available; int read; bool complete; };
    const Case cases[] = {{3, 10, 3, false}, {0, 10, 0, false}, {-1, 10, 10, true}, {5, 5, 5, true}, {6, 5, 5, true}};
    for (const Case& c : cases) {
        ScriptedDesktop desktop;
        desktop.cancelAfterRows = c.cancelAfter;
        const ScopedDesktop scope(desktop);
        CProgressWnd progress(nullptr, "正在进行");
        progress.SetRange(0, 500);
        progress.PeekAndPump();
        int rows = 0;
        bool complete = true;
        for (int record = 0; record < c.available; ++record) {
            progress.StepIt();
            progress.PeekAndPump();
            if (progress.Cancelled()) {
                complete = false;
                break;
            }
            ++rows;
        }
        EXPECT_EQ(rows, c.read) << c.cancelAfter;
        EXPECT_EQ(complete, c.complete) << c.cancelAfter;
    }
}

TEST(SaveFilter, PairsQtFiltersAndDefaultExtension)
{
    const QString filter = "逗号分隔文件(*.txt)|*.txt|空格对齐文件 (*.txt)|*.txt|所有文件|*.txt;*.csv||ignored|*.x";
    const QList<QPair<QString, QString>> pairs = parseFilter(filter);
    ASSERT_EQ(pairs.size(), 3);
    EXPECT_EQ(pairs[2], qMakePair(QString("所有文件"), QString("*.txt;*.csv")));
    EXPECT_EQ(toQtNameFilters(filter),
              QStringList({"逗号分隔文件 (*.txt)", "空格对齐文件 (*.txt)", "所有文件 (*.txt *.csv)"}));
    EXPECT_TRUE(parseFilter("").isEmpty());
    EXPECT_TRUE(parseFilter("odd").isEmpty());

    struct Case { QString path, ext, result; };
    const Case cases[] = {
        {"/tmp/a", "txt", "/tmp/a.txt"},
        {"/tmp/a.csv", "txt", "/tmp/a.csv"},
        {"/tmp/dir.d/a", "txt", "/tmp/dir.d/a.txt"},
        {"/tmp/a", ".txt", "/tmp/a.txt"},
        {"/tmp/a", "", "/tmp/a"},
        {"", "txt", ""},
        {"/tmp/结果", "txt", "/tmp/结果.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AddDefaultExtension(c.path, c.ext), c.result) << c.path.toStdString();
}

TEST(QtDesktop, MessageBoxButtonsGiveTheSystemAnswers)
{
    QtDesktop desktop;
    struct Case { unsigned style; QMessageBox::StandardButton press; int answer; };
    const Case cases[] = {
        {MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, IDYES},
        {MB_YESNO, QMessageBox::No, IDNO},
        {MB_OKCANCEL, QMessageBox::Cancel, IDCANCEL},
        {MB_OK | MB_ICONEXCLAMATION, QMessageBox::Ok, IDOK},
    };
    for (const Case& c : cases) {
        QString shownText;
        whenShown([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box)
                return false;
            shownText = box->windowTitle() + "|" + box->text();
            box->button(c.press)->click();
            return true;
        });
        EXPECT_EQ(desktop.messageBox("文件没有下载成功", "操作提示", c.style), c.answer);
        EXPECT_EQ(shownText, "操作提示|文件没有下载成功");
    }
}

// The reason behind a message goes to the box's detail part; the message itself stays as it is.
TEST(QtDesktop, AMessageCarriesItsDetailBehindTheDetailButton)
{
    QtDesktop desktop;
    for (const QString& detail : {QStringLiteral("文件不存在: /store/Zq/Proven/ZQ8600/A/none.dwg"), QString()}) {
        QString shown, shownDetail;
        whenShown([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box)
                return false;
            shown = box->text();
            shownDetail = box->detailedText();
            box->button(QMessageBox::Ok)->click();
            return true;
        });
        EXPECT_EQ(desktop.messageBox("文件没有下载成功", "操作提示", MB_OK | MB_ICONEXCLAMATION, detail), IDOK);
        EXPECT_EQ(shown, "文件没有下载成功");
        EXPECT_EQ(shownDetail, detail);
    }
    ScriptedDesktop scripted;
    scripted.messageBox("文件没有下载成功", "操作提示", MB_OK, "FTP 550");
    scripted.messageBox("存储完毕", "操作提示", MB_OK);
    ASSERT_EQ(scripted.events.size(), 2);
    EXPECT_EQ(scripted.events[0].fields, (QStringList{"操作提示", "文件没有下载成功"})) << "the fields a script reads stay";
    EXPECT_EQ(scripted.events[0].detail, "FTP 550");
    EXPECT_EQ(scripted.events[1].detail, "");
}

// Qt's own buttons and dialogs speak Chinese once the module's translations are loaded.
TEST(QtTranslations, QtsOwnTextsAreChinese)
{
    if (!QFile::exists(QtTranslationsFolder() + "/qtbase_zh_CN.qm"))
        GTEST_SKIP() << "no qtbase_zh_CN.qm in " << QtTranslationsFolder().toStdString() << " (qt6-translations-l10n)";
    EXPECT_TRUE(LoadQtChineseTranslations());
    EXPECT_TRUE(LoadQtChineseTranslations()) << "a second call finds them loaded";
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
    const struct {
        QMessageBox::StandardButton button;
        const char* chinese;
    } buttons[] = {{QMessageBox::Yes, "是"}, {QMessageBox::No, "否"}, {QMessageBox::Ok, "确定"}, {QMessageBox::Cancel, "取消"}};
    for (const auto& b : buttons)
        EXPECT_TRUE(box.button(b.button)->text().contains(QString::fromUtf8(b.chinese))) << box.button(b.button)->text().toStdString();
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    EXPECT_NE(dialog.labelText(QFileDialog::Accept), "&Save");
    EXPECT_NE(dialog.labelText(QFileDialog::Reject), "Cancel");
}

TEST(QtDesktop, PopupMenuReturnsTheChosenId)
{
    QtDesktop desktop;
    whenShown([](QWidget* w) {
        auto* menu = qobject_cast<QMenu*>(w);
        if (!menu)
            return false;
        for (QAction* action : menu->actions()) {
            if (action->text() == "属性...")
                menu->setActiveAction(action);
        }
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(menu, &enter);
        return true;
    });
    EXPECT_EQ(desktop.popupMenu({{1, "复制代号"}, {0, {}}, {2, "属性..."}}, QPoint(10, 10)), 2);
}

TEST(QtDesktop, PickerReturnsSelectedKeysInCandidateOrder)
{
    QtDesktop desktop;
    struct Case { bool multi; QList<int> rows; bool accept; std::optional<QStringList> result; };
    const Case cases[] = {
        {false, {1}, true, QStringList{"Li"}},
        {true, {2, 0}, true, QStringList{"zhang", "wang"}},
        {true, {0}, false, std::nullopt},
    };
    for (const Case& c : cases) {
        whenShown([&](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            auto* table = dialog ? dialog->findChild<QTableWidget*>() : nullptr;
            if (!table)
                return false;
            for (int row : c.rows)
                table->selectionModel()->select(table->model()->index(row, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            c.accept ? dialog->accept() : dialog->reject();
            return true;
        });
        EXPECT_EQ(desktop.pick(users(c.multi)), c.result);
    }
}

TEST(QtDesktop, PickerTakesATypedName)
{
    QtDesktop desktop;
    struct Case { bool multi; QList<int> rows; const char* typed; std::optional<QStringList> result; };
    const Case cases[] = {
        {false, {}, " 赵六 ", QStringList{"赵六"}},
        {false, {1}, "赵六", QStringList{"赵六"}},   // one choice: the typed name wins
        {true, {2}, "赵六", QStringList{"wang", "赵六"}},
        {true, {0}, "", QStringList{"zhang"}},
    };
    for (const Case& c : cases) {
        whenShown([&](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            auto* table = dialog ? dialog->findChild<QTableWidget*>() : nullptr;
            auto* edit = dialog ? dialog->findChild<QLineEdit*>() : nullptr;
            if (!table || !edit)
                return false;
            for (int row : c.rows)
                table->selectionModel()->select(table->model()->index(row, 0),
                                                QItemSelectionModel::Select | QItemSelectionModel::Rows);
            edit->setText(QString::fromUtf8(c.typed));
            dialog->accept();
            return true;
        });
        PickRequest request = users(c.multi);
        request.acceptTyped = true;
        EXPECT_EQ(desktop.pick(request), c.result) << c.typed;
    }
}

TEST(QtDesktop, SaveDialogGivesPathAndFilterIndex)
{
    QTemporaryDir dir;
    QtDesktop desktop;
    whenShown([&](QWidget* w) {
        auto* dialog = qobject_cast<QFileDialog*>(w);
        if (!dialog)
            return false;
        dialog->selectNameFilter(dialog->nameFilters().value(1));
        dialog->setDirectory(dir.path());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name)
            return false;
        name->setText(QStringLiteral("result"));
        // Closing as accepted skips the dialog's own check of the folder, which races with the
        // background loading of its file model.
        static_cast<QDialog*>(dialog)->done(QDialog::Accepted);
        return true;
    });
    const auto answer = desktop.saveFile({"逗号分隔|*.txt|空格对齐|*.txt||", "txt", true});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->path, dir.filePath("result.txt"));
    EXPECT_EQ(answer->filterIndex, 2);
}

TEST(QtDesktop, ClipboardAndWaitCursor)
{
    QtDesktop desktop;
    desktop.setClipboardText("GB/T 5782");
    EXPECT_EQ(QApplication::clipboard()->text(), "GB/T 5782");
    desktop.beginWaitCursor();
    desktop.endWaitCursor();
    desktop.endWaitCursor();   // one end too many restores nothing and does not fail
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
