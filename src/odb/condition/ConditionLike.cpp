// The Like matcher: the pattern is folded and split once, then matched with star backtracking.
#include "odb/condition/ConditionLike.h"

#include <QList>

namespace odb {

namespace {

std::vector<char32_t> Folded(const QString& text) {
    std::vector<char32_t> out;
    out.reserve(static_cast<size_t>(text.size()));
    // Below U+0300 there are no combining marks or surrogates: NFC changes nothing there.
    bool plain = true;
    for (const QChar c : text)
        plain = plain && c.unicode() < 0x300;
    if (plain) {
        for (const QChar c : text)
            out.push_back(QChar::toCaseFolded(char32_t{c.unicode()}));
        return out;
    }
    for (const uint c : text.normalized(QString::NormalizationForm_C).toUcs4())
        out.push_back(QChar::toCaseFolded(static_cast<char32_t>(c)));
    return out;
}

}  // namespace

ConditionLike::ConditionLike(const QString& pattern) {
    const std::vector<char32_t> p = Folded(pattern);
    for (size_t i = 0; i < p.size(); ++i) {
        Item item;
        switch (p[i]) {
            case U'*':
                item.kind = Item::AnyRun;
                break;
            case U'?':
                item.kind = Item::AnyOne;
                break;
            case U'#':
                item.kind = Item::Digit;
                break;
            case U'[': {
                size_t close = i + 1;
                while (close < p.size() && p[close] != U']')
                    ++close;
                if (close >= p.size()) {  // no closing bracket: a plain "["
                    item.ch = p[i];
                    break;
                }
                item.kind = Item::Set;
                size_t j = i + 1;
                if (j < close && p[j] == U'!') {
                    item.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    if (j + 2 < close && p[j + 1] == U'-') {
                        item.ranges.push_back({p[j], p[j + 2]});
                        j += 2;
                    } else {
                        item.ranges.push_back({p[j], p[j]});
                    }
                }
                i = close;
                break;
            }
            default:
                item.ch = p[i];
        }
        items_.push_back(std::move(item));
    }
}

bool ConditionLike::matchOne(const Item& item, char32_t c) const {
    switch (item.kind) {
        case Item::AnyOne:
            return true;
        case Item::Digit:
            return c >= U'0' && c <= U'9';
        case Item::Set: {
            bool in = false;
            for (const Range& r : item.ranges)
                in = in || (c >= r.from && c <= r.to);
            return in != item.negated;
        }
        case Item::Char:
            return c == item.ch;
        case Item::AnyRun:
            break;
    }
    return false;
}

template <class Text>
bool ConditionLike::match(const Text& s, size_t size) const {
    size_t si = 0, pi = 0;
    size_t starPi = SIZE_MAX, starSi = 0;
    while (si < size) {
        if (pi < items_.size() && items_[pi].kind == Item::AnyRun) {
            starPi = pi++;
            starSi = si;
        } else if (pi < items_.size() && matchOne(items_[pi], s(si))) {
            ++pi;
            ++si;
        } else if (starPi != SIZE_MAX) {
            pi = starPi + 1;
            si = ++starSi;
        } else {
            return false;
        }
    }
    while (pi < items_.size() && items_[pi].kind == Item::AnyRun)
        ++pi;
    return pi == items_.size();
}

bool ConditionLike::Matches(const QString& text) const {
    const std::vector<char32_t> s = Folded(text);
    return match([&](size_t i) { return s[i]; }, s.size());
}

bool ConditionLike::MatchesUtf8(const char* text, int length) const {
    for (int i = 0; i < length; ++i)
        if (static_cast<unsigned char>(text[i]) >= 0x80) return Matches(QString::fromUtf8(text, length));
    // ASCII folds to lower case (as QChar::toCaseFolded does there), one byte a character.
    return match(
        [&](size_t i) {
            const char c = text[i];
            return static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        },
        static_cast<size_t>(length));
}

}  // namespace odb
