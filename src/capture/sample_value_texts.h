// Texts of a sample's values in volts, amperes and watts, as the graph's read-outs and the
// export show them. reverseCurrent negates the current before use.
#pragma once

#include <string>

#include "capture/record_block.h"

enum class CcLine { Cc1, Cc2 };

std::string VBusVoltageText(const CVbusInfo& sample);
std::string VBusCurrentText(const CVbusInfo& sample, bool reverseCurrent);
std::string VBusWattageText(const CVbusInfo& sample, bool reverseCurrent);
std::string CcVoltageText(const CVbusInfo& sample, CcLine line);
std::string CcCurrentText(const CVbusInfo& sample, CcLine line, bool reverseCurrent);
