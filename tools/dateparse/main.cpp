// Reads date texts as the date field does and prints each as YYYY-MM-DD or the message the user
// would see: dateparse [--today YYYY-MM-DD] [--format DD/MM/YYYY] TEXT...
#include "controls/DateUtils.h"
#include "platform/core/Exceptions.h"

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

using namespace velmoran;

namespace {
std::optional<TDateTime> ParseIsoDay(const std::string& text)
{
    int year = 0;
    int month = 0;
    int day = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d-%d-%d%c", &year, &month, &day, &rest) != 3)
        return std::nullopt;
    return TryEncodeDate(year, month, day);
}
}  // namespace

int main(int argc, char** argv)
{
    std::optional<TDateTime> today;
    std::string format;
    std::vector<std::string> texts;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--today" && i + 1 < argc) {
            today = ParseIsoDay(argv[++i]);
            if (!today) {
                std::cerr << "dateparse: --today needs YYYY-MM-DD\n";
                return 2;
            }
        } else if (arg == "--format" && i + 1 < argc) {
            format = argv[++i];
        } else {
            texts.push_back(arg);
        }
    }
    if (texts.empty()) {
        std::cerr << "usage: dateparse [--today YYYY-MM-DD] [--format DD/MM/YYYY] TEXT...\n";
        return 2;
    }
    std::optional<ScopedClock> clock;
    if (today)
        clock.emplace(*today);
    if (format.empty())
        format = DefDateFormat(FourDigitYear());
    for (const std::string& text : texts) {
        try {
            const TDateTime date = StrToDateFmt(format, text);
            if (date == NullDate) {
                std::cout << "(leer)\n";
                continue;
            }
            std::cout << FormatDateTime("yyyy-mm-dd", date) << '\n';
        } catch (const EConvertError& error) {
            std::cout << error.what() << '\n';
        }
    }
    // A text that is no date is an answer, not a failure of the program.
    return 0;
}
