// The main window's settings; see Settings.h.
#include "shell/Settings.h"

#include "platform/Prompt.h"
#include "platform/RegIni.h"
#include "shell/Folders.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cstdint>
#include <set>

namespace velmoran {

namespace {

constexpr std::size_t kRectBytes = 16;

void PutInt32(std::string& bytes, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((bits >> shift) & 0xFF));
}

std::int32_t GetInt32(std::string_view bytes, std::size_t offset)
{
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i)
        bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset + i])) << (8 * i);
    return static_cast<std::int32_t>(bits);
}

bool Meets(const TRect& a, const TRect& b)
{
    return std::max(a.Left, b.Left) < std::min(a.Right, b.Right) && std::max(a.Top, b.Top) < std::min(a.Bottom, b.Bottom);
}

}  // namespace

std::string EncodeFormRect(const TRect& rect)
{
    std::string bytes;
    bytes.reserve(kRectBytes);
    for (const int value : {rect.Left, rect.Top, rect.Right, rect.Bottom})
        PutInt32(bytes, value);
    return bytes;
}

std::optional<TRect> DecodeFormRect(std::string_view bytes, const std::vector<TRect>& screens)
{
    if (bytes.size() != kRectBytes)
        return std::nullopt;
    const TRect rect{GetInt32(bytes, 0), GetInt32(bytes, 4), GetInt32(bytes, 8), GetInt32(bytes, 12)};
    if (rect.IsEmpty())
        return std::nullopt;
    const bool onScreen = std::any_of(screens.begin(), screens.end(), [&](const TRect& screen) { return Meets(rect, screen); });
    if (!onScreen)
        return std::nullopt;
    return rect;
}

std::vector<TRect> ScreenRects()
{
    std::vector<TRect> rects;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->geometry();
        rects.push_back({area.left(), area.top(), area.right() + 1, area.bottom() + 1});
    }
    return rects;
}

TWindowSettings ReadWindowSettings(const RegIniFile& settings, const std::vector<TRect>& screens)
{
    TWindowSettings result;
    if (const auto bytes = settings.ReadBinary({}, "MainFormRect"))
        result.MainFormRect = DecodeFormRect(*bytes, screens);
    result.StartDialog = settings.ReadInteger({}, "StartDialog", 1) != 0;
    result.SpeedBar = settings.ReadInteger({}, "SpeedBar", 1) != 0;
    return result;
}

TWindowSettings ReadWindowSettings()
{
    const RegIniFile settings(kSettingsKey);
    return ReadWindowSettings(settings, ScreenRects());
}

bool WriteWindowSettings(RegIniFile& settings, const TRect& bounds, bool startDialog, bool speedBar)
{
    settings.WriteBinary({}, "MainFormRect", EncodeFormRect(bounds));
    settings.WriteInteger({}, "StartDialog", startDialog ? 1 : 0);
    settings.WriteInteger({}, "SpeedBar", speedBar ? 1 : 0);
    return SyncSettings(settings);
}

bool SyncSettings(RegIniFile& settings)
{
    if (settings.Sync())
        return true;
    static std::set<std::string> told;
    if (told.insert(settings.FileName()).second)
        Prompts().ShowError(settings.SyncError());
    return false;
}

}  // namespace velmoran
