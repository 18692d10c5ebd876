#include "CommandLineValues.h"

namespace zq::tool::args {

void fail(const QString& message) { throw UsageError{message}; }

int parseNumber(const QString& option, const QString& text, int minimum, const QString& what)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || text.trimmed() != text || text.startsWith(u'+'))
        fail(QStringLiteral("%1: \"%2\" is not a valid %3").arg(option, text, what));
    return value;
}

std::pair<QString, QString> splitOnce(const QString& option, const QString& text, QChar separator, const QString& form)
{
    const qsizetype at = text.indexOf(separator);
    if (at < 0)
        fail(QStringLiteral("%1: \"%2\" is not of the form %3").arg(option, text, form));
    return {text.left(at), text.mid(at + 1)};
}

} // namespace zq::tool::args
