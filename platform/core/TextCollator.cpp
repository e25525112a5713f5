// Collation through ICU: one collator per locale and case option, kept per thread, since a
// collator is costly to open and the tables compare keys millions of times while sorting.
#include "platform/core/TextCollator.h"

#include "platform/core/Cp1252.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>
#include <unicode/ustring.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace velmoran {

namespace {

std::mutex defaultMutex;
std::string defaultOverride;  // guarded by defaultMutex
// Bumped whenever the default changes, so that cached collators of id 1024 are reopened.
std::atomic<std::uint32_t> defaultEpoch = 0;

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" -> the root collation.
std::string FromPosixName(std::string name)
{
    auto cut = name.find_first_of(".@");
    if (cut != std::string::npos)
        name.resize(cut);
    if (name == "C" || name == "POSIX")
        return "root";
    return name;
}

std::string EnvironmentLocale()
{
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return FromPosixName(value);
    }
    return "root";
}

bool IsDefaultId(std::uint32_t id)
{
    // LOCALE_NEUTRAL, LOCALE_USER_DEFAULT and LOCALE_SYSTEM_DEFAULT.
    return id == 0 || id == 1024 || id == 2048;
}

struct CollatorDeleter {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorDeleter>;

struct CachedCollator {
    CollatorPtr collator;
    std::uint32_t epoch = 0;
};

UCollator* OpenCollator(std::uint32_t localeId, bool ignoreCase)
{
    thread_local std::map<std::pair<std::uint32_t, bool>, CachedCollator> cache;
    // Sorting asks for the same collator again and again: the last one answers at once.
    thread_local std::pair<std::uint32_t, bool> lastKey{0xFFFFFFFF, false};
    thread_local const CachedCollator* last = nullptr;
    const std::uint32_t epoch = defaultEpoch.load(std::memory_order_acquire);
    auto key = std::make_pair(localeId, ignoreCase);
    auto fresh = [&](const CachedCollator& cached) { return !IsDefaultId(localeId) || cached.epoch == epoch; };
    if (last && key == lastKey && fresh(*last))
        return last->collator.get();
    auto it = cache.find(key);
    if (it != cache.end() && fresh(it->second)) {
        lastKey = key;
        last = &it->second;
        return it->second.collator.get();
    }
    std::string name = TextCollator::LocaleName(localeId);
    if (name.empty())
        throw ECollationError();
    UErrorCode status = U_ZERO_ERROR;
    CollatorPtr collator(ucol_open(name == "root" ? "" : name.c_str(), &status));
    if (U_FAILURE(status) || !collator)
        throw ECollationError();
    // Secondary strength tells letters and accents apart but not case.
    ucol_setStrength(collator.get(), ignoreCase ? UCOL_SECONDARY : UCOL_TERTIARY);
    UCollator* result = collator.get();
    cache[key] = CachedCollator{std::move(collator), epoch};
    lastKey = key;
    last = &cache[key];
    return result;
}

int Sign(UCollationResult result)
{
    return result == UCOL_LESS ? -1 : result == UCOL_GREATER ? 1 : 0;
}

// Windows-1252 bytes widened into a UTF-16 buffer; short texts stay on the stack.
class WideBuffer {
public:
    explicit WideBuffer(std::string_view bytes)
    {
        if (bytes.size() > sizeof(local_) / sizeof(local_[0])) {
            heap_.resize(bytes.size());
            data_ = heap_.data();
        }
        for (std::size_t i = 0; i < bytes.size(); ++i)
            data_[i] = static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])));
        size_ = bytes.size();
    }
    std::u16string_view View() const { return {data_, size_}; }

private:
    char16_t local_[128];
    std::vector<char16_t> heap_;
    char16_t* data_ = local_;
    std::size_t size_ = 0;
};

}  // namespace

std::string TextCollator::LocaleName(std::uint32_t localeId)
{
    if (IsDefaultId(localeId))
        return UserDefaultLocale();
    char name[ULOC_FULLNAME_CAPACITY] = {};
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = uloc_getLocaleForLCID(localeId, name, sizeof name, &status);
    if (U_FAILURE(status) || length <= 0)
        return {};
    return std::string(name, static_cast<std::size_t>(length));
}

void TextCollator::SetUserDefaultLocale(std::string_view name)
{
    std::lock_guard lock(defaultMutex);
    defaultOverride = FromPosixName(std::string(name));
    defaultEpoch.fetch_add(1, std::memory_order_release);
}

std::string TextCollator::UserDefaultLocale()
{
    {
        std::lock_guard lock(defaultMutex);
        if (!defaultOverride.empty())
            return defaultOverride;
    }
    return EnvironmentLocale();
}

int TextCollator::Compare(std::u16string_view a, std::u16string_view b, std::uint32_t localeId, bool ignoreCase)
{
    UCollator* collator = OpenCollator(localeId, ignoreCase);
    return Sign(ucol_strcoll(collator, reinterpret_cast<const UChar*>(a.data()), static_cast<int32_t>(a.size()),
                             reinterpret_cast<const UChar*>(b.data()), static_cast<int32_t>(b.size())));
}

int TextCollator::CompareAnsi(std::string_view a, std::string_view b, std::uint32_t localeId, bool ignoreCase)
{
    WideBuffer wa(a);
    WideBuffer wb(b);
    return Compare(wa.View(), wb.View(), localeId, ignoreCase);
}

int TextCollator::CompareUtf8(std::string_view a, std::string_view b, std::uint32_t localeId, bool ignoreCase)
{
    UCollator* collator = OpenCollator(localeId, ignoreCase);
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult result = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                               static_cast<int32_t>(b.size()), &status);
    if (U_FAILURE(status))
        throw ECollationError();
    return Sign(result);
}

namespace {

template <typename Mapping>
std::string MapCase(std::string_view utf8, Mapping mapping)
{
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, utf8.data(), static_cast<int32_t>(utf8.size()), &status);
    std::u16string wide(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(wide.data()), length, nullptr, utf8.data(),
                         static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    std::u16string mapped(wide.size() + 16, u'\0');
    for (;;) {
        status = U_ZERO_ERROR;
        int32_t n = mapping(reinterpret_cast<UChar*>(mapped.data()), static_cast<int32_t>(mapped.size()),
                            reinterpret_cast<const UChar*>(wide.data()), static_cast<int32_t>(wide.size()), "",
                            &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            mapped.resize(static_cast<std::size_t>(n));
            continue;
        }
        mapped.resize(U_FAILURE(status) ? 0 : static_cast<std::size_t>(n));
        break;
    }
    std::string out;
    for (std::size_t i = 0; i < mapped.size(); ++i) {
        char32_t c = mapped[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < mapped.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (mapped[++i] - 0xDC00);
        AppendUtf8(out, c);
    }
    return out;
}

}  // namespace

std::string UnicodeUpperCase(std::string_view utf8)
{
    return MapCase(utf8, u_strToUpper);
}

std::string UnicodeLowerCase(std::string_view utf8)
{
    return MapCase(utf8, u_strToLower);
}

}  // namespace velmoran
