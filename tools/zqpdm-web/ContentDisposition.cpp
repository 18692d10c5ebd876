#include "ContentDisposition.h"

#include <QByteArray>

namespace zq::web {

namespace {

// RFC 5987 attr-char: sent as it is; every other byte of the UTF-8 name is percent-encoded.
bool isAttrChar(char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("!#$&+-.^_`|~").contains(c);
}

// The ASCII stand-in: printable ASCII but quote and backslash; the rest becomes "_".
std::string asciiFallback(const QString& name)
{
    std::string text;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        text += (u >= 0x20 && u < 0x7f && u != '"' && u != '\\') ? char(u) : '_';
    }
    return text;
}

} // namespace

std::string AttachmentDisposition(const QString& fileName)
{
    QString name = fileName.section(u'/', -1).section(u'\\', -1);
    if (name.isEmpty() || name == u"." || name == u"..")
        name = QStringLiteral("file");
    std::string encoded;
    static const char hex[] = "0123456789ABCDEF";
    for (const char c : name.toUtf8()) {
        if (isAttrChar(c)) {
            encoded += c;
        } else {
            const auto byte = static_cast<unsigned char>(c);
            encoded += '%';
            encoded += hex[byte >> 4];
            encoded += hex[byte & 0xf];
        }
    }
    return "attachment; filename=\"" + asciiFallback(name) + "\"; filename*=UTF-8''" + encoded;
}

} // namespace zq::web
