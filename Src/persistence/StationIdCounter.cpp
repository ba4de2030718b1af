#include "persistence/StationIdCounter.hpp"

namespace
{

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsLower(char16_t c) { return c >= u'a' && c <= u'z'; }
bool IsUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }

// One character of a step up: true when the carry goes on to the character before.
bool Increment(char16_t& c)
{
    for (const auto& [first, last] : {std::pair {u'0', u'9'}, std::pair {u'a', u'z'}, std::pair {u'A', u'Z'}})
    {
        if (c < first || c > last) continue;
        c = c == last ? first : char16_t(c + 1);
        return c == first;
    }
    return true;
}

// One character of a step down: true when the borrow goes on. A counting
// character that would fall below its range at the front becomes a blank.
bool Decrement(char16_t& c, bool atFront)
{
    for (const auto& [first, last] : {std::pair {u'0', u'9'}, std::pair {u'a', u'z'}, std::pair {u'A', u'Z'}})
    {
        if (c < first || c > last) continue;
        if (c == first)
        {
            c = atFront ? u' ' : last;
            return true;
        }
        --c;
        if (atFront && c == u'0') c = u' ';
        return false;
    }
    return true;
}

}  // namespace

GS::UniString StationIdCounter::Step(std::int32_t count)
{
    if (step <= 0) step = 1;
    std::u16string id = currentId.IsEmpty() ? u"1" : currentId.Units();
    const std::int64_t steps = (std::int64_t(count) - 1) * step;
    for (std::int64_t i = 0; i < steps; ++i)
    {
        if (countingUp)
            StepUp(id);
        else
            StepDown(id);
    }
    return GS::UniString(id);
}

void StationIdCounter::StepUp(std::u16string& id)
{
    bool carry = true;
    for (std::size_t k = id.size(); carry && k-- > 0;) carry = Increment(id[k]);
    if (!carry || id.empty()) return;
    const char16_t first = id.front();
    if (IsDigit(first))
        id.insert(id.begin(), u'1');
    else if (IsLower(first))
        id.insert(id.begin(), u'a');
    else if (IsUpper(first))
        id.insert(id.begin(), u'A');
}

void StationIdCounter::StepDown(std::u16string& id)
{
    bool borrow = true;
    for (std::size_t k = id.size(); borrow && k-- > 0;) borrow = Decrement(id[k], k == 0);
    const std::size_t lastBlank = id.rfind(u' ');
    if (lastBlank != std::u16string::npos) id.erase(0, lastBlank + 1);
}
