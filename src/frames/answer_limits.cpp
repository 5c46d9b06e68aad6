#include "frames/answer_limits.h"

#include <algorithm>

namespace brantel {

std::size_t TakeWithin(std::string_view bytes, std::size_t mostBytes, std::string& kept) {
    const std::size_t room = mostBytes > kept.size() ? mostBytes - kept.size() : 0;
    const std::size_t taken = std::min(bytes.size(), room);
    kept.append(bytes.substr(0, taken));
    return bytes.size() - taken;
}

std::string AnswerFault(bool wentOnTooLong, std::size_t drained, const AnswerLimits& limits) {
    std::string fault;
    if (wentOnTooLong) {
        fault =
            "the answer went on for more than " + std::to_string(limits.longest.count()) + " ms";
    }
    if (drained > 0) {
        fault += (fault.empty() ? "the answer was" : " and was") + std::string(" longer than ") +
                 std::to_string(limits.mostBytes) + " bytes (" + std::to_string(drained) +
                 " more drained)";
    }
    return fault;
}

}  // namespace brantel
