// zoduz.open and zoduz.Capture: a decoded record file with its packets, samples, counters,
// measurements, find, filter, and its protocol and timing checks.
#include <string>

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "check/check_format.h"
#include "check/check_walk.h"
#include "pd/packet_column.h"
#include "python/arguments.h"
#include "python/bindings.h"
#include "python/errors.h"
#include "python/packet_object.h"
#include "query/capture_info.h"
#include "query/measurement.h"
#include "query/packet_search.h"

namespace py = pybind11;

namespace {

struct CaptureObject {
    std::shared_ptr<const OpenedCapture> capture;
    // The sample array, made when first asked for and read-only, so that every caller can be
    // handed the same one.
    py::object samples;
};

CaptureObject Open(const py::object& path, bool tolerant, bool reverseCurrent) {
    const std::string file = PathArgument(path);
    OpenOutcome outcome;
    std::shared_ptr<const OpenedCapture> capture;
    {
        py::gil_scoped_release released;
        capture = OpenedCapture::Open(file, {tolerant, reverseCurrent}, outcome);
    }
    if (!capture) {
        RaiseOpenFailure(outcome);
    }
    return {capture, py::none()};
}

py::dtype SampleType() {
    py::list fields;
    fields.append(py::make_tuple("time_us", "<i8"));
    for (const char* name : {"vbus_mv", "vbus_ma", "cc1_mv", "cc1_ma", "cc2_mv", "cc2_ma"}) {
        fields.append(py::make_tuple(name, "<i4"));
    }
    return py::dtype::from_args(fields);
}

py::object Samples(CaptureObject& self) {
    if (!self.samples.is_none()) {
        return self.samples;
    }
    const SampleSnapshot samples = self.capture->Doc().Snapshot().samples;
    py::array array(SampleType(),
                    std::vector<py::ssize_t>{static_cast<py::ssize_t>(samples.Size())});
    auto* records = static_cast<SampleRecord*>(array.mutable_data());
    {
        py::gil_scoped_release released;
        CopySamples(samples, self.capture->Options().reverseCurrent,
                    std::span<SampleRecord>(records, samples.Size()));
    }
    array.attr("flags").attr("writeable") = false;
    self.samples = array;
    return array;
}

py::object Mark(const std::optional<InfoPacketMark>& mark) {
    if (!mark) {
        return py::none();
    }
    return py::make_tuple(mark->number, mark->relTime);
}

py::dict Info(const CaptureObject& self) {
    std::string error;
    std::optional<StreamInfo> stream;
    {
        py::gil_scoped_release released;
        stream = self.capture->Stream(error);
    }
    if (!stream) {
        Raise(ErrorKind::kUnreadableFile, error);
    }
    py::dict info;
    info["size"] = stream->size;
    py::list entries;
    for (const InfoEntryLine& entry : stream->entries) {
        entries.append(py::make_tuple(entry.offset, entry.type, entry.value));
    }
    info["info_entries"] = entries;
    info["sample_blocks"] = stream->sampleBlocks;
    info["cc_edge_blocks"] = stream->ccEdgeBlocks;
    info["info_blocks"] = stream->infoBlocks;
    info["trailing_bytes"] = stream->trailingBytes;
    info["samples"] = stream->samples;
    info["raw_packets"] = stream->rawPackets;
    const DocumentInfo document = ReadDocumentInfo(self.capture->Doc());
    py::dict decoded;
    for (const InfoValue& value : document.values) {
        decoded[py::str(value.name)] = value.value;
    }
    decoded["markerA"] = Mark(document.markerA);
    decoded["markerB"] = Mark(document.markerB);
    py::list marked;
    for (const InfoPacketMark& mark : document.marked) {
        marked.append(Mark(mark));
    }
    decoded["marked"] = marked;
    decoded["graphMarkerOTime"] = document.graphMarkerOTime;
    decoded["graphMarkerXTime"] = document.graphMarkerXTime;
    info["document"] = decoded;
    return info;
}

py::dict Measure(const CaptureObject& self, int64_t markerO, int64_t markerX) {
    const Measurement m = MeasureBetween(self.capture->Doc().Snapshot(), markerO, markerX,
                                         self.capture->Options().reverseCurrent);
    py::dict result;
    result["text"] = m.text;
    result["energy_mwh"] = m.energyMilliwattHours;
    result["average_w"] = m.averageWatts;
    result["positive_mj"] = m.positiveMj;
    result["negative_mj"] = m.negativeMj;
    result["samples"] = m.samples;
    return result;
}

py::list Find(const CaptureObject& self, const py::kwargs& keywords) {
    const CriteriaKeywords given = ApplyCriteriaKeywords(FindDefaults(), keywords, true);
    const CaptureRows& rows = self.capture->Rows();
    const size_t count = rows.doc.PacketCount();
    if (given.start && *given.start >= count) {
        Raise(ErrorKind::kNoPacket,
              NoPacketText(static_cast<int64_t>(*given.start), self.capture->Path(), count));
    }
    std::vector<FindMatch> matches;
    {
        py::gil_scoped_release released;
        matches = FindMatches(given.criteria, rows, given.start);
    }
    py::list found;
    for (const FindMatch& match : matches) {
        found.append(py::make_tuple(static_cast<int64_t>(match.row), match.column,
                                    ColumnShortTitle(match.column)));
    }
    return found;
}

py::list Filter(const CaptureObject& self, const py::kwargs& keywords) {
    const CriteriaKeywords given = ApplyCriteriaKeywords(FilterStartValues(), keywords, false);
    std::vector<size_t> shown;
    {
        py::gil_scoped_release released;
        shown = FilteredRows(given.criteria, self.capture->Rows());
    }
    return PacketList(self.capture, shown);
}

// profile: "3.0" for the PD 3.0-era windows; None or "3.1" for the current ones.
CheckReport RunChecks(const CaptureObject& self, const std::optional<std::string>& profile) {
    if (profile && *profile != "3.0" && *profile != "3.1") {
        Raise(ErrorKind::kArgument,
              "profile must be \"3.0\", \"3.1\" or None, not \"" + *profile + "\"");
    }
    py::gil_scoped_release released;
    return CheckCapture(self.capture->Doc().Snapshot(), CheckOptions{profile == "3.0"});
}

// Each record as the dictionary of its JSON line in zoduz-cli check and contracts, so that the
// keys, units and time base are the same in both.
template <typename Record, typename Format>
py::list AsDictionaries(const std::vector<Record>& records, Format format, int64_t timeOrigin) {
    const py::object loads = py::module_::import("json").attr("loads");
    py::list list;
    for (const Record& record : records) {
        list.append(loads(format(record, timeOrigin)));
    }
    return list;
}

py::list Check(const CaptureObject& self, const std::optional<std::string>& profile) {
    const CheckReport report = RunChecks(self, profile);
    return AsDictionaries(report.findings, &FindingJson, self.capture->Rows().context.timeOrigin);
}

py::list Contracts(const CaptureObject& self) {
    const CheckReport report = RunChecks(self, std::nullopt);
    return AsDictionaries(report.contracts, &ContractJson, self.capture->Rows().context.timeOrigin);
}

std::string Repr(const CaptureObject& self) {
    return "<zoduz.Capture '" + self.capture->Path() +
           "': " + std::to_string(self.capture->Doc().PacketCount()) + " packets, " +
           std::to_string(self.capture->Doc().SampleCount()) + " samples>";
}

}  // namespace

