// Image maps; see MapItem.h.
#include "html/base/MapItem.h"

#include "html/base/WideText.h"

#include <QPolygon>

#include <algorithm>
#include <string_view>

namespace velmoran {

namespace {

// The leading integer of a coordinate as atoi reads it ("12px" is 12), held within the length
// bounds: shapes are built from sums and doubles of these.
int ReadCoord(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == '\t' || text[i] == '\n' || text[i] == '\r'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min<long long>(value * 10 + (text[i] - '0'), kMaxLength + 1LL);
    return ClampLength(negative ? -value : value);
}

std::vector<int> ReadCoords(const std::string& text)
{
    std::vector<int> numbers;
    std::size_t i = 0;
    while (i < text.size() && static_cast<int>(numbers.size()) < TMapItem::kMaxCoords) {
        while (i < text.size() && (text[i] == ',' || text[i] == ' '))
            ++i;
        std::size_t start = i;
        while (i < text.size() && text[i] != ',' && text[i] != ' ')
            ++i;
        if (i > start)
            numbers.push_back(ReadCoord(std::string_view(text).substr(start, i - start)));
    }
    return numbers;
}

}  // namespace

void TMapItem::AddArea(const TAttributeList& attributes)
{
    if (AreaCount() >= kMaxAreas)
        return;
    std::string href, target, title, shape, coords;
    for (const auto& a : attributes) {
        const std::string name = LowerCase(a->WhichName);
        if (name == "href")
            href = a->Name;
        else if (name == "nohref")
            href.clear();
        else if (name == "target")
            target = a->Name;
        else if (name == "title")
            title = a->Name;
        else if (name == "shape")
            shape = LowerCase(a->Name.substr(0, 4));
        else if (name == "coords")
            coords = a->Name;
    }
    const std::vector<int> n = ReadCoords(coords);
    QRegion region;
    if (shape == "circ") {
        if (n.size() < 3 || 2 * n[2] + 1 > kMaxShapeExtent)
            return;
        region = QRegion(n[0] - n[2], n[1] - n[2], 2 * n[2] + 1, 2 * n[2] + 1, QRegion::Ellipse);
    } else if (shape == "poly") {
        if (n.size() < 6)
            return;
        QPolygon polygon;
        for (std::size_t i = 0; i + 1 < n.size(); i += 2)
            polygon << QPoint(n[i], n[i + 1]);
        const QRect box = polygon.boundingRect();
        if (box.width() > kMaxShapeExtent || box.height() > kMaxShapeExtent)
            return;
        region = QRegion(polygon, Qt::WindingFill);
    } else {
        if (n.size() < 4)
            return;
        // Right and bottom are inclusive.
        region = QRegion(QRect(QPoint(n[0], n[1]), QPoint(n[2], n[3])));
    }
    Areas.push_back({href, region});
    AreaTargets.push_back(target);
    AreaTitles.push_back(title);
}

bool TMapItem::FindArea(int x, int y, std::string& title, std::unique_ptr<TUrlTarget>& urlTarget) const
{
    for (std::size_t i = 0; i < Areas.size(); ++i) {
        if (!Areas[i].Region.contains(QPoint(x, y)))
            continue;
        if (Areas[i].Href.empty())
            return false;
        urlTarget = std::make_unique<TUrlTarget>();
        urlTarget->URL = Areas[i].Href;
        urlTarget->Target = AreaTargets[i];
        title = AreaTitles[i];
        return true;
    }
    return false;
}

}  // namespace velmoran
