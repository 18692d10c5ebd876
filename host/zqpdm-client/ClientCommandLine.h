#pragma once
// The zqpdm-client command line as plain values (see helpText()).
#include <QString>
#include <QStringList>

namespace zq::host {

struct ClientOptions {
    QString home;               // --home: the installation (else ZQPDM_HOME, else the folder above the program)
    bool openSearch = false;    // --search
    QString tab;                // --tab CAPTION
    QString treePath;           // --tree PATH: the tree item selected before the search window opens
    QString screenshot;         // --screenshot FILE
    QString windowScreenshot;   // --window-screenshot FILE
    bool savedMenu = false;     // --saved-menu: the picture shows the "常用查询" menu open
    bool preview = false;       // --preview: the picture shows the preview pane with the first row
    bool maximized = false;     // --maximized: the search window opens maximised
    QString saved;              // --saved NAME: a saved search of the tab, applied and run
    QString quick;              // --quick TEXT: typed into the quick search box, then searched

    // A picture is taken and the program ends: nobody is there to answer a message box.
    bool unattended() const { return !screenshot.isEmpty() || !windowScreenshot.isEmpty(); }
};

struct ClientParse {
    enum class Status { Ok, Help, Usage };
    Status status = Status::Ok;
    QString error;
    ClientOptions options;
};

class ClientCommandLine {
public:
    enum ExitCode { Ok = 0, Failed = 1, UsageError = 2, NoSuchTab = 3, NoSuchTreeItem = 4, NoSuchSavedSearch = 5 };

    // The arguments after the program name.
    static ClientParse parse(const QStringList& arguments);
    static QString usageLine();
    static QString helpText();
};

} // namespace zq::host
