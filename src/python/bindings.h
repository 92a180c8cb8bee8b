// The parts of the zoduz module, each adding its classes and functions.
#pragma once

#include <pybind11/pybind11.h>

// zoduz.Packet and the packet sequence of a capture.
void BindPacket(pybind11::module_& module);
// zoduz.open and zoduz.Capture.
void BindCapture(pybind11::module_& module);
// zoduz.simulate and zoduz.scenarios.
void BindSimulate(pybind11::module_& module);
