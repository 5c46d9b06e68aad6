#include "telnet/option_negotiation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "telnet/telnet_stream.h"
#include "telnet_bytes.h"

namespace brantel::test {
namespace {

using namespace telnet;
using State = OptionNegotiation::State;

constexpr unsigned char kEcho = 1;

struct Step {
    // kWill or kDo from this end's side (an offer or a request), else the other end's verb.
    enum { kOffer, kAsk, kReceive } kind;
    unsigned char verb;
    unsigned char option;
    std::string answer;
};

Step Offer(unsigned char option, std::string answer) {
    return {Step::kOffer, kWill, option, std::move(answer)};
}
Step Ask(unsigned char option, std::string answer) {
    return {Step::kAsk, kDo, option, std::move(answer)};
}
Step Receive(unsigned char verb, unsigned char option, std::string answer) {
    return {Step::kReceive, verb, option, std::move(answer)};
}

struct NegotiationCase {
    const char* name;
    std::vector<Step> steps;
    unsigned char option;
    State ours;
    State theirs;
};

TEST(OptionNegotiation, AnswersOnlyChangesAndRefusesWhatItDoesNotKnow) {
    const NegotiationCase cases[] = {
        {"asked to perform a known option",
         {Receive(kDo, kBinary, Bytes({255, 251, 0})), Receive(kDo, kBinary, "")},
         kBinary,
         State::kOn,
         State::kOff},
        {"asked to perform an unknown option",
         {Receive(kDo, kEcho, Bytes({255, 252, 1})), Receive(kDont, kEcho, "")},
         kEcho,
         State::kOff,
         State::kOff},
        {"offered an unknown option",
         {Receive(kWill, kEcho, Bytes({255, 254, 1})), Receive(kWont, kEcho, "")},
         kEcho,
         State::kOff,
         State::kOff},
        {"offered a known option",
         {Receive(kWill, kBinary, Bytes({255, 253, 0})), Receive(kWill, kBinary, "")},
         kBinary,
         State::kOff,
         State::kOn},
        {"own offer accepted",
         {Offer(kComPortOption, Bytes({255, 251, 44})), Receive(kDo, kComPortOption, ""),
          Offer(kComPortOption, "")},
         kComPortOption,
         State::kOn,
         State::kOff},
        {"own offer refused",
         {Offer(kComPortOption, Bytes({255, 251, 44})), Receive(kDont, kComPortOption, "")},
         kComPortOption,
         State::kOff,
         State::kOff},
        {"the other end offers the client's option",
         {Receive(kWill, kComPortOption, Bytes({255, 254, 44}))},
         kComPortOption,
         State::kOff,
         State::kOff},
        {"own request accepted",
         {Ask(kBinary, Bytes({255, 253, 0})), Receive(kWill, kBinary, ""), Ask(kBinary, "")},
         kBinary,
         State::kOff,
         State::kOn},
        {"own request refused",
         {Ask(kBinary, Bytes({255, 253, 0})), Receive(kWont, kBinary, "")},
         kBinary,
         State::kOff,
         State::kOff},
        {"switched off after agreeing",
         {Receive(kDo, kBinary, Bytes({255, 251, 0})),
          Receive(kDont, kBinary, Bytes({255, 252, 0})), Receive(kDont, kBinary, "")},
         kBinary,
         State::kOff,
         State::kOff},
        {"the other end stops performing",
         {Receive(kWill, kBinary, Bytes({255, 253, 0})),
          Receive(kWont, kBinary, Bytes({255, 254, 0}))},
         kBinary,
         State::kOff,
         State::kOff},
        {"offer pending",
         {Offer(kBinary, Bytes({255, 251, 0}))},
         kBinary,
         State::kAsked,
         State::kOff},
    };
    for (const NegotiationCase& c : cases) {
        SCOPED_TRACE(c.name);
        OptionNegotiation options({kBinary, kComPortOption}, {kBinary});
        for (const Step& step : c.steps) {
            const std::string answer = step.kind == Step::kOffer ? options.Offer(step.option)
                                       : step.kind == Step::kAsk
                                           ? options.Ask(step.option)
                                           : options.Answer(step.verb, step.option);
            EXPECT_EQ(Trace(answer), Trace(step.answer));
        }
        EXPECT_EQ(options.Ours(c.option), c.ours);
        EXPECT_EQ(options.Theirs(c.option), c.theirs);
    }
}

}  // namespace
}  // namespace brantel::test
