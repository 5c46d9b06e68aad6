// Input lines: successive texts of the Parameters box, parsed one after another into one table.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "frames/named_params.h"
#include "fuzz_input.h"
#include "text/integers.h"
#include "text/words.h"

namespace brantel {
namespace {

using fuzz::Check;

bool IsPairPart(std::string_view text) {
    return !text.empty() && text.find_first_of(" :") == std::string_view::npos;
}

// Outcome of one pass: whether it completed.
bool Parse(NamedParamTable& table, std::string_view text) {
    try {
        table.Parse(text);
        return true;
    } catch (const ConversionError&) {
        return false;
    } catch (...) {
        Check(false, "Parse throws nothing but ConversionError");
        return false;
    }
}

void CheckCurrentEntries(const NamedParamTable& table) {
    const auto& entries = table.NamedParams();
    const int count = table.NamedParamCount();
    Check(count >= 0 && count <= kMaxNamedParams, "the count stays within the table");
    for (int i = 0; i < count; ++i) {
        const NamedParam& entry = entries[static_cast<std::size_t>(i)];
        Check(IsPairPart(entry.name), "a name is non-empty, without space or ':'");
        if (const auto* text = std::get_if<std::string>(&entry.value)) {
            Check(IsPairPart(*text), "a text value is non-empty, without space or ':'");
        }
        const NamedParam* found = table.LookupNamedParam(entry.name);
        Check(found != nullptr && found <= &entry && found->name == entry.name,
              "the lookup finds the first current entry of a name");
    }
}

bool SameEntries(const NamedParamTable& a, const NamedParamTable& b) {
    if (a.NamedParamCount() != b.NamedParamCount()) {
        return false;
    }
    for (std::size_t i = 0; i < static_cast<std::size_t>(a.NamedParamCount()); ++i) {
        const NamedParam& x = a.NamedParams()[i];
        const NamedParam& y = b.NamedParams()[i];
        if (x.name != y.name || x.value != y.value) {
            return false;
        }
    }
    return true;
}

}  // namespace
}  // namespace brantel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brantel;
    using fuzz::Check;
    NamedParamTable table;
    for (std::string_view text : fuzz::SplitLines(fuzz::AsText(data, size))) {
        const int before = table.NamedParamCount();
        const bool completed = Parse(table, text);
        CheckCurrentEntries(table);
        if (!completed) {
            Check(table.NamedParamCount() == before, "a failed pass keeps the previous count");
            continue;
        }
        Check(table.NamedParamCount() <= CountWords(text, DelimiterSet(" ")),
              "at most one entry per pair");
        NamedParamTable fresh;
        Check(Parse(fresh, text) && SameEntries(fresh, table),
              "a completed pass does not depend on the table's earlier contents");
    }
    return 0;
}
