#include "SearchCommandLine.h"
#include "ActionArguments.h"
#include "CommandLineValues.h"
#include "OptionCombinations.h"
#include "OptionSetters.h"

namespace zq::tool {

using args::actionParsers;
using args::checkCombinations;
using args::fail;
using args::optionSetters;

namespace {

// --help or -h in an option's place asks for help wherever it stands; as the value of an option
// ("--quick --help") it is that option's text.
bool AsksForHelp(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == u"--help" || option == u"-h")
            return true;
        if (optionSetters().contains(option) || actionParsers().contains(option))
            ++i;
    }
    return false;
}

} // namespace

ParseResult SearchCommandLine::parse(const QStringList& arguments)
{
    ParseResult result;
    if (AsksForHelp(arguments)) {
        result.status = ParseResult::Status::Help;
        return result;
    }
    if (arguments == QStringList{QStringLiteral("--serve")}) {
        result.status = ParseResult::Status::Serve;
        return result;
    }
    try {
        QStringList seen;
        for (qsizetype i = 0; i < arguments.size(); ++i) {
            const QString& option = arguments[i];
            if (option == u"--find") {
                result.options.actions.append(Action{ActionKind::Find});
                continue;
            }
            if (option == u"--trace-sql") {
                result.options.traceSql = true;
                continue;
            }
            if (option == u"--serve")
                fail(QStringLiteral("--serve takes no other argument: each search asked of it names its own"));
            if (option == u"--describe") {
                result.options.describe = true;
                continue;
            }
            if (bool* flag = option == u"--shared"        ? &result.options.saveShared
                             : option == u"--fixed-dates" ? &result.options.saveFixedDates
                             : option == u"--replace"     ? &result.options.saveReplace
                             : option == u"--list-saved"  ? &result.options.listSaved
                                                          : nullptr) {
                *flag = true;
                continue;
            }
            const auto setter = optionSetters().find(option);
            const auto parser = actionParsers().find(option);
            if (setter == optionSetters().end() && parser == actionParsers().end())
                fail(option.startsWith(u'-') ? QStringLiteral("unknown option \"%1\"").arg(option)
                                             : QStringLiteral("unexpected argument \"%1\"").arg(option));
            if (i + 1 >= arguments.size())
                fail(QStringLiteral("%1 needs a value").arg(option));
            const QString& value = arguments[++i];
            if (setter != optionSetters().end()) {
                if (seen.contains(option))
                    fail(QStringLiteral("%1 is given twice").arg(option));
                seen.append(option);
                setter->second(result.options, option, value);
            } else {
                result.options.actions.append(parser->second(option, value));
            }
        }
        checkCombinations(result.options);
    } catch (const args::UsageError& error) {
        result.status = ParseResult::Status::Usage;
        result.error = error.message;
    }
    return result;
}

} // namespace zq::tool
