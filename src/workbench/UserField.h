#pragma once
// An edit box that names a user, with the user picker behind the page's "..." button: it starts
// as the logged-on user and takes the user picked. It shows either the user's name (the login
// name is then kept aside for the picker) or the login name itself.
#include <QString>
#include <optional>
#include <utility>

class QWidget;
namespace zq { class CZQDBConnect; }

namespace zq {

class UserField {
public:
    enum class Shows { Name, LogName };

    UserField(QWidget& page, int editId, Shows shows) : m_page(page), m_editId(editId), m_shows(shows) {}

    // The logged-on user in two steps: asked of the user service under the wait cursor (before the
    // box may exist), then shown; nothing changes when there is none.
    void FetchCurrentUser();
    void ShowFetchedUser();
    // The user picker, starting from LogName(); a cancel changes nothing.
    void Pick(CZQDBConnect* connection);
    // The login name the picker starts from: the text in the box when it shows login names,
    // else the login name of the user last shown.
    QString LogName() const;

private:
    void Show(const QString& logName, const QString& name);

    QWidget& m_page;
    int m_editId;
    Shows m_shows;
    QString m_logName;
    std::optional<std::pair<QString, QString>> m_fetched;   // login name and name
};

} // namespace zq
