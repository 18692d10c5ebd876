#pragma once
// The options that add an action (--set, --cell, --click, ...), each with the parser that reads
// its value into an Action. Action::arguments() writes one back (ActionArguments.cpp).
#include "SearchCommandLine.h"

#include <functional>
#include <map>

namespace zq::tool::args {

using ActionParser = std::function<Action(const QString& option, const QString& value)>;

const std::map<QString, ActionParser>& actionParsers();

} // namespace zq::tool::args
