// zoduz.simulate and zoduz.scenarios: record files of synthesized USB PD traffic for tests.
#include <string>

#include <pybind11/stl.h>

#include "device/sim/scenarios.h"
#include "python/arguments.h"
#include "python/bindings.h"
#include "python/errors.h"
#include "query/simulation_file.h"

namespace py = pybind11;

namespace {

double Number(const std::string& name, const py::handle& value) {
    if (py::isinstance<py::bool_>(value) ||
        !(py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value))) {
        Raise(ErrorKind::kArgument, name + ": the value must be a number");
    }
    return value.cast<double>();
}

int Integer(const std::string& name, const py::handle& value) {
    if (py::isinstance<py::bool_>(value) || !py::isinstance<py::int_>(value)) {
        Raise(ErrorKind::kArgument, name + ": the value must be an int");
    }
    const py::int_ number = value.cast<py::int_>();
    if (number < py::int_(INT32_MIN) || number > py::int_(INT32_MAX)) {
        Raise(ErrorKind::kArgument, name + ": the value is out of range");
    }
    return number.cast<int>();
}

// The options of zoduz-cli simulate by their names without "--", "-" written "_".
void ApplyOption(SimulationRequest& request, const std::string& name, const py::handle& value) {
    SimulationOptions& o = request.options;
    if (name == "seconds") {
        o.seconds = Number(name, value);
    } else if (name == "seed") {
        if (py::isinstance<py::bool_>(value) || !py::isinstance<py::int_>(value) ||
            value.cast<py::int_>() < py::int_(0) || value.cast<py::int_>() > py::int_(UINT64_MAX)) {
            Raise(ErrorKind::kArgument, "seed: the value must be an int from 0 to 2**64-1");
        }
        o.seed = value.cast<uint64_t>();
    } else if (name == "interval_ms") {
        o.intervalMs = Integer(name, value);
    } else if (name == "divider") {
        o.clockDivider = Integer(name, value);
    } else if (name == "unit_interval") {
        o.unitIntervalUs = Number(name, value);
    } else if (name == "jitter") {
        o.jitterUs = Number(name, value);
    } else if (name == "skew") {
        o.distortion.levelSkewUs = Number(name, value);
    } else if (name == "preamble_bits") {
        o.distortion.preambleBits = Integer(name, value);
    } else if (name == "damage_kcode") {
        o.distortion.damagedKCode = Integer(name, value);
    } else if (name == "raw") {
        if (!py::isinstance<py::bool_>(value)) {
            Raise(ErrorKind::kArgument, "raw: the value must be True or False");
        }
        o.recordFile = !value.cast<bool>();
    } else if (name == "script") {
        request.script = value.is_none() ? std::string() : PathArgument(value);
    } else {
        Raise(ErrorKind::kArgument,
              "unknown option '" + name +
                  "'; valid options: seconds, seed, interval_ms, divider, unit_interval, jitter, "
                  "skew, preamble_bits, damage_kcode, raw, script");
    }
}

py::dict SimulateScenario(const std::string& scenario, const py::object& path,
                          const py::kwargs& options) {
    SimulationRequest request;
    request.options.scenario = scenario;
    request.output = PathArgument(path);
    for (const auto& [key, value] : options) {
        ApplyOption(request, key.cast<std::string>(), value);
    }
    SimulationOutcome outcome;
    {
        py::gil_scoped_release released;
        outcome = SimulateRecordFile(request);
    }
    if (outcome.kind != SimulationOutcome::kOk) {
        Raise(outcome.kind == SimulationOutcome::kBadRequest ? ErrorKind::kArgument
                                                             : ErrorKind::kWriteFailed,
              outcome.message);
    }
    const SimulationSummary& s = outcome.summary;
    py::dict summary;
    summary["scenario"] = s.scenario;
    summary["seed"] = s.seed;
    summary["messages"] = s.messages;
    summary["faulty_messages"] = s.faultyMessages;
    summary["samples"] = s.samples;
    summary["sample_blocks"] = s.sampleBlocks;
    summary["cc_edge_blocks"] = s.ccEdgeBlocks;
    summary["duration_us"] = s.durationUs;
    summary["size"] = s.size;
    return summary;
}

}  // namespace

void BindSimulate(py::module_& module) {
    module.def("simulate", &SimulateScenario, py::arg("scenario"), py::arg("path"),
               "Writes a record file of a synthesized scenario, as zoduz-cli simulate; returns "
               "its summary.");
    module.def(
        "scenarios",
        [] {
            py::dict scenarios;
            for (const ScenarioInfo& info : Scenarios()) {
                scenarios[info.name] = info.summary;
            }
            return scenarios;
        },
        "The scenarios of simulate by name, with a one-line summary each.");
}
