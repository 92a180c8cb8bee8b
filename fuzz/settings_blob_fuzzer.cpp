// Arbitrary stored settings blobs: the layout record, a column record and the graph font are
// read through the same path as at start-up, then written back and read again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "list/core/column_info.h"
#include "settings/memory_settings_backend.h"
#include "settings/settings_listing.h"
#include "settings/settings_store.h"

namespace {
constexpr const char* kFolder = "/tmp/zoduz-fuzz-data";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    // The first three bytes split the rest among the three blobs.
    const std::span<const uint8_t> rest(data + 3, size - 3);
    const size_t layoutSize = std::min<size_t>(data[0], rest.size());
    const size_t columnSize = std::min<size_t>(data[1] % 32, rest.size() - layoutSize);
    const std::span<const uint8_t> layout = rest.first(layoutSize);
    const std::span<const uint8_t> column = rest.subspan(layoutSize, columnSize);
    const std::span<const uint8_t> font = rest.subspan(layoutSize + columnSize);

    MemorySettingsBackend backend;
    backend.WriteBinary(kLayoutValueName, layout);
    backend.WriteBinary(ColumnInfoValueName(data[2] % 38), column);
    backend.WriteBinary(kGraphFontName, font);

    SettingsStore store;
    ReadSettings(backend, store, kFolder);
    MemorySettingsBackend saved;
    SaveSettings(saved, store);
    SettingsStore reread;
    ReadSettings(saved, reread, kFolder);
    const auto before = ListSettings(store, kFolder, {}, DefaultGraphAppearance());
    const auto after = ListSettings(reread, kFolder, {}, DefaultGraphAppearance());
    if (before.size() != after.size()) {
        std::abort();
    }
    for (size_t i = 0; i < before.size(); ++i) {
        if (before[i].name != after[i].name || before[i].value != after[i].value) {
            std::abort();
        }
    }
    return 0;
}
