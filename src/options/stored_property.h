#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brantel {

// One control value kept by the stored options, seen as text.
class StoredProperty {
  public:
    virtual ~StoredProperty() = default;

    virtual std::string Text() const = 0;
    // Gives the property the text as a user's edit would (the control's change handling runs
    // when the text differs). Returns false, changing nothing, for a text the property cannot
    // hold; a failure of the change handling itself propagates.
    virtual bool Assign(const std::string& text) = 0;
};

// A text property: any text is taken unchanged.
class TextProperty final : public StoredProperty {
  public:
    TextProperty(std::function<std::string()> get, std::function<void(const std::string&)> set);
    std::string Text() const override;
    bool Assign(const std::string& text) override;

  private:
    std::function<std::string()> get_;
    std::function<void(const std::string&)> set_;
};

// A whole-number property stored as a decimal number with "." as decimal point. A stored
// fraction is rounded to the nearest whole number, a half to the even one.
class WholeNumberProperty final : public StoredProperty {
  public:
    WholeNumberProperty(std::function<int()> get, std::function<void(int)> set);
    std::string Text() const override;
    // False for a text that is no number or whose value lies outside the int range.
    bool Assign(const std::string& text) override;

  private:
    std::function<int()> get_;
    std::function<void(int)> set_;
};

// A decimal number: optional sign, digits with an optional "." fraction, optional exponent.
// Nothing else is accepted (no blanks, no hexadecimal, no infinities).
std::optional<double> ParseStoredNumber(std::string_view text);
// The nearest whole number, a half going to the even neighbour; nullopt outside the int range.
std::optional<int> RoundHalfToEven(double value);

}  // namespace brantel
