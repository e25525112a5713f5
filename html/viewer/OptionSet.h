// A set of the options of a viewer: the page viewer's htOptionEnum and the frame viewer's
// fvOptionEnum, one bit each.
#pragma once

#include <initializer_list>

namespace velmoran {

template <typename Option>
class TOptionSet {
public:
    TOptionSet() = default;
    TOptionSet(std::initializer_list<Option> options)
    {
        for (const auto o : options)
            Include(o);
    }
    bool Has(Option o) const { return (bits_ >> o) & 1u; }
    void Include(Option o) { bits_ |= 1u << o; }
    bool operator==(const TOptionSet&) const = default;

private:
    unsigned bits_ = 0;
};

}  // namespace velmoran
