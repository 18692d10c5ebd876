#include "RequestIdentity.h"

#include <QHostAddress>
#include <QStringDecoder>

namespace zq::web {

bool RequestIdentity::isTrusted(const QString& remote) const
{
    const QHostAddress address(remote);
    if (address.isNull())
        return false;
    for (const QString& proxy : m_trustedProxies)
        if (address.isEqual(QHostAddress(proxy), QHostAddress::ConvertV4MappedToIPv4))
            return true;
    return false;
}

std::optional<QString> RequestIdentity::LoginFromHeader(const std::string& header)
{
    if (header.empty() || header.size() > 256)
        return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString login = utf8(QByteArrayView(header.data(), qsizetype(header.size())));
    if (utf8.hasError() || login.isEmpty() || login.size() > 64 || login.trimmed() != login)
        return std::nullopt;
    for (const QChar c : login)
        if (!c.isPrint())
            return std::nullopt;
    return login;
}

std::optional<QString> RequestIdentity::user(const QString& remote, const std::string& header) const
{
    if (isTrusted(remote))
        if (std::optional<QString> login = LoginFromHeader(header))
            return login;
    return m_localUser;
}

} // namespace zq::web
