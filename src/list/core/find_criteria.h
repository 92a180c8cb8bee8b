// The packet criteria that the find dialog and the display filter dialog edit: 13 channel,
// ordered-set and role boxes, 56 message-type boxes and three error boxes, the direction, the
// containing text and the dialog switches, with the labels and control ids of their boxes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The 72 criterion boxes, in the order of their members. The message-type boxes run from
// kFirstMessageType in the order of kMessageTypeBoxes.
enum Criterion : int {
    kCritCc1 = 0,
    kCritCc2,
    kCritSop,
    kCritSopPrime,
    kCritSopDoublePrime,
    kCritHardReset,
    kCritCableReset,
    kCritSopPrimeDebug,
    kCritSopDoublePrimeDebug,
    kCritSource,
    kCritSink,
    kCritDfp,
    kCritUfp,
    kFirstMessageType,
    kCritInvalidPacket = kFirstMessageType + 56,
    kCritCrcError,
    kCritNoErrors,
    kCriterionCount,
};

inline constexpr int kMessageTypeBoxCount = 56;

enum class MessageClass : uint8_t { kControl, kData, kExtended };

// One box of the dialog: its label as shown, its control id and the group it sits in.
struct CriterionBox {
    std::string_view label;
    int controlId;
    std::string_view group;
};

// One message-type box: the class and type number it stands for.
struct MessageTypeBox {
    MessageClass messageClass;
    int type;
};

// Every criterion box by Criterion.
extern const std::array<CriterionBox, kCriterionCount> kCriterionBoxes;
// Class and type of each message-type box, index 0 = kFirstMessageType.
extern const std::array<MessageTypeBox, kMessageTypeBoxCount> kMessageTypeBoxes;

// The Criterion of a box label ("CC1", "SOP'", "Hard Reset", "GoodCRC", "No Errors", ...);
// none for any other text.
std::optional<Criterion> CriterionByLabel(std::string_view label);
// The message-type box of a class and type number; none when no box has them.
std::optional<Criterion> MessageTypeCriterion(MessageClass messageClass, int type);

enum class FindDirection : int { kForward = 0, kBackward = 1 };
enum class CriteriaMode : int { kFind = 0, kFilter = 1 };

struct FindCriteria {
    std::array<bool, kCriterionCount> on{};
    FindDirection direction = FindDirection::kForward;
    bool allowAll = false;     // "Allow to change all settings"
    bool textEnabled = false;  // "Enable Text"
    std::string text;
    CriteriaMode mode = CriteriaMode::kFind;

    bool operator==(const FindCriteria&) const = default;
};

// The find dialog's criteria as constructed: every channel, SOP, SOP', SOP'', role and
// "No Errors" box on, everything else off.
FindCriteria FindDefaults();
// The display filter as the main window creates it: filter mode, then "Check All".
FindCriteria FilterStartValues();

// "Check All Message Types" / "Clear All Message Types": all 56 message-type boxes.
void SetAllMessageTypes(FindCriteria& criteria, bool on);
// "Check All" / "Clear All": all 72 criterion boxes; direction, text and switches stay.
void SetAllCriteria(FindCriteria& criteria, bool on);

// The text to look for: `text` when "Enable Text" is on, else "".
std::string ContainingText(const FindCriteria& criteria);
