// Date utilities: the year window, date orders, default formats and masks, and the date parser.
#include "controls/DateUtils.h"

#include "controls/StringUtils.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <QString>

#include <cctype>
#include <cmath>

namespace velmoran {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The month whose long name begins with text (case-insensitive), or -1.
int MonthFromName(std::string_view text)
{
    const QString part = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const auto& names = FormatSettings::Current().LongMonthNames;
    for (int month = 0; month < 12; ++month) {
        const QString name = QString::fromStdString(names[month]);
        if (name.left(part.size()).compare(part, Qt::CaseInsensitive) == 0)
            return month + 1;
    }
    return -1;
}

// Reads the part under the first run of count letters in the format; see ParseDate.
// The text is laid over the format by characters, not bytes, so a month name like "Mär" keeps
// its place.
int ExtractPart(std::string_view format, const QString& text, char letter, int count, int fallback)
{
    const std::string upper = UpperCase(format);
    const std::size_t start = upper.find(std::string(static_cast<std::size_t>(count), letter));
    if (start == std::string::npos)
        return fallback;
    QString collected;
    for (std::size_t i = start; i < upper.size() && upper[i] == letter && static_cast<qsizetype>(i) < text.size(); ++i)
        if (text[static_cast<qsizetype>(i)] != u' ' && collected.size() < 20)
            collected += text[static_cast<qsizetype>(i)];
    if (collected.isEmpty())
        return -1;
    if (count > 1)
        return MonthFromName(collected.toStdString());
    int value = 0;
    for (QChar c : collected) {
        if (c < u'0' || c > u'9' || value > 100000)
            return -1;
        value = value * 10 + (c.unicode() - u'0');
    }
    return value;
}

class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    void SkipBlanks()
    {
        while (pos_ < text_.size() && text_[pos_] == ' ')
            ++pos_;
    }
    void SkipToDigit()
    {
        while (pos_ < text_.size() && !IsDigit(text_[pos_]))
            ++pos_;
    }
    bool Number(int& value)
    {
        SkipBlanks();
        const std::size_t start = pos_;
        value = 0;
        while (pos_ < text_.size() && IsDigit(text_[pos_]) && value < 1000)
            value = value * 10 + (text_[pos_++] - '0');
        return pos_ > start;
    }
    bool Char(char c)
    {
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // Skips words up to the end or to the AM or PM string.
    void SkipWords(const std::string& am, const std::string& pm)
    {
        auto at = [&](const std::string& word) {
            return !word.empty() && SameText(text_.substr(pos_, word.size()), word);
        };
        while (!AtEnd() && !at(am) && !at(pm)) {
            while (pos_ < text_.size() && text_[pos_] != ' ')
                ++pos_;
            SkipBlanks();
        }
    }
    std::size_t Pos() const { return pos_; }
    void SetPos(std::size_t pos) { pos_ = pos; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

bool ScanDate(std::string_view text, TDateOrder order, int& year, int& month, int& day)
{
    const FormatSettings& settings = FormatSettings::Current();
    const char separator = settings.DateSeparator;
    Scanner scan(text);
    if (!settings.ShortDateFormat.empty() && settings.ShortDateFormat[0] == 'g')
        scan.SkipToDigit();
    int n1 = 0;
    int n2 = 0;
    int n3 = 0;
    if (!scan.Number(n1) || !scan.Char(separator) || !scan.Number(n2))
        return false;
    if (scan.Char(separator)) {
        if (!scan.Number(n3))
            return false;
        switch (order) {
        case TDateOrder::MDY: month = n1, day = n2, year = n3; break;
        case TDateOrder::DMY: day = n1, month = n2, year = n3; break;
        case TDateOrder::YMD: year = n1, month = n2, day = n3; break;
        }
        year = ExpandYear(year);
    } else {
        // Two numbers: this year, as it stands (no window).
        year = CurrentYear();
        if (order == TDateOrder::DMY)
            day = n1, month = n2;
        else
            month = n1, day = n2;
    }
    scan.Char(separator);
    scan.SkipBlanks();
    if (settings.FarEast && FindText(settings.ShortDateFormat, "ddd") != std::string_view::npos) {
        if (settings.ShortTimeFormat.empty() || !IsDigit(settings.ShortTimeFormat[0]))
            scan.SkipWords(settings.TimeAMString, settings.TimePMString);
        else
            scan.SkipToDigit();
    }
    return IsValidDate(year, month, day) && scan.AtEnd();
}

std::optional<TDateTime> ParseDate(std::string_view format, std::string_view text)
{
    if (text.empty())
        return NullDate;
    int month = 0;
    int day = 1;
    int year = CurrentYear();
    // The format is laid over the text only when the text fits into it.
    const QString wide = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (wide.size() <= static_cast<qsizetype>(format.size())) {
        month = ExtractPart(format, wide, 'M', 3, 0);
        if (month == 0)
            month = ExtractPart(format, wide, 'M', 1, 0);
        day = ExtractPart(format, wide, 'D', 1, 1);
        year = ExtractPart(format, wide, 'Y', 1, CurrentYear());
        // A year left entirely blank is no year: the user never typed one.
        if (year >= 0)
            year = ExpandYear(year);
    } else {
        month = -1;
    }
    if (IsValidDate(year, month, day))
        return EncodeDate(year, month, day);
    if (ScanDate(text, GetDateOrder(format), year, month, day))
        return EncodeDate(year, month, day);
    return std::nullopt;
}

}  // namespace

bool ValidDate(TDateTime date)
{
    if (!std::isfinite(date) || date < -693593.0 || date > 2958466.0)
        return false;
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(date, year, month, day);
    return IsValidDate(year, month, day);
}

int CurrentYear()
{
    int year = 0;
    int month = 0;
    int day = 0;
    DecodeDate(Date(), year, month, day);
    return year;
}

int ExpandYear(int year)
{
    if (year >= 100)
        return year;
    const int window = CurrentYear() - CenturyOffset;
    year += (window / 100) * 100;
    if (CenturyOffset > 0 && window > year)
        year += 100;
    return year;
}

namespace {
// Taken once, from the settings the program starts with.
const bool kFourDigitYear = Contains(UpperCase(FormatSettings::Current().ShortDateFormat), "YYYY");
}  // namespace

bool FourDigitYear()
{
    return kFourDigitYear;
}

TDateOrder GetDateOrder(std::string_view format)
{
    for (char c : format) {
        switch (std::toupper(static_cast<unsigned char>(c))) {
        case 'D': return TDateOrder::DMY;
        case 'M': return TDateOrder::MDY;
        case 'Y':
        case 'E': return TDateOrder::YMD;
        default: break;
        }
    }
    return TDateOrder::DMY;
}

std::string DefDateFormat(bool fourDigitYear)
{
    switch (GetDateOrder(FormatSettings::Current().ShortDateFormat)) {
    case TDateOrder::MDY: return fourDigitYear ? "MM/DD/YYYY" : "MM/DD/YY";
    case TDateOrder::DMY: return fourDigitYear ? "DD/MM/YYYY" : "DD/MM/YY";
    case TDateOrder::YMD: return fourDigitYear ? "YYYY/MM/DD" : "YY/MM/DD";
    }
    return {};
}

std::string DefDateMask(char blanks, bool fourDigitYear)
{
    std::string mask = "!99/99/99;1;";
    if (fourDigitYear)
        mask = GetDateOrder(FormatSettings::Current().ShortDateFormat) == TDateOrder::YMD ? "!9999/99/99;1;" : "!99/99/9999;1;";
    return mask + blanks;
}

std::string InvalidDateMessage(std::string_view text)
{
    return "''" + std::string(text) + "'' ist kein gültiges Datum";
}

TDateTime StrToDateFmt(std::string_view format, std::string_view text)
{
    if (const auto date = ParseDate(format, text))
        return *date;
    throw EConvertError(InvalidDateMessage(text));
}

TDateTime StrToDateFmtDef(std::string_view format, std::string_view text, TDateTime fallback)
{
    return ParseDate(format, text).value_or(fallback);
}

}  // namespace velmoran
