// Size lists, frame sizes and split lines.
#include "html/viewer/FrameSizes.h"

#include "html/base/WideText.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace velmoran {
namespace {

constexpr std::size_t kMaxEntries = 20;

bool IsDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// One entry of a size list from position i on; i ends on the comma or the end.
int ParseSizeEntry(const std::string& text, std::size_t& i)
{
    const std::size_t n = text.size();
    while (i < n && !IsDigit(text[i]) && text[i] != '*' && text[i] != ',')
        ++i;
    int entry = -1;
    if (i < n && IsDigit(text[i])) {
        // Numbers of any length are read with a cap, so that they never overflow.
        long long number = 0;
        for (int digits = 0; i < n && IsDigit(text[i]); ++digits, ++i)
            if (digits < 20)
                number = std::min<long long>(number * 10 + (text[i] - '0'), 1000000);
        number = std::max<long long>(number, 1);
        while (i < n && text[i] != '%' && text[i] != '*' && text[i] != ',')
            ++i;
        if (i < n && text[i] == '*')
            entry = -static_cast<int>(std::min<long long>(number, 99));
        else if (i < n && text[i] == '%')
            entry = -static_cast<int>(std::min<long long>(number + 100, 1000));
        else
            entry = static_cast<int>(std::min<long long>(number, 5000));
    }
    while (i < n && text[i] != ',')
        ++i;
    return entry;
}

}  // namespace

std::vector<int> ParseSizeList(const std::string& text)
{
    std::vector<int> specs;
    std::size_t i = 0;
    while (specs.size() < kMaxEntries) {
        specs.push_back(ParseSizeEntry(text, i));
        if (i >= text.size())
            break;
        ++i;  // the comma
    }
    return specs;
}

std::vector<int> ComputeFrameSizes(const std::vector<int>& specs, int extent)
{
    std::vector<int> sizes(specs.size(), 0);
    if (extent <= 0)
        return sizes;
    long long pixels = 0, weights = 0, percents = 0;
    for (const int s : specs) {
        if (s >= 0)
            pixels += s;
        else if (s >= -99)
            weights += -s;
        else
            percents += -s - 100;
    }
    // Shares are rounded (MulDiv), the unit of the relative entries is cut.
    if (extent - pixels > 0) {
        const int free = static_cast<int>(extent - pixels);
        // From 100 % on the percentages would take more than the extent: they take what is free.
        const int percentSpace =
            percents >= 100 ? free : std::min(free, MulDiv(extent, static_cast<int>(percents), 100));
        const long long unit = weights > 0 ? (free - percentSpace) / weights : 0;
        for (std::size_t i = 0; i < specs.size(); ++i) {
            const int s = specs[i];
            if (s >= 0)
                sizes[i] = s;
            else if (s >= -99)
                sizes[i] = static_cast<int>(-s * unit);
            else
                sizes[i] = MulDiv(-s - 100, percentSpace, static_cast<int>(percents));
        }
    } else {
        for (std::size_t i = 0; i < specs.size(); ++i)
            if (specs[i] >= 0)
                sizes[i] = MulDiv(specs[i], extent, static_cast<int>(pixels));
    }
    return sizes;
}

std::vector<int> ScaleFrameSizes(const std::vector<int>& sizes, int basis, int extent)
{
    std::vector<int> scaled(sizes.size(), 0);
    long long sum = 0;
    int previous = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        sum += sizes[i];
        // Running sums rather than each size scaled alone, so that rounding leaves no gap.
        const int end = static_cast<int>((2 * sum * extent + basis) / (2 * static_cast<long long>(basis)));
        scaled[i] = std::max(end - previous, 0);
        previous = end;
    }
    return scaled;
}

std::vector<int> SplitLines(const std::vector<int>& sizes, int start)
{
    std::vector<int> lines;
    int at = start;
    for (std::size_t i = 0; i + 1 < sizes.size(); ++i) {
        at += sizes[i];
        lines.push_back(at);
    }
    return lines;
}

int NearestSplit(const std::vector<int>& lines, int along)
{
    int best = -1;
    int bestDistance = 6;
    // Lines come in order, so on a tie the one at or before the point is met first and stays.
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int distance = std::abs(along - lines[i]);
        if (distance <= 5 && distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<int> MoveSplitLine(std::vector<int> sizes, int split, int before, int after, int at)
{
    const auto i = static_cast<std::size_t>(split);
    if (split >= 0 && i + 1 < sizes.size()) {
        sizes[i] = std::max(at - before, 0);
        sizes[i + 1] = std::max(after - at, 0);
    }
    return sizes;
}

}  // namespace velmoran
