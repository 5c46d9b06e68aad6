#include "checks/check_search.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <tuple>

#include "checks/check_algorithm.h"
#include "text/integers.h"

namespace brantel {

namespace {

// Up to three leading bytes skipped: a start byte, an address, a length.
constexpr int kLastFirst = 4;
// Shorter range first, so one register reaches both ends.
constexpr int kLasts[] = {-2, -1};

using Order = CheckToken::Order;

// The bytes the check covers when it ends the frame; nullopt when the frame is too short.
std::optional<CoveredBytes> CoveredAtEnd(const CheckToken& check, std::string_view frame) {
    if (frame.size() <= check.Size()) {
        return std::nullopt;
    }
    try {
        return CoveredBy(check, frame.size() - check.Size());
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

std::string_view Span(std::string_view frame, const CoveredBytes& covered) {
    return frame.substr(covered.begin, covered.end - covered.begin);
}

bool Holds(const CheckToken& check, std::string_view frame) {
    const auto covered = CoveredAtEnd(check, frame);
    return covered && frame.ends_with(check.Bytes(check.algorithm.Compute(Span(frame, *covered))));
}

// The algorithm's value over the bytes from a fixed start to later and later ends: a CRC's
// register goes on from the last end rather than taking the bytes again from the start.
class RunningValue {
  public:
    RunningValue(const CheckAlgorithm& algorithm, std::string_view frame, std::size_t begin)
        : algorithm_(algorithm), frame_(frame), begin_(begin), fed_(begin) {
        if (algorithm.family == CheckFamily::Crc) {
            crc_.emplace(algorithm.crc);
        }
    }

    std::uint64_t To(std::size_t end) {
        if (!crc_) {
            return algorithm_.Compute(frame_.substr(begin_, end - begin_));
        }
        crc_->Feed(frame_.substr(fed_, end - fed_));
        fed_ = end;
        return crc_->Value();
    }

  private:
    const CheckAlgorithm& algorithm_;
    std::string_view frame_;
    std::size_t begin_;
    std::size_t fed_;
    std::optional<CrcRegister> crc_;
};

// A one-byte check has no byte order to choose.
std::vector<Order> OrdersOf(const CheckAlgorithm& algorithm) {
    if (algorithm.Size() == 1) {
        return {Order::Default};
    }
    return {Order::Default,
            algorithm.LeastFirstByDefault() ? Order::BigEndian : Order::LittleEndian};
}

int ChoicesAway(const CheckToken& check) {
    return (check.first != 1) + (check.last != -1) + (check.order != Order::Default) + check.hex;
}

struct Found {
    CheckToken check;
    std::size_t algorithm;  // its place in AllChecks()

    // At as many choices, a check that takes more bytes is the less likely to hold by chance.
    auto Rank() const {
        return std::tuple(ChoicesAway(check), -static_cast<int>(check.Size()), algorithm,
                          check.first, -check.last, check.order, check.hex);
    }
};

}  // namespace

std::vector<CheckToken> FindChecks(std::span<const std::string> frames) {
    if (frames.empty() ||
        std::any_of(frames.begin(), frames.end(), [](const auto& f) { return f.size() < 2; })) {
        return {};
    }
    // Nearly every candidate fails on the first frame, so that one is computed in the fewest
    // steps and only the survivors are tried on the rest.
    const std::string_view lead = frames.front();
    const auto holdsForTheRest = [&](const CheckToken& check) {
        return std::all_of(frames.begin() + 1, frames.end(),
                           [&](const std::string& frame) { return Holds(check, frame); });
    };
    const std::span<const CheckAlgorithm> algorithms = AllChecks();
    std::vector<Found> found;
    for (std::size_t a = 0; a < algorithms.size(); ++a) {
        const std::vector<Order> orders = OrdersOf(algorithms[a]);
        for (const bool hex : {false, true}) {
            for (int first = 1; first <= kLastFirst; ++first) {
                CheckToken check{algorithms[a], first, -1, Order::Default, hex};
                RunningValue value(algorithms[a], lead, static_cast<std::size_t>(first - 1));
                for (const int last : kLasts) {
                    check.last = last;
                    const auto covered = CoveredAtEnd(check, lead);
                    if (!covered) {
                        continue;
                    }
                    const std::uint64_t computed = value.To(covered->end);
                    for (const Order order : orders) {
                        check.order = order;
                        if (lead.ends_with(check.Bytes(computed)) && holdsForTheRest(check)) {
                            found.push_back({check, a});
                        }
                    }
                    check.order = Order::Default;
                }
            }
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.Rank() < b.Rank(); });
    std::vector<CheckToken> checks;
    for (Found& f : found) {
        checks.push_back(std::move(f.check));
    }
    return checks;
}

}  // namespace brantel
