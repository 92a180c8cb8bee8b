// The Type-C current advertisement a sink reads on a CC wire: the vRd class of the CC voltage.
#pragma once

#include <cstdint>
#include <string>

enum class CcStatus { None, VrdUsb, Vrd15, Vrd30, VrdConnect };

// The vRd class of a CC voltage (mV). The three advertisement ranges are those of the graph's
// vRd bands; the gaps between them up to 2180 mV are vRd-Connect; below 250 mV and above
// 2180 mV there is no status.
CcStatus ClassifyCc(int32_t millivolts);

// "vRd-USB (CC1)" and the like for CC line 1 or 2; empty for None.
std::string CcStatusText(CcStatus status, int line);
