// zqpdm-client: the PDM client window hosting the search module.
//   zqpdm-client [--search] [--screenshot FILE] [--tab CAPTION] [--window-screenshot FILE]
//     --search                  open the search window at start
//     --screenshot FILE         open the search window, press "查找" on its current page, save a
//                               picture of the window to FILE (PNG) and quit
//     --tab CAPTION             open the search window with the tab of that caption selected
//     --window-screenshot FILE  save a picture of the client window (tree, commands, "任务" view)
//                               to FILE (PNG) and quit
// Exit codes: 0 done, 1 the picture could not be saved, 2 usage error, 3 no tab with that caption.
#include "PDMClientWindow.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int kNoSuchTab = 3;

int usage()
{
    std::fputs("usage: zqpdm-client [--search] [--screenshot FILE] [--tab CAPTION] [--window-screenshot FILE]\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zqpdm-client"));

    bool openSearch = false;
    QString screenshot;
    QString tab;
    QString windowScreenshot;
    const QStringList args = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--search")
            openSearch = true;
        else if (args[i] == u"--screenshot" && i + 1 < args.size())
            screenshot = args[++i];
        else if (args[i] == u"--tab" && i + 1 < args.size())
            tab = args[++i];
        else if (args[i] == u"--window-screenshot" && i + 1 < args.size())
            windowScreenshot = args[++i];
        else
            return usage();
    }

    zq::host::PDMClientWindow window;
    window.show();
    window.start();
    if (openSearch || !screenshot.isEmpty() || !tab.isEmpty()) {
        window.openSearch();
        CZQPDMSearchMain* search = CZQPDMSearchFunction::m_pPDMSearchMain;
        if (!tab.isEmpty() && !(search && search->SelectPageByCaption(tab))) {
            std::fprintf(stderr, "zqpdm-client: the search window has no tab \"%s\"\n", qPrintable(tab));
            return kNoSuchTab;
        }
    }

    if (!screenshot.isEmpty()) {
        QTimer::singleShot(300, &app, [] {
            if (QWidget* search = CZQPDMSearchFunction::m_pPDMSearchMain)
                if (auto* find = search->findChild<QAbstractButton*>(QString::number(CZQPDMSearchMain::IDC_FIND)))
                    find->click();
        });
        QTimer::singleShot(1500, &app, [&] {
            QWidget* search = CZQPDMSearchFunction::m_pPDMSearchMain;
            const bool saved = search && search->grab().save(screenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "zqpdm-client: cannot save the picture to %s\n", qPrintable(screenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    if (!windowScreenshot.isEmpty()) {
        QTimer::singleShot(1500, &app, [&] {
            const bool saved = window.grab().save(windowScreenshot, "PNG");
            if (!saved)
                std::fprintf(stderr, "zqpdm-client: cannot save the picture to %s\n", qPrintable(windowScreenshot));
            QApplication::exit(saved ? 0 : 1);
        });
    }
    return QApplication::exec();
}
