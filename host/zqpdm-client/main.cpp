// zqpdm-client: the PDM client window hosting the search module.
//   zqpdm-client [--search] [--screenshot FILE]
//     --search           open the search window at start
//     --screenshot FILE  open the search window, press "查找" on its first page, save a picture
//                        of the window to FILE (PNG) and quit
#include "PDMClientWindow.h"
#include "ZQPDMSearchFunction.h"
#include "ZQPDMSearchMain.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: zqpdm-client [--search] [--screenshot FILE]\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("zqpdm-client"));

    bool openSearch = false;
    QString screenshot;
    const QStringList args = QApplication::arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--search")
            openSearch = true;
        else if (args[i] == u"--screenshot" && i + 1 < args.size())
            screenshot = args[++i];
        else
            return usage();
    }

    zq::host::PDMClientWindow window;
    window.show();
    window.start();
    if (openSearch || !screenshot.isEmpty())
        window.openSearch();

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
    return QApplication::exec();
}
