#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace brantel {

// The values a table's device keeps by name, as a device keeps its registers: the last value a
// request wrote, else the source its [Answers] entry gives, else 0 for a name a request may write.
// A source is a number (`V=0`), `counter(START,STEP)` (START, then STEP more at each read),
// `wave(MEAN,AMPLITUDE,PERIOD)` (a sine of PERIOD seconds) or `random(LOW,HIGH)` (uniform).
class AnswerValues {
  public:
    explicit AnswerValues(std::uint32_t seed = std::random_device{}());

    // Throws std::invalid_argument, saying what is wrong, for a text that is no source.
    void SetSource(const std::string& name, std::string_view text);
    // A name that requests capture: it reads 0 until one writes it.
    void AddWritable(const std::string& name);
    void Write(const std::string& name, double value);
    bool Knows(std::string_view name) const;
    // The value at `seconds` since the device started; nullopt for a name it does not keep.
    std::optional<double> Read(std::string_view name, double seconds);

  private:
    struct Source {
        enum class Kind { Constant, Counter, Wave, Random } kind = Kind::Constant;
        double a = 0;  // the value, START, MEAN or LOW
        double b = 0;  // STEP, AMPLITUDE or HIGH
        double c = 0;  // PERIOD
        std::uint64_t reads = 0;
    };
    std::map<std::string, Source, std::less<>> sources_;
    std::mt19937 random_;
};

}  // namespace brantel
