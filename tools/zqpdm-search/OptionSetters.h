#pragma once
// The options that hold for the whole run (--page, --home, --format, --save, --quick, ...), each
// with the setter that checks its value and stores it in SearchOptions.
#include "SearchCommandLine.h"

#include <functional>
#include <map>

namespace zq::tool::args {

using OptionSetter = std::function<void(SearchOptions&, const QString& option, const QString& value)>;

const std::map<QString, OptionSetter>& optionSetters();

} // namespace zq::tool::args
