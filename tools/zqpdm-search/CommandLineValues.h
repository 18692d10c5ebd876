#pragma once
// The steps every option's value goes through: a malformed one ends the parse with a usage
// message, carried up to SearchCommandLine::parse().
#include <QString>
#include <utility>

namespace zq::tool::args {

struct UsageError {
    QString message;
};

[[noreturn]] void fail(const QString& message);

// A whole number of at least minimum, written plainly (no sign, no spaces); what names it in the message.
int parseNumber(const QString& option, const QString& text, int minimum, const QString& what);

// "LEFT<sep>RIGHT" split at the first separator; form names the expected shape in the message.
std::pair<QString, QString> splitOnce(const QString& option, const QString& text, QChar separator, const QString& form);

} // namespace zq::tool::args
