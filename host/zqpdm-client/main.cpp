// zqpdm-client: the PDM client window hosting the search module (see --help).
#include "ClientCommandLine.h"
#include "HostInstallation.h"
#include "PDMClientWindow.h"
#include "PreviewController.h"
#include "PreviewDock.h"
#include "QuickSearchBox.h"
#include "QuickSearchController.h"
#include "QtTranslations.h"
#include "RuntimeFolderWarning.h"
#include "SavedSearchMenu.h"
#include "StandardOutputCheck.h"
#include "ScriptedDesktop.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"
#include "ZQSearchPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

using zq::host::ClientCommandLine;

QStringList commandLineArguments(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void printError(const QString& text)
{
    std::fprintf(stderr, "zqpdm-client: %s\n", text.toLocal8Bit().constData());
}

// The preview pane shown (for this picture only: the user's own choice stays) and the first row
// of the current tab selected.
void ShowFirstRowPreview(CZQPDMSearchMain* search)
{
    zq::preview::PreviewDock* preview = search ? search->Preview() : nullptr;
    if (!preview)
        return;
    preview->setShown(true, false);
    if (CZQSearchPage* page = search->CurrentPage())
        if (CReportListCtrl* list = page->GetResultList(); list && list->GetItemCount() > 0)
            list->SelectRow(0);
}

// Runs done once the preview pane has drawn what it was asked for (at most 20 seconds on).
void WhenPreviewDrawn(CZQPDMSearchMain* search, const std::function<void()>& done, int triesLeft = 200)
{
    zq::preview::PreviewDock* preview = search ? search->Preview() : nullptr;
    if (!preview || !preview->controller().busy() || triesLeft == 0) {
        done();
        return;
    }
    QTimer::singleShot(100, [search, done, triesLeft] { WhenPreviewDrawn(search, done, triesLeft - 1); });
}

// Saves a picture of the widget, with the pop-up menu open over it, if any; false (and why on
// standard error) when it cannot.
bool savePicture(QWidget* widget, const QString& file)
{
    bool saved = false;
    if (widget) {
        QPixmap picture = widget->grab();
        if (QWidget* popup = QApplication::activePopupWidget()) {
            const QPoint at = popup->mapToGlobal(QPoint(0, 0)) - widget->mapToGlobal(QPoint(0, 0));
            const QRect both = QRect(QPoint(0, 0), picture.size()) | QRect(at, popup->size());
            QPixmap canvas(both.size());
            canvas.fill(Qt::white);
            QPainter painter(&canvas);
            painter.drawPixmap(-both.topLeft(), picture);
            painter.drawPixmap(at - both.topLeft(), popup->grab());
            painter.end();
            picture = canvas;
            popup->close();
        }
        saved = picture.save(file, "PNG");
    }
    if (!saved)
        printError(QStringLiteral("cannot save the picture to %1").arg(file));
    return saved;
}

// Runs the current tab's saved search of that name as "常用查询" would; returns why it could not.
QString RunSavedSearch(CZQPDMSearchMain& search, const QString& name)
{
    QString missing;
    const std::optional<zq::SavedSearch> saved = search.SavedSearches().FindOnCurrentTab(name, &missing);
    if (!saved)
        return missing;
    search.SavedSearches().Apply(*saved);
    return QString();
}

// Maximised also where no window manager does it (a virtual display): the screen's free area.
void showMaximized(QWidget& window)
{
    if (const QScreen* screen = window.screen())
        window.setGeometry(screen->availableGeometry());
    window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

// Types into the quick search box as a user would, then presses Return.
void TypeQuickSearch(zq::host::PDMClientWindow& window, const QString& text)
{
    zq::host::QuickSearchBox* box = window.quickSearchBox();
    box->setFocus(Qt::ShortcutFocusReason);
    box->setText(text);
    Q_EMIT box->textEdited(text);
    Q_EMIT box->returnPressed();
}

} // namespace

int main(int argc, char* argv[])
{
    const zq::host::ClientParse parsed = ClientCommandLine::parse(commandLineArguments(argc, argv));
    if (parsed.status == zq::host::ClientParse::Status::Help) {
        std::fputs(ClientCommandLine::helpText().toLocal8Bit().constData(), stdout);
        return zq::console::FinishStandardOutput(ClientCommandLine::Ok, "zqpdm-client");
    }
    if (parsed.status == zq::host::ClientParse::Status::Usage) {
        printError(parsed.error);
        std::fprintf(stderr, "%s\n", ClientCommandLine::usageLine().toLocal8Bit().constData());
        return ClientCommandLine::UsageError;
    }
    const zq::host::ClientOptions& options = parsed.options;
    if (!options.home.isEmpty())
        zq::host::UseInstallation(options.home);

    zq::console::DropRuntimeFolderWarning();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zqpdm-client"));
    // The menu entry zqpdm-client.desktop: a Wayland desktop matches the window to it by this name
    // and shows the entry's name and icon for the window.
    QApplication::setDesktopFileName(QStringLiteral("zqpdm-client"));
    // Qt's own buttons and dialogs in Chinese, as the rest of the client.
    zq::LoadQtChineseTranslations();

    // Taking a picture unattended, a message box would wait for ever: it is written to standard
    // error instead, and the run fails.
    zq::ScriptedDesktop unattended;
    bool told = false;
    if (options.unattended()) {
        unattended.onEvent = [&told](const zq::ScriptedDesktop::Event& event) {
            if (event.kind != u"MSG")
                return;
            told = true;
            printError(event.fields.join(QStringLiteral(": ")));
        };
        zq::Desktop::install(&unattended);
    }

    zq::host::PDMClientWindow window;
    window.show();
    window.start();
    if (told)
        return ClientCommandLine::Failed;
    QString treeChoices;
    if (!options.treePath.isEmpty() && !window.selectTreePath(options.treePath, &treeChoices)) {
        printError(QStringLiteral("the product tree has no item %1 (%2)").arg(options.treePath, treeChoices));
        return ClientCommandLine::NoSuchTreeItem;
    }
    if (options.openSearch || options.maximized || !options.screenshot.isEmpty() || !options.tab.isEmpty()
        || !options.saved.isEmpty()) {
        window.openSearch();
        CZQPDMSearchMain* search = CZQPDMSearchFunction::m_pPDMSearchMain;
        if (options.maximized && search)
            showMaximized(*search);
        if (!options.tab.isEmpty() && !(search && search->SelectPageByCaption(options.tab))) {
            const QStringList captions = search ? search->TabCaptions() : QStringList();
            printError(QStringLiteral("the search window has no tab \"%1\" (%2)")
                           .arg(options.tab, captions.isEmpty() ? QStringLiteral("it has no tab")
                                                                : QStringLiteral("the tabs are: ") + captions.join(QStringLiteral(", "))));
            return ClientCommandLine::NoSuchTab;
        }
        if (!options.saved.isEmpty() && search) {
            if (const QString missing = RunSavedSearch(*search, options.saved); !missing.isEmpty()) {
                printError(missing);
                return ClientCommandLine::NoSuchSavedSearch;
            }
        }
    }

    const auto finish = [&told](bool saved) {
        QApplication::exit(saved && !told ? ClientCommandLine::Ok : ClientCommandLine::Failed);
    };
    if (!options.screenshot.isEmpty()) {
        // A saved search has run already.
        if (options.saved.isEmpty())
            QTimer::singleShot(300, &app, [] {
                if (QWidget* search = CZQPDMSearchFunction::m_pPDMSearchMain)
                    if (auto* find = search->findChild<QAbstractButton*>(QString::number(CZQPDMSearchMain::IDC_FIND)))
                        find->click();
            });
        // Unattended, the menu is answered by the script; the picture shows it as the user would
        // see it, opened below the button.
        if (options.savedMenu)
            QTimer::singleShot(700, &app, [&unattended] {
                QWidget* search = CZQPDMSearchFunction::m_pPDMSearchMain;
                auto* saved = search ? search->findChild<QAbstractButton*>(QString::number(CZQPDMSearchMain::IDC_SAVED)) : nullptr;
                if (!saved)
                    return;
                saved->click();
                auto* menu = new QMenu(search);
                for (const zq::MenuEntry& entry : std::as_const(unattended.lastMenu)) {
                    if (entry.id == 0)
                        menu->addSeparator();
                    else
                        menu->addAction(entry.text)->setEnabled(entry.enabled);
                }
                menu->popup(saved->mapToGlobal(QPoint(0, saved->height())));
            });
        if (options.preview)
            QTimer::singleShot(700, &app, [] { ShowFirstRowPreview(CZQPDMSearchFunction::m_pPDMSearchMain); });
        QTimer::singleShot(1500, &app, [&] {
            WhenPreviewDrawn(CZQPDMSearchFunction::m_pPDMSearchMain,
                             [&] { finish(savePicture(CZQPDMSearchFunction::m_pPDMSearchMain, options.screenshot)); });
        });
    }
    if (!options.quick.isEmpty())
        TypeQuickSearch(window, options.quick);
    if (!options.windowScreenshot.isEmpty() && !options.quick.isEmpty() && window.quickSearch()) {
        // The picture once the hits are there, with the suggestions for the text as typed.
        QObject::connect(window.quickSearch(), &zq::host::QuickSearchController::searchDone, &app, [&] {
            window.quickSearchBox()->requestSuggestions();
            QTimer::singleShot(800, &app, [&] { finish(savePicture(&window, options.windowScreenshot)); });
        });
    } else if (!options.windowScreenshot.isEmpty()) {
        QTimer::singleShot(1500, &app, [&] { finish(savePicture(&window, options.windowScreenshot)); });
    }
    return QApplication::exec();
}
