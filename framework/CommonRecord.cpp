// The fixed load-case texts of the common record.
#include "framework/CommonRecord.h"

#include <array>

namespace velmoran {

namespace {
constexpr std::array<std::string_view, 4> kNames = {
    "Bemessung", "tiefste Temperatur", "höchste Temperatur", "Sonder- lastfall"};
constexpr std::array<std::string_view, 4> kTexts = {
    "Bemessung", "Nachweis der Nitrifikation bei tiefster Temperatur",
    "Ermittlung des Sauerstoffbedarfs bei höchster Temperatur", "Sonderlastfall"};
}  // namespace

std::string_view LoadCaseName(std::size_t k)
{
    return kNames.at(k);
}

std::string_view LoadCaseText(std::size_t k)
{
    return kTexts.at(k);
}

void SetLoadCaseNames(TCommonRecord& record)
{
    for (std::size_t k = 0; k < common::kBlockCount; ++k) {
        const TLoadCaseBlock b = record.Block(k);
        b.SetString(block::kBezeichn, kNames[k]);
        b.SetString(block::kText, kTexts[k]);
    }
}

}  // namespace velmoran
