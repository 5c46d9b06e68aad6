#include "run_report.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "frames/expected_response.h"

namespace brantel::run {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string_view ResultName(RowResult result) {
    switch (result) {
        case RowResult::kPass:
            return "PASS";
        case RowResult::kFail:
            return "FAIL";
        case RowResult::kError:
            return "ERROR";
        case RowResult::kSkip:
            break;
    }
    return "SKIP";
}

// Seconds with three decimals, whatever the locale.
std::string Seconds(std::chrono::duration<double> time) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), time.count(),
                                   std::chars_format::fixed, 3)
                         .ptr;
    return std::string(text.data(), end);
}

// The length of the well-formed UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t Utf8Length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool notCharacter = code == 0xFFFE || code == 0xFFFF;
    if (code < least[length] || code > 0x10FFFF || surrogate || notCharacter) {
        return 0;
    }
    return length;
}

std::string Attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + XmlText(value) + "\"";
}

std::string Counts(const RunTotals& totals) {
    const int tests = totals.passed + totals.failed + totals.skipped + totals.errors;
    return Attribute("tests", std::to_string(tests)) +
           Attribute("failures", std::to_string(totals.failed)) +
           Attribute("errors", std::to_string(totals.errors)) +
           Attribute("skipped", std::to_string(totals.skipped));
}

std::string Properties(const RowOutcome& outcome) {
    if (outcome.fields.empty()) {
        return {};
    }
    std::string xml = "      <properties>\n";
    for (const ReadValue& field : outcome.fields) {
        xml += "        <property" + Attribute("name", field.name) +
               Attribute("value", field.value.text) + "/>\n";
    }
    return xml + "      </properties>\n";
}

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

std::string IsoTime(std::chrono::system_clock::time_point time) {
    const auto millis =
        std::chrono::floor<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    std::array<char, 40> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%dT%H:%M:%S", &utc);
    std::array<char, 8> fraction{};
    std::snprintf(fraction.data(), fraction.size(), ".%03lldZ",
                  static_cast<long long>(millis % 1000));
    return std::string(text.data(), length) + fraction.data();
}

std::string TestCase(const RowOutcome& outcome, std::string_view suite) {
    const std::string exchange =
        "sent " + AnswerText(outcome.sent) + "\nreceived " + AnswerText(outcome.received);
    std::string xml = "    <testcase" + Attribute("classname", suite) +
                      Attribute("name", outcome.row > 0 ? "row " + std::to_string(outcome.row) +
                                                              ": " + outcome.description
                                                        : outcome.description) +
                      Attribute("time", Seconds(outcome.took)) + ">\n" + Properties(outcome);
    if (outcome.result == RowResult::kFail || outcome.result == RowResult::kError) {
        const std::string element = outcome.result == RowResult::kFail ? "failure" : "error";
        xml += "      <" + element + Attribute("message", outcome.why) + ">" + XmlText(exchange) +
               "</" + element + ">\n";
    } else if (outcome.result == RowResult::kSkip) {
        xml += "      <skipped" + Attribute("message", outcome.why) + "/>\n";
    }
    xml += "      <system-out>" + XmlText(exchange) + "</system-out>\n    </testcase>\n";
    return xml;
}

}  // namespace

RunTotals Totals(const std::vector<RowOutcome>& outcomes) {
    RunTotals totals;
    for (const RowOutcome& outcome : outcomes) {
        switch (outcome.result) {
            case RowResult::kPass:
                ++totals.passed;
                break;
            case RowResult::kFail:
                ++totals.failed;
                break;
            case RowResult::kSkip:
                ++totals.skipped;
                break;
            case RowResult::kError:
                ++totals.errors;
                break;
        }
    }
    return totals;
}

std::string RowLine(const RowOutcome& outcome) {
    std::string line = std::to_string(outcome.row) + " | " + outcome.description + " | sent " +
                       AnswerText(outcome.sent) + " | received " + AnswerText(outcome.received) +
                       " | " + std::string(ResultName(outcome.result));
    if (!outcome.why.empty()) {
        line += ": " + outcome.why;
    }
    if (!outcome.fields.empty()) {
        line += " " + FieldsText(outcome.fields);
    }
    return line;
}

const char kValuesHeader[] = "time,row,field,value\n";

std::string ValueLines(const RowOutcome& outcome) {
    std::string lines;
    const std::string stamp = IsoTime(outcome.answered) + "," + std::to_string(outcome.row) + ",";
    for (const ReadValue& field : outcome.fields) {
        lines += stamp + CsvField(field.name) + "," + field.value.text + "\n";
    }
    return lines;
}

std::string SummaryLine(const RunTotals& totals) {
    std::string line = std::to_string(totals.passed) + " passed, " + std::to_string(totals.failed) +
                       " failed, " + std::to_string(totals.skipped) + " skipped";
    if (totals.errors > 0) {
        line += ", " + std::to_string(totals.errors) + (totals.errors == 1 ? " error" : " errors");
    }
    return line;
}

std::string JUnitReport(const std::vector<RowOutcome>& outcomes, std::string_view suite) {
    const RunTotals totals = Totals(outcomes);
    std::chrono::duration<double> time{};
    std::string cases;
    for (const RowOutcome& outcome : outcomes) {
        time += outcome.took;
        cases += TestCase(outcome, suite);
    }
    const std::string counts = Counts(totals) + Attribute("time", Seconds(time));
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites" +
           Attribute("name", "brantel-run") + counts + ">\n  <testsuite" +
           Attribute("name", suite) + counts + ">\n" + cases + "  </testsuite>\n</testsuites>\n";
}

std::string XmlText(std::string_view text) {
    std::string xml;
    while (!text.empty()) {
        const std::size_t length = Utf8Length(text);
        const char c = text.front();
        const bool control = static_cast<unsigned char>(c) < 0x20;
        if (length == 0 || (control && c != '\t' && c != '\n' && c != '\r')) {
            xml += kReplacement;
            text.remove_prefix(length == 0 ? 1 : length);
            continue;
        }
        switch (c) {
            case '&':
                xml += "&amp;";
                break;
            case '<':
                xml += "&lt;";
                break;
            case '>':
                xml += "&gt;";
                break;
            case '"':
                xml += "&quot;";
                break;
            case '\'':
                xml += "&apos;";
                break;
            case '\t':
            case '\n':
            case '\r':
                // Character references keep them in attribute values too.
                xml += "&#" + std::to_string(static_cast<int>(c)) + ";";
                break;
            default:
                xml.append(text.substr(0, length));
        }
        text.remove_prefix(length);
    }
    return xml;
}

}  // namespace brantel::run
