#include "device/sim/scenarios.h"

#include "device/sim/scenario_steps.h"

const std::vector<ScenarioInfo>& Scenarios() {
    static const std::vector<ScenarioInfo> scenarios = {
        {"spr", "SPR contract: 5/9/15/20 V fixed and PPS offered, 20 V requested, then PPS", 3.0,
         BuildSprScenario},
        {"epr",
         "EPR entry: SPR contract, EPR_Mode, chunked EPR_Source_Capabilities, 28 V, "
         "keep-alives",
         6.0, BuildEprScenario},
        {"pr-swap",
         "power role swap: contract, PR_Swap, PS_RDY from both sides, new contract, "
         "DR_Swap",
         3.0, BuildPrSwapScenario},
        {"alt-mode",
         "DisplayPort alternate mode: cable Discover Identity on SOP', SVIDs, modes, "
         "Enter Mode, DP Status/Configure, Attention",
         3.0, BuildAltModeScenario},
        {"hard-reset", "Soft_Reset, Hard Reset with VBUS recovery, new contract, Cable Reset", 4.0,
         BuildHardResetScenario},
        {"noisy",
         "every fault kind (glitch, bad CRC, missing EOP, damaged ordered set, unit "
         "interval, truncated burst) among good traffic on CC1 and CC2",
         4.0, BuildNoisyScenario},
        {"catalog", "every control, data and extended message type, debug ordered sets, PD 2.0",
         6.0, BuildCatalogScenario},
        {"long", "hours of samples with PPS traffic every few seconds (size and speed work)",
         3600.0, BuildLongScenario},
        {"mixed", "all scenarios in sequence, with 30 s of the long one", 60.0, BuildMixedScenario},
        {"faults", "planted protocol, timing and power faults, one connection each, for the checks",
         30.0, BuildFaultsScenario},
    };
    return scenarios;
}

const ScenarioInfo* FindScenario(std::string_view name) {
    for (const ScenarioInfo& info : Scenarios()) {
        if (name == info.name) {
            return &info;
        }
    }
    return nullptr;
}

void BuildMixedScenario(Conversation& talk, SimRandom& random, double /*seconds*/) {
    for (const ScenarioInfo& info : Scenarios()) {
        std::string_view name = info.name;
        if (name == "mixed" || name == "faults") {
            continue;
        }
        info.build(talk, random, name == "long" ? 30.0 : info.defaultSeconds);
        Detach(talk);
    }
}
