#include "python/arguments.h"

#include <string_view>

#include "python/errors.h"
#include "query/packet_search.h"

namespace py = pybind11;

namespace {

// The label of a box keyword: the label itself, or its identifier spelling.
std::string_view BoxLabel(std::string_view keyword) {
    for (const CriterionBox& box : kCriterionBoxes) {
        if (box.label == keyword) {
            return box.label;
        }
        std::string spelled;
        for (const char c : box.label) {
            spelled += c == '\'' ? std::string("_prime") : std::string(1, c == ' ' ? '_' : c);
        }
        if (spelled == keyword) {
            return box.label;
        }
    }
    return keyword;
}

bool BoolValue(const std::string& keyword, const py::handle& value) {
    if (!py::isinstance<py::bool_>(value)) {
        Raise(ErrorKind::kArgument, keyword + ": the value must be True or False");
    }
    return value.cast<bool>();
}

}  // namespace

std::string PathArgument(const py::handle& path) {
    py::object fspath = py::module_::import("os").attr("fspath");
    py::object text;
    try {
        text = fspath(path);
    } catch (py::error_already_set&) {
        Raise(ErrorKind::kArgument, "a path must be a str or an os.PathLike");
    }
    if (!py::isinstance<py::str>(text)) {
        Raise(ErrorKind::kArgument, "a path must be a str or an os.PathLike");
    }
    return text.cast<std::string>();
}

CriteriaKeywords ApplyCriteriaKeywords(FindCriteria criteria, const py::kwargs& keywords,
                                       bool findKeys) {
    CriteriaKeywords result;
    for (const auto& [key, value] : keywords) {
        const std::string keyword = key.cast<std::string>();
        if (keyword == "text") {
            if (!py::isinstance<py::str>(value)) {
                Raise(ErrorKind::kArgument, "text: the value must be a str");
            }
            criteria.text = value.cast<std::string>();
            criteria.textEnabled = true;
        } else if (keyword == "check_all" || keyword == "clear_all") {
            if (BoolValue(keyword, value)) {
                SetAllCriteria(criteria, keyword == "check_all");
            }
        } else if (keyword == "check_all_types" || keyword == "clear_all_types") {
            if (BoolValue(keyword, value)) {
                SetAllMessageTypes(criteria, keyword == "check_all_types");
            }
        } else if (findKeys && keyword == "backward") {
            criteria.direction =
                BoolValue(keyword, value) ? FindDirection::kBackward : FindDirection::kForward;
        } else if (findKeys && keyword == "start") {
            if (!py::isinstance<py::int_>(value) || py::isinstance<py::bool_>(value) ||
                value.cast<py::int_>() < py::int_(0)) {
                Raise(ErrorKind::kArgument, "start: the value must be a row number (0 or more)");
            }
            result.start = value.cast<size_t>();
        } else {
            const std::optional<Criterion> box = CriterionByLabel(BoxLabel(keyword));
            if (!box) {
                Raise(ErrorKind::kArgument, UnknownBoxText(keyword));
            }
            criteria.on[*box] = BoolValue(keyword, value);
        }
    }
    result.criteria = criteria;
    return result;
}
