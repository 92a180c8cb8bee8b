#include "app/shell/command_table.h"

#include <algorithm>
#include <array>

namespace {

using enum CommandRule;

// The CC Register Injection items keep the texts capture control gives them.
constexpr std::array kCommands{
    CommandInfo{kCommandNew, "&New\tCtrl+N", "Ctrl+N", kNotCapturing},
    CommandInfo{kCommandOpen, "&Open...\tCtrl+O", "Ctrl+O", kNotCapturing},
    CommandInfo{kCommandSave, "&Save\tCtrl+S", "Ctrl+S", kLikeSave},
    CommandInfo{kCommandSaveAs, "Save &As...", "", kLikeSave},
    CommandInfo{kCommandExport, "&Export...", "", kLikeSave},
    CommandInfo{kCommandStitch, "Stitch Record Files", "", kLikeSave},
    CommandInfo{kCommandExit, "E&xit", "", kAlways},
    CommandInfo{kCommandToolbars, "&Toolbars and Docking Windows", "", kAlways},
    CommandInfo{kCommandStatusBar, "&Status Bar", "", kAlways},
    CommandInfo{kCommandCurrentDirection, "VBUS Current Direction Setting", "", kAlways},
    CommandInfo{kCommandRun, "&Run\tCtrl+R", "Ctrl+R", kCaptureControl},
    CommandInfo{kCommandStop, "&Stop\tCtrl+P", "Ctrl+P", kCaptureControl},
    CommandInfo{kCommandClear, "&Clear\tCtrl+D", "Ctrl+D", kCaptureControl},
    CommandInfo{kCommandRecordSettings, "Record Settings", "", kNotCapturing},
    CommandInfo{kCommandRecordFileSettings, "Record File Settings", "", kNotCapturing},
    CommandInfo{kCommandFind, "&Find\tCtrl+F", "Ctrl+F", kAlways},
    CommandInfo{kCommandFindPrev, "Find &Prev\tShift+F3", "Shift+F3", kAlways},
    CommandInfo{kCommandFindNext, "Find &Next\tF3", "F3", kAlways},
    CommandInfo{kCommandMessageAutoScroll, "&Auto Scroll", "", kAlways},
    CommandInfo{kCommandFilterSettings, "Display Filter Settings", "", kAlways},
    CommandInfo{kCommandDisableFilters, "Disable Display Filters", "", kAlways},
    CommandInfo{kCommandColumnSettings, "Column Settings", "", kAlways},
    CommandInfo{kCommandListFont, "Font Settings", "", kAlways},
    CommandInfo{kCommandShowGraph, "&Show Graph\tF7", "F7", kAlways},
    CommandInfo{kCommandShowMeasuringPoints, "Show Measuring &Points", "", kGraphPane},
    CommandInfo{kCommandShowPdPackets, "Show PD Packets", "", kGraphPane},
    CommandInfo{kCommandGraphAutoScroll, "&Auto Scroll", "", kGraphPane},
    CommandInfo{kCommandGraphFont, "Font Settings", "", kGraphPane},
    CommandInfo{kCommandInstallDriver, "Install Zoduz Driver", "", kNotConnected},
    CommandInfo{kCommandAbout, "&About Zoduz App...", "", kAlways},
};

constexpr std::array kStandardToolBar{
    kCommandNew,
    kCommandOpen,
    kCommandSaveAs,
    kCommandExport,
    0,
    kCommandRun,
    kCommandStop,
    kCommandClear,
    0,
    kCommandFind,
    kCommandFindPrev,
    kCommandFindNext,
    0,
    kCommandFilterSettings,
    kCommandDisableFilters,
    0,
    kCommandMessageAutoScroll,
    0,
    kCommandShowGraph,
    kCommandShowMeasuringPoints,
    kCommandShowPdPackets,
    kCommandGraphAutoScroll,
    0,
    kCommandRecordSettings,
    kCommandRecordFileSettings,
    0,
    kCommandAbout,
};

}  // namespace

std::span<const CommandInfo> MainCommands() {
    return kCommands;
}

const CommandInfo* FindCommand(int id) {
    const auto* found = std::find_if(kCommands.begin(), kCommands.end(),
                                     [id](const CommandInfo& info) { return info.id == id; });
    return found == kCommands.end() ? nullptr : found;
}

std::optional<bool> RuleEnables(CommandRule rule, const CommandState& state) {
    switch (rule) {
        case kAlways:
            return true;
        case kNotCapturing:
            return !state.capturing;
        case kLikeSave:
            return !state.capturing && state.hasRecordFile && !state.decoding;
        case kNotConnected:
            return !state.connected;
        case kCaptureControl:
        case kGraphPane:
            break;
    }
    return std::nullopt;
}

std::span<const int> StandardToolBarLayout() {
    return kStandardToolBar;
}
