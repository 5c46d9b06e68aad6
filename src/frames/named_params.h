#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace brantel {

inline constexpr int kMaxNamedParams = 50;

struct NamedParam {
    std::string name;
    std::variant<std::int32_t, std::string> value;
};

// The table of named parameters, rebuilt from the whole Parameters text on every change.
class NamedParamTable {
  public:
    // Re-parses the text. A value that starts with a digit and is not an integer throws
    // ConversionError; the count then keeps the last completed pass's value.
    void Parse(std::string_view text);

    // The first current entry whose name equals the token exactly, or nullptr.
    const NamedParam* LookupNamedParam(std::string_view token) const;

    int NamedParamCount() const { return count_; }
    const std::array<NamedParam, kMaxNamedParams>& NamedParams() const { return entries_; }

  private:
    std::array<NamedParam, kMaxNamedParams> entries_{};
    int count_ = 0;
};

}  // namespace brantel
