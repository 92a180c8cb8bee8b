// Where a running zoduz answers remote control on the desktop's session bus: the service it
// owns, its object and the interface with the five requests and the VBUS presence signal
// (docs/automation.md). Shared by the application and by "zoduz-cli remote".
#pragma once

inline constexpr const char* kAutomationService = "com.dazerav.Zoduz";
inline constexpr const char* kAutomationPath = "/com/dazerav/Zoduz";
inline constexpr const char* kAutomationInterface = "com.dazerav.Zoduz.Capture";
inline constexpr const char* kVbusPresenceSignal = "DavazaConnStateChanged";

// Error names of refused requests: kAutomationErrorPrefix + the outcome's name.
inline constexpr const char* kAutomationErrorPrefix = "com.dazerav.Zoduz.Error.";
