// VB's Like: "*" any run, "?" any one character, "#" one digit, "[a-z]" / "[!a-z]" a set,
// compared without regard to case (accented letters included).
#pragma once

#include <QString>

#include <vector>

namespace odb {

class ConditionLike {
  public:
    explicit ConditionLike(const QString& pattern);
    bool Matches(const QString& text) const;
    // The same on UTF-8 text; ASCII text is matched as it stands, with no copy.
    bool MatchesUtf8(const char* text, int length) const;

  private:
    struct Range {
        char32_t from, to;
    };
    struct Item {
        enum Kind { Char, AnyOne, AnyRun, Digit, Set } kind = Char;
        char32_t ch = 0;
        bool negated = false;
        std::vector<Range> ranges;
    };

    bool matchOne(const Item& item, char32_t c) const;
    template <class Text>
    bool match(const Text& text, size_t size) const;

    std::vector<Item> items_;
};

}  // namespace odb
