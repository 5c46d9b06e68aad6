#pragma once

#include <array>
#include <initializer_list>
#include <string>

namespace brantel {

// The state of Telnet options on both ends of a session, negotiated so that neither end ever
// answers a request for the state an option is already in (no negotiation loops, RFC 1143).
class OptionNegotiation {
  public:
    enum class State { kOff, kAsked, kOn };

    // `ours`: the options this end agrees to perform when asked (DO); `theirs`: the options it
    // lets the other end perform (WILL). Every other option is refused.
    OptionNegotiation(std::initializer_list<unsigned char> ours,
                      std::initializer_list<unsigned char> theirs);

    // WILL `option`, unless this end performs it already or has offered it.
    std::string Offer(unsigned char option);
    // DO `option`, unless the other end performs it already or has been asked.
    std::string Ask(unsigned char option);
    // The answer to the other end's WILL, WONT, DO or DONT; empty when none is due.
    std::string Answer(unsigned char verb, unsigned char option);

    State Ours(unsigned char option) const { return ours_[option].state; }
    State Theirs(unsigned char option) const { return theirs_[option].state; }

  private:
    struct Side {
        State state = State::kOff;
        bool accepted = false;
    };
    using Sides = std::array<Side, 256>;

    // Moves one side of `option` for the other end's yes or no; the answer due, if any.
    static std::string Move(Sides& sides, unsigned char option, bool yes, unsigned char agree,
                            unsigned char refuse);

    Sides ours_{};
    Sides theirs_{};
};

}  // namespace brantel
