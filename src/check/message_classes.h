// Which messages ask for a response, and the fields of EPR_Mode, Extended_Control and VDM
// headers that the sequence rules read.
#pragma once

#include <cstdint>
#include <optional>

#include "check/walk_message.h"

inline constexpr int kEprModeEnter = 1;
inline constexpr int kEprModeEnterAcknowledged = 2;
inline constexpr int kEprModeEnterSucceeded = 3;
inline constexpr int kEprModeEnterFailed = 4;
inline constexpr int kEprModeExit = 5;
inline constexpr int kExtendedControlEprKeepAlive = 3;

// EPR_Mode action (bits 31-24 of its data object); 0 for other messages.
int EprModeAction(const WalkMessage& message);
// Extended_Control type (first data byte); 0 for other messages.
int ExtendedControlType(const WalkMessage& message);
// tReceiverResponse in µs for a message that asks for a response (25 ms for Enter/Exit Mode),
// none for the others.
std::optional<int64_t> ResponseLimit(const WalkMessage& message);
// Request or EPR_Request.
bool IsRequest(const WalkMessage& message);
// Accept, Reject or Wait.
bool IsRequestAnswer(const WalkMessage& message);
