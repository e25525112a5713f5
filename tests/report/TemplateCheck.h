// Checks of an expanded standard template: every result group with its heading and a value,
// no fill, no stray item text, and the link commands a result page may carry.
#pragma once

#include <regex>
#include <set>
#include <string>
#include <vector>

namespace velmoran::test {

// The headings of the result groups (Windows-1252). The print page has no pH row, so its
// acid-capacity group is headed by the acid capacity alone.
inline std::vector<std::string> ResultHeadings(bool screen)
{
    return {"Schlammalter",     "Denitrifikation",   "Volumen",   "Schlammproduktion",
            "Sauerstoffbedarf", "Sauerstoffeintrag", "Luftmenge",
            screen ? "S\xE4urekapazit\xE4t und pH-Wert" : "S\xE4urekapazit\xE4t", "Phosphorbilanz"};
}

inline std::string StripTags(const std::string& html)
{
    return std::regex_replace(html, std::regex("<[^>]*>"), "");
}

// Problems found in the page; empty when it is sound.
inline std::vector<std::string> CheckResultPage(const std::string& html, bool screen)
{
    std::vector<std::string> problems;
    if (html.find('|') != std::string::npos)
        problems.push_back("a \"|\" is left in the page");
    if (html.find("##") != std::string::npos || html.find("**") != std::string::npos)
        problems.push_back("a value shows a fill");
    const std::size_t results = html.find(">Ergebnisse</h2>");
    if (results == std::string::npos) {
        problems.push_back("no results heading");
        return problems;
    }
    const std::regex number("^-?[0-9]+(,[0-9]+)?$");
    for (const std::string& heading : ResultHeadings(screen)) {
        const std::size_t at = html.find("<b>" + heading + "</b>", results);
        if (at == std::string::npos) {
            problems.push_back("no heading " + heading);
            continue;
        }
        const std::string group = html.substr(at, html.find("</table>", at) - at);
        const std::regex cell("align=\"right\">(.*?)</td>");
        bool value = false;
        for (auto it = std::sregex_iterator(group.begin(), group.end(), cell); it != std::sregex_iterator(); ++it)
            value = value || std::regex_match(StripTags((*it)[1].str()), number);
        if (!value)
            problems.push_back("no value under " + heading);
    }
    // Value cells hold numbers or texts; a lone identifier is a name that matched nothing.
    static const std::set<std::string> words = {"Druckbel\xFC" "ftung", "Oberfl\xE4" "chenbel\xFC" "ftung", "Aluminium", "Bemessung"};
    const std::regex valueCell("<td (?:width=\"18%\" align=\"right\"|colspan=\"2\" align=\"left\")>(.*?)</td>");
    const std::regex identifier("^[A-Za-z_][A-Za-z0-9_]*$");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), valueCell); it != std::sregex_iterator(); ++it) {
        const std::string value = StripTags((*it)[1].str());
        if (value.empty() || (std::regex_match(value, identifier) && words.count(value) == 0))
            problems.push_back("suspicious value cell \"" + value + "\"");
    }
    const std::regex link("href=\"([A-Z]+)( ([^\"]*))?\"");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link); it != std::sregex_iterator(); ++it) {
        const std::string keyword = (*it)[1].str();
        const std::string argument = (*it)[3].str();
        if (!screen)
            problems.push_back("link in the print page: " + keyword);
        else if (keyword == "EDITDLG" && !std::regex_match(argument, std::regex("^[1-6]$")))
            problems.push_back("EDITDLG with page " + argument);
        else if (keyword == "SETINDEX" && argument != "+" && argument != "-")
            problems.push_back("SETINDEX with " + argument);
        else if (keyword != "EDITDLG" && keyword != "SETINDEX")
            problems.push_back("unexpected link " + keyword);
    }
    return problems;
}

}  // namespace velmoran::test
