// Helper for bench/crash_safety.sh: saves two different records in turn as fast as it can until
// it is killed, and checks the settings folder after a kill.
//
//   save_loop loop DIR    alternate the two records in DIR/settings.json (stops itself after a
//                         minute so a lost process never runs on)
//   save_loop init DIR    saves a third record C, the state before the first kill
//   save_loop check DIR   prints A, B or C (the record the file holds) and "tmp" when the fixed
//                         temporary file was left; then checks that a load ignores that file and
//                         that a save of C replaces it. Exit 1 on any fault.
#include "store/PriorityStore.h"
#include "store/SettingsJson.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

namespace {

using vantorelle::PriorityStore;
using vantorelle::SavedDevice;
using vantorelle::StoredSettings;
namespace fs = std::filesystem;

StoredSettings recordA()
{
    StoredSettings settings;
    settings.inputPriority = {{"usb-mic", "USB Mic"}, {"builtin-mic", "Built-in Microphone"},
                              {"usb-mic", "USB Mic"}};
    settings.outputPriority = {{"spk", "Speakers"}};
    settings.notifyDeviceChange = true;
    return settings;
}

// Much longer than A, so a torn write of either shows as a truncated or mixed file.
StoredSettings recordB()
{
    StoredSettings settings;
    for (int i = 0; i < 40; ++i) {
        const std::string n = std::to_string(i);
        settings.outputPriority.push_back(
            SavedDevice{"alsa_output.pci-0000_00_1f.3.analog-stereo-" + n, "Headphones \u00e9 " + n});
    }
    settings.autoSwitchInput = false;
    settings.notifySound = true;
    return settings;
}

// Written by the check, so the next loop run starts from a third state.
StoredSettings recordC()
{
    StoredSettings settings;
    settings.inputPriority = {{"c", "C"}};
    settings.autoSwitchOutput = false;
    return settings;
}

std::optional<std::string> readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

int fail(std::string_view why)
{
    std::cout << "FAIL " << why << '\n';
    return 1;
}

int loop(const fs::path& folder)
{
    const PriorityStore store(folder);
    const StoredSettings a = recordA();
    const StoredSettings b = recordB();
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    for (unsigned long i = 0; std::chrono::steady_clock::now() < end; ++i) {
        store.save(i % 2 == 0 ? a : b);
    }
    return 0;
}

int check(const fs::path& folder)
{
    const PriorityStore store(folder);
    const fs::path file = store.filePath();
    const fs::path temporary = file.string() + ".tmp";

    const std::optional<std::string> text = readFile(file);
    if (!text) return fail("no settings file");
    const std::optional<StoredSettings> decoded = vantorelle::decodeSettings(*text);
    if (!decoded) return fail("settings file does not decode");
    const char* which = *decoded == recordA() ? "A" : *decoded == recordB() ? "B"
                      : *decoded == recordC() ? "C" : nullptr;
    if (!which) return fail("settings file holds neither record");

    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const fs::path name = entry.path().filename();
        if (name != "settings.json" && name != "settings.json.tmp")
            return fail("stray file " + name.string());
    }
    const bool leftTemporary = fs::exists(temporary);

    // Whatever the temporary file holds (nothing, half a record), a start must not read it...
    if (store.load() != *decoded) return fail("load does not give the file's record");
    // ...and the next save must take its place.
    store.save(recordC());
    if (store.load() != recordC()) return fail("save after the kill did not land");
    if (fs::exists(temporary)) return fail("temporary file survives a save");
    if (fs::exists(file.string() + ".unreadable")) return fail("a readable file was kept as unreadable");

    std::cout << which << (leftTemporary ? " tmp" : "") << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: save_loop loop|check DIR\n";
        return 2;
    }
    const std::string_view mode = argv[1];
    if (mode == "loop") return loop(argv[2]);
    if (mode == "check") return check(argv[2]);
    if (mode == "init") {
        PriorityStore(argv[2]).save(recordC());
        return 0;
    }
    std::cerr << "usage: save_loop loop|check DIR\n";
    return 2;
}
