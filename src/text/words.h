#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace brantel {

// A set of byte values that separate words; a word is a maximal run of non-delimiters, so
// leading, trailing and repeated delimiters never yield empty words.
class DelimiterSet {
  public:
    explicit DelimiterSet(std::string_view characters);
    bool Contains(char c) const { return bits_.test(static_cast<unsigned char>(c)); }

  private:
    std::bitset<256> bits_;
};

int CountWords(std::string_view text, const DelimiterSet& delimiters);
// Position (from 1) of the first character of word n; 0 when there is no word n.
int WordStart(int n, std::string_view text, const DelimiterSet& delimiters);
// Word n (from 1); empty when there is no word n.
std::string GetWord(int n, std::string_view text, const DelimiterSet& delimiters);
// All words in order, viewing into `text`: one walk instead of GetWord for each n.
std::vector<std::string_view> Words(std::string_view text, const DelimiterSet& delimiters);

}  // namespace brantel
