#include "telnet/option_negotiation.h"

#include "telnet/telnet_stream.h"

namespace brantel {
namespace {

std::string Command(unsigned char verb, unsigned char option) {
    return {static_cast<char>(telnet::kIac), static_cast<char>(verb), static_cast<char>(option)};
}

}  // namespace

OptionNegotiation::OptionNegotiation(std::initializer_list<unsigned char> ours,
                                     std::initializer_list<unsigned char> theirs) {
    for (const unsigned char option : ours) {
        ours_[option].accepted = true;
    }
    for (const unsigned char option : theirs) {
        theirs_[option].accepted = true;
    }
}

std::string OptionNegotiation::Offer(unsigned char option) {
    if (ours_[option].state != State::kOff) {
        return {};
    }
    ours_[option].state = State::kAsked;
    return Command(telnet::kWill, option);
}

std::string OptionNegotiation::Ask(unsigned char option) {
    if (theirs_[option].state != State::kOff) {
        return {};
    }
    theirs_[option].state = State::kAsked;
    return Command(telnet::kDo, option);
}

std::string OptionNegotiation::Answer(unsigned char verb, unsigned char option) {
    switch (verb) {
        case telnet::kDo:
            return Move(ours_, option, true, telnet::kWill, telnet::kWont);
        case telnet::kDont:
            return Move(ours_, option, false, telnet::kWill, telnet::kWont);
        case telnet::kWill:
            return Move(theirs_, option, true, telnet::kDo, telnet::kDont);
        case telnet::kWont:
            return Move(theirs_, option, false, telnet::kDo, telnet::kDont);
        default:
            return {};
    }
}

std::string OptionNegotiation::Move(Sides& sides, unsigned char option, bool yes,
                                    unsigned char agree, unsigned char refuse) {
    Side& side = sides[option];
    switch (side.state) {
        case State::kAsked:
            // The answer to this end's own request: nothing more to say.
            side.state = yes ? State::kOn : State::kOff;
            return {};
        case State::kOn:
            if (yes) {
                return {};
            }
            side.state = State::kOff;
            return Command(refuse, option);
        case State::kOff:
            if (!yes) {
                return {};
            }
            if (!side.accepted) {
                return Command(refuse, option);
            }
            side.state = State::kOn;
            return Command(agree, option);
    }
    return {};
}

}  // namespace brantel
