#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

namespace brantel {

// How long an answer is waited for and how far it may go on, so that a device that keeps
// talking cannot hold a check or a run for ever.
struct AnswerLimits {
    // For the first byte.
    std::chrono::milliseconds timeout{500};
    // The quiet after a byte that ends the answer, where reads follow the bytes as they come.
    std::chrono::milliseconds gap{20};
    // From the first byte to the end of the answer.
    std::chrono::milliseconds longest{5000};
    // Bytes kept; those after them are drained and counted.
    std::size_t mostBytes = 65536;
};

// Appends to `kept` what of `bytes` fits within `mostBytes` in all; returns how many did not.
std::size_t TakeWithin(std::string_view bytes, std::size_t mostBytes, std::string& kept);

// Why an answer is not whole: it went on too long, or `drained` bytes came past the most
// kept; empty when neither.
std::string AnswerFault(bool wentOnTooLong, std::size_t drained, const AnswerLimits& limits);

}  // namespace brantel
