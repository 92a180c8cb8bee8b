// Tells other programs on the desktop when VBUS appears or disappears: a D-Bus signal on the
// session bus (docs/vbus-broadcast.md describes the interface).
#pragma once

#include <QString>

#include "device/live/live_readings.h"

inline constexpr const char* kBroadcastService = "com.dazerav.Zoduz";
inline constexpr const char* kBroadcastPath = "/com/dazerav/Zoduz";
inline constexpr const char* kBroadcastInterface = "com.dazerav.Zoduz.Capture";
inline constexpr const char* kBroadcastSignal = "DavazaConnStateChanged";

class CVbusBroadcast {
  public:
    // Connects to the session bus and takes the service name when it is free. Without a
    // session bus the broadcast is unavailable and Send does nothing.
    CVbusBroadcast();

    bool Available() const { return available_; }
    // Emits the signal: calibrated VBUS, CC1 and CC2 voltages in mV and whether VBUS is present.
    bool Send(const VbusPresenceChange& change) const;

  private:
    bool available_ = false;
};
