// The main window's commands: identifier, menu text (a tab separates the shortcut the menu
// prints), the keys that trigger it, and the rule that enables it. The keys decide what a key
// press does whatever shortcut the menu text prints.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

enum class CommandRule : uint8_t {
    kAlways,
    kNotCapturing,    // disabled while a capture records
    kLikeSave,        // not capturing, the document has its record file, no file decoding
    kNotConnected,    // enabled only while no analyzer is connected
    kCaptureControl,  // Run, Stop, Clear and the CC terminations: capture control decides
    kGraphPane,       // the graph commands: the graph pane decides
};

// What the enabling rules look at.
struct CommandState {
    bool capturing = false;
    bool hasRecordFile = false;  // the document has a record file it was opened or saved as
    bool decoding = false;       // a record file is being decoded
    bool connected = false;
};

struct CommandInfo {
    int id = 0;
    const char* menuText = "";
    const char* keys = "";  // portable key sequence text, "" for none
    CommandRule rule = CommandRule::kAlways;
};

inline constexpr int kCommandNew = 57600;
inline constexpr int kCommandOpen = 57601;
inline constexpr int kCommandSave = 57603;
inline constexpr int kCommandSaveAs = 57604;
inline constexpr int kCommandExport = 32858;
inline constexpr int kCommandStitch = 32876;
inline constexpr int kCommandExit = 57665;
inline constexpr int kCommandToolbars = 59392;
inline constexpr int kCommandStatusBar = 59393;
inline constexpr int kCommandRun = 32771;
inline constexpr int kCommandStop = 32772;
inline constexpr int kCommandClear = 32800;
inline constexpr int kCommandRecordSettings = 32803;
inline constexpr int kCommandRecordFileSettings = 32817;
inline constexpr int kCommandCurrentDirection = 32874;
inline constexpr int kCommandFind = 32807;
inline constexpr int kCommandFindPrev = 32810;
inline constexpr int kCommandFindNext = 32811;
inline constexpr int kCommandMessageAutoScroll = 32805;
inline constexpr int kCommandFilterSettings = 32850;
inline constexpr int kCommandDisableFilters = 32864;
inline constexpr int kCommandColumnSettings = 32843;
inline constexpr int kCommandListFont = 32869;
inline constexpr int kCommandShowGraph = 310;
inline constexpr int kCommandShowMeasuringPoints = 32836;
inline constexpr int kCommandShowPdPackets = 32841;
inline constexpr int kCommandGraphAutoScroll = 32802;
inline constexpr int kCommandGraphFont = 32872;
inline constexpr int kCommandInstallDriver = 32867;
inline constexpr int kCommandAbout = 57664;
inline constexpr int kCommandFirstCcInjection = 32900;
inline constexpr int kCcInjectionCommands = 12;

// Every command of the menus and the toolbar this table routes, in menu order.
std::span<const CommandInfo> MainCommands();
// The entry of id; none for an identifier the table does not hold.
const CommandInfo* FindCommand(int id);
// Whether the rule enables its command in state; none for kCaptureControl and kGraphPane,
// whose commands capture control and the graph pane enable themselves.
std::optional<bool> RuleEnables(CommandRule rule, const CommandState& state);

// The "Standard" toolbar, left to right: command identifiers, 0 for a separator.
std::span<const int> StandardToolBarLayout();