void BindCapture(py::module_& module) {
    py::class_<CaptureObject>(module, "Capture",
                              "A decoded record file (.zaz) or sigrok session (.sr).")
        .def_property_readonly("path", [](const CaptureObject& c) { return c.capture->Path(); })
        .def_property_readonly("tolerant",
                               [](const CaptureObject& c) { return c.capture->Options().tolerant; })
        .def_property_readonly(
            "reverse_current",
            [](const CaptureObject& c) { return c.capture->Options().reverseCurrent; })
        .def_property_readonly(
            "time_origin_us",
            [](const CaptureObject& c) { return c.capture->Rows().context.timeOrigin; })
        .def_property_readonly(
            "problems", [](const CaptureObject& c) { return c.capture->Problems(); },
            "The notice of a file that ends in a partial block or is shorter than recorded.")
        .def_property_readonly("packets",
                               [](const CaptureObject& c) { return PacketSequenceOf(c.capture); })
        .def_property_readonly("samples", &Samples,
                               "Every VBUS/CC sample as a read-only NumPy structured array.")
        .def("info", &Info, "The counters of zoduz-cli info.")
        .def("measure", &Measure, py::arg("o_us"), py::arg("x_us"),
             "Energy and average power between two graph times, as zoduz-cli measure.")
        .def("find", &Find, "Every packet the find criteria match: (number, column, title).")
        .def("filter", &Filter, "The packets the display filter shows.")
        .def("check", &Check, py::arg("profile") = py::none(),
             "The protocol and timing findings, as the JSON lines of zoduz-cli check.")
        .def("contracts", &Contracts,
             "The explicit contracts negotiated, as the JSON lines of zoduz-cli contracts.")
        .def("__repr__", &Repr);

    module.def("open", &Open, py::arg("path"), py::arg("tolerant") = false,
               py::arg("reverse_current") = false,
               "Opens and decodes a record file (.zaz) or a sigrok session (.sr).");
}
