#include "cli/criteria_args.h"

#include "query/packet_search.h"

namespace {

CriteriaArg SetBox(const std::string& assignment, FindCriteria& criteria, std::string& error) {
    const size_t equals = assignment.rfind('=');
    if (equals == std::string::npos) {
        error = "--set needs LABEL=on or LABEL=off, got '" + assignment + "'";
        return CriteriaArg::kError;
    }
    const std::string label = assignment.substr(0, equals);
    const std::string value = assignment.substr(equals + 1);
    if (value != "on" && value != "off") {
        error = "--set " + label + ": the value must be on or off, got '" + value + "'";
        return CriteriaArg::kError;
    }
    return SetCriterionBox(criteria, label, value == "on", error) ? CriteriaArg::kApplied
                                                                  : CriteriaArg::kError;
}

}  // namespace

CriteriaArg ApplyCriteriaArg(const CliArgs& args, size_t& i, FindCriteria& criteria,
                             std::string& error) {
    const std::string& arg = args[i];
    if (arg == "--check-all" || arg == "--clear-all") {
        SetAllCriteria(criteria, arg == "--check-all");
        return CriteriaArg::kApplied;
    }
    if (arg == "--check-all-types" || arg == "--clear-all-types") {
        SetAllMessageTypes(criteria, arg == "--check-all-types");
        return CriteriaArg::kApplied;
    }
    if (arg != "--set" && arg != "--text") {
        return CriteriaArg::kNotCriteria;
    }
    if (i + 1 >= args.size()) {
        error = arg + " needs a value";
        return CriteriaArg::kError;
    }
    const std::string& value = args[++i];
    if (arg == "--text") {
        criteria.text = value;
        criteria.textEnabled = true;
        return CriteriaArg::kApplied;
    }
    return SetBox(value, criteria, error);
}
