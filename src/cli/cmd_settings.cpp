// zoduz-cli settings: every effective setting of the application's store, one per line.
#include <cstdio>

#include "capture/record_naming.h"
#include "cli/commands.h"
#include "settings/graph_appearance.h"
#include "settings/settings_listing.h"
#include "settings/settings_store.h"

#ifdef ZODUZ_CLI_QSETTINGS
#include "settings/qt/qsettings_backend.h"
#else
#include "settings/memory_settings_backend.h"
#endif

namespace {

void PrintSettings(const SettingsBackend& backend, const std::string& location) {
    // Looking up the default data folder creates it when missing, as the application's
    // start-up does; it is needed to tell whether the record folder is the default one.
    const std::string defaultFolder = DefaultDataFolder();
    SettingsStore store;
    LoadSettings(backend, store, defaultFolder);
    std::printf("# store: %s\n", location.c_str());
    for (const SettingLine& line : ListSettings(store, defaultFolder, ReadGraphShownFlags(backend),
                                                ReadGraphAppearance(backend))) {
        std::printf("%s\t%s\t%s\n", line.name.c_str(), line.value.c_str(),
                    line.isDefault ? "default" : "changed");
    }
}

}  // namespace

int RunSettings(const CliArgs& args) {
    if (!args.empty()) {
        std::fprintf(stderr, "usage: zoduz-cli settings\n");
        return 2;
    }
    if (CliParseOnly()) {
        return 0;
    }
#ifdef ZODUZ_CLI_QSETTINGS
    const QSettingsBackend backend;
    PrintSettings(backend, backend.Location());
#else
    // Without Qt there is no application and no store it could have written.
    const MemorySettingsBackend backend;
    PrintSettings(backend, "none (built without Qt: every value is its default)");
#endif
    return 0;
}
