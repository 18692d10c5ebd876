#pragma once
// Who a request comes from. The user is named by a reverse proxy in front of the server (after its
// own login: basic auth, LDAP, single sign-on) in X-Remote-User, believed only from the proxy
// addresses given; in local mode, on a loopback address only, everyone is one named user.
#include <QString>
#include <QStringList>
#include <optional>

namespace zq::web {

class RequestIdentity {
public:
    RequestIdentity(QStringList trustedProxies, std::optional<QString> localUser)
        : m_trustedProxies(std::move(trustedProxies)), m_localUser(std::move(localUser)) {}

    // The user of a request from REMOTE carrying HEADER (X-Remote-User, raw bytes as sent;
    // empty when absent); nullopt: nobody, answer 401.
    std::optional<QString> user(const QString& remote, const std::string& header) const;
    bool isTrusted(const QString& remote) const;

    // A login name as a header may carry it: UTF-8, printable, at most 64 characters.
    static std::optional<QString> LoginFromHeader(const std::string& header);

private:
    QStringList m_trustedProxies;
    std::optional<QString> m_localUser;
};

} // namespace zq::web
