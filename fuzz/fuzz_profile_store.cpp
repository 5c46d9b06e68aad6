// Input: a first line "section|key|value" (or "key|value", or "value" for Main/Command1), then
// the content of the INI file as it lies on disk before the write.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "platform/profile_store.h"
#include "text/strings.h"

namespace brantel {
namespace {

namespace fs = std::filesystem;
using fuzz::Check;

// No stored value holds a line break, so this never reads as one.
constexpr std::string_view kMissing = "\n(missing)";

struct Pair {
    std::string section;
    std::string key;
};

// The file lives in memory where the system offers it: every write rewrites it.
const std::string& FuzzedFile() {
    static const std::string path = [] {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string directory = (base / "brantel-fuzz-XXXXXX").string();
        Check(::mkdtemp(directory.data()) != nullptr, "a scratch directory can be made");
        static const fs::path removed = directory;
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(removed, ignored);
        });
        return directory + "/fuzz.ini";
    }();
    return path;
}

std::string FileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void SetFileText(const std::string& path, std::string_view text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(text.data(), text.size());
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

bool IsStorable(std::string_view name) {
    return !name.empty() && name.find('\r') == std::string_view::npos;
}

// The key=value lines under a [section] line, at most 64, read by the plain rules of the format.
std::vector<Pair> PairsIn(std::string_view content) {
    std::vector<Pair> pairs;
    std::string_view section;
    bool inSection = false;
    for (std::string_view line : fuzz::SplitLines(content)) {
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        line = Trim(line);
        if (line.starts_with('[')) {
            section = Trim(line.substr(1, line.find(']') - 1));
            inSection = true;
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = Trim(line.substr(0, equals));
        if (inSection && equals != std::string_view::npos && !key.empty() && key.front() != ';') {
            pairs.push_back({std::string(section), std::string(key)});
        }
        if (pairs.size() == 64) {
            break;
        }
    }
    return pairs;
}

// The requested names made storable: without line breaks, "]" in a section or "=" in a key, not
// blank-edged, and a key that does not read as a comment or a section.
Pair RequestedPair(std::string_view section, std::string_view key) {
    std::string cleanSection(Trim(RemoveChar(RemoveChar(RemoveChar(section, '\r'), '\n'), ']')));
    std::string cleanKey(Trim(RemoveChar(RemoveChar(RemoveChar(key, '\r'), '\n'), '=')));
    if (cleanSection.empty()) {
        cleanSection = "Main";
    }
    if (cleanKey.empty() || cleanKey.front() == ';' || cleanKey.front() == '[') {
        cleanKey.insert(0, "K");
    }
    return {cleanSection, cleanKey};
}

// Writes the value and checks that it reads back exactly and that no other key changed.
void CheckWrite(ProfileStore& store, const Pair& target, const std::string& value) {
    const std::vector<Pair> pairs = PairsIn(FileText(store.Path()));
    std::vector<std::string> before;
    for (const Pair& pair : pairs) {
        before.push_back(store.ReadString(pair.section, pair.key, kMissing));
    }
    try {
        store.WriteString(target.section, target.key, value);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        Check(false, "a storable key and value are written");
    }
    Check(store.ReadString(target.section, target.key, kMissing) == value,
          "a written value reads back exactly");
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const bool written =
            SameName(pairs[i].section, target.section) && SameName(pairs[i].key, target.key);
        Check(written || store.ReadString(pairs[i].section, pairs[i].key, kMissing) == before[i],
              "a write leaves every other key's value as it was");
    }
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    const std::string_view input = fuzz::AsText(data, size);
    const auto [request, content] = fuzz::SplitFirstLine(input);

    std::vector<std::string_view> fields;
    std::size_t valueStart = 0;
    for (std::size_t bar = request.find('|'); bar != std::string_view::npos && fields.size() < 2;
         bar = request.find('|', valueStart)) {
        fields.push_back(request.substr(valueStart, bar - valueStart));
        valueStart = bar + 1;
    }
    const std::string value = RemoveChar(request.substr(valueStart), '\r');
    const Pair requested = fields.size() == 2   ? RequestedPair(fields[0], fields[1])
                           : fields.size() == 1 ? RequestedPair("Main", fields[0])
                                                : RequestedPair("Main", "Command1");

    const std::string& path = FuzzedFile();
    SetFileText(path, content);
    ProfileStore store(path);
    CheckWrite(store, requested, value);

    // A second write to a key the file already had, found by its own spelling.
    std::vector<Pair> existing = PairsIn(FileText(path));
    std::erase_if(existing, [](const Pair& pair) {
        return !IsStorable(pair.section) || !IsStorable(pair.key);
    });
    if (!existing.empty()) {
        CheckWrite(store, existing[value.size() % existing.size()], value + "2");
    }
    return 0;
}
