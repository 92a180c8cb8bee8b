// The named scenarios of the synthesizer. Each one scripts a USB PD conversation with its
// electrical side on a Conversation; the same seed always gives the same script.
#pragma once

#include <string_view>
#include <vector>

#include "device/sim/conversation.h"

struct ScenarioInfo {
    const char* name;
    const char* summary;    // one line for `zoduz-cli simulate --list`
    double defaultSeconds;  // capture length when none is asked for
    // Appends the scenario at the conversation's current time. `seconds` is the asked capture
    // length; scenarios with a fixed script ignore it.
    void (*build)(Conversation& talk, SimRandom& random, double seconds);
};

// Every scenario, in the order `--list` shows them.
const std::vector<ScenarioInfo>& Scenarios();
// The scenario of that name, or null.
const ScenarioInfo* FindScenario(std::string_view name);

void BuildSprScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildEprScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildPrSwapScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildHardResetScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildLongScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildAltModeScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildNoisyScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildCatalogScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildMixedScenario(Conversation& talk, SimRandom& random, double seconds);
void BuildFaultsScenario(Conversation& talk, SimRandom& random, double seconds);
