#include "frames/answer_values.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "text/words.h"

namespace brantel {

namespace {

double Number(std::string_view text, std::string_view whole) {
    while (text.starts_with(' ')) {
        text.remove_prefix(1);
    }
    while (text.ends_with(' ')) {
        text.remove_suffix(1);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        throw std::invalid_argument("'" + std::string(whole) +
                                    "' is no number, counter(START,STEP), "
                                    "wave(MEAN,AMPLITUDE,PERIOD) or random(LOW,HIGH)");
    }
    return value;
}

}  // namespace

AnswerValues::AnswerValues(std::uint32_t seed) : random_(seed) {}

void AnswerValues::SetSource(const std::string& name, std::string_view text) {
    Source source;
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos || !text.ends_with(')')) {
        source.a = Number(text, text);
        sources_[name] = source;
        return;
    }
    const std::string_view kind = text.substr(0, open);
    const std::vector<std::string_view> args =
        Words(text.substr(open + 1, text.size() - open - 2), DelimiterSet(","));
    const auto wants = [&](Source::Kind k, std::size_t count) {
        if (args.size() != count) {
            throw std::invalid_argument("'" + std::string(text) + "' takes " +
                                        std::to_string(count) + " numbers");
        }
        source.kind = k;
    };
    if (kind == "counter") {
        wants(Source::Kind::Counter, 2);
    } else if (kind == "wave") {
        wants(Source::Kind::Wave, 3);
    } else if (kind == "random") {
        wants(Source::Kind::Random, 2);
    } else {
        Number(text, text);
    }
    source.a = Number(args[0], text);
    source.b = Number(args[1], text);
    source.c = args.size() > 2 ? Number(args[2], text) : 0;
    if (source.kind == Source::Kind::Wave && source.c <= 0) {
        throw std::invalid_argument("the period of '" + std::string(text) +
                                    "' must be above 0 seconds");
    }
    if (source.kind == Source::Kind::Random && source.b < source.a) {
        throw std::invalid_argument("'" + std::string(text) + "' has LOW above HIGH");
    }
    sources_[name] = source;
}

void AnswerValues::AddWritable(const std::string& name) {
    sources_.try_emplace(name);
}

void AnswerValues::Write(const std::string& name, double value) {
    sources_[name] = Source{.a = value};
}

bool AnswerValues::Knows(std::string_view name) const {
    return sources_.find(name) != sources_.end();
}

std::optional<double> AnswerValues::Read(std::string_view name, double seconds) {
    const auto found = sources_.find(name);
    if (found == sources_.end()) {
        return std::nullopt;
    }
    Source& source = found->second;
    switch (source.kind) {
        case Source::Kind::Constant:
            return source.a;
        case Source::Kind::Counter:
            return source.a + source.b * static_cast<double>(source.reads++);
        case Source::Kind::Wave:
            return source.a + source.b * std::sin(2 * std::numbers::pi * seconds / source.c);
        case Source::Kind::Random:
            return std::uniform_real_distribution<double>(source.a, source.b)(random_);
    }
    return std::nullopt;
}

}  // namespace brantel
