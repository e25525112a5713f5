// System settings, metrics, monitors and the display platform; see SystemParams.h.
#include "platform/SystemParams.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace velmoran {

SystemParamOverrides& SystemParamsOverride()
{
    static SystemParamOverrides overrides;
    return overrides;
}

int GetMenuShowDelay()
{
    return SystemParamsOverride().MenuShowDelay.value_or(400);
}

int GetHintPause()
{
    if (const auto pause = SystemParamsOverride().HintPause)
        return *pause;
    return std::max(0, QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay));
}

bool AreKeyboardCuesShown()
{
    if (const auto cues = SystemParamsOverride().KeyboardCues)
        return *cues;
    QStyle* style = qobject_cast<QApplication*>(QCoreApplication::instance()) ? QApplication::style() : nullptr;
    return style == nullptr || style->styleHint(QStyle::SH_UnderlineShortcut) != 0;
}

bool IsMenuAnimationEnabled()
{
    return SystemParamsOverride().MenuAnimation.value_or(QApplication::isEffectEnabled(Qt::UI_AnimateMenu));
}

bool IsMenuFadeEnabled()
{
    return SystemParamsOverride().MenuFade.value_or(QApplication::isEffectEnabled(Qt::UI_FadeMenu));
}

bool AreFlatMenusEnabled()
{
    return false;
}

bool IsMenuDropAlignmentRight()
{
    return false;
}

QFont MenuFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setKerning(false);
    return font;
}

namespace {

std::vector<std::pair<QRect, QRect>> Monitors()
{
    if (const auto& monitors = SystemParamsOverride().Monitors)
        return *monitors;
    std::vector<std::pair<QRect, QRect>> result;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        for (QScreen* screen : QGuiApplication::screens())
            result.emplace_back(screen->geometry(), screen->availableGeometry());
    return result;
}

// Squared distance from a point to a rectangle (0 inside).
long long DistanceTo(const QRect& rect, const QPoint& point)
{
    const long long dx = point.x() < rect.left() ? rect.left() - point.x()
                         : point.x() > rect.right() ? point.x() - rect.right() : 0;
    const long long dy = point.y() < rect.top() ? rect.top() - point.y()
                         : point.y() > rect.bottom() ? point.y() - rect.bottom() : 0;
    return dx * dx + dy * dy;
}

QRect Nearest(const QRect& rect, bool workArea)
{
    const auto monitors = Monitors();
    if (monitors.empty())
        return QRect(0, 0, 640, 480);
    const std::pair<QRect, QRect>* best = nullptr;
    long long bestArea = -1;
    long long bestDistance = LLONG_MAX;
    for (const auto& monitor : monitors) {
        const QRect common = monitor.first.intersected(rect.normalized());
        const long long area = common.isEmpty() ? 0 : 1LL * common.width() * common.height();
        const long long distance = DistanceTo(monitor.first, rect.center());
        if (area > bestArea || (area == bestArea && distance < bestDistance)) {
            best = &monitor;
            bestArea = area;
            bestDistance = distance;
        }
    }
    return workArea ? best->second : best->first;
}

}  // namespace

QRect GetMonitorRectOfRect(const QRect& rect, bool workArea)
{
    return Nearest(rect.isEmpty() ? QRect(rect.topLeft(), QSize(1, 1)) : rect, workArea);
}

QRect GetMonitorRectOfPoint(const QPoint& point, bool workArea)
{
    return Nearest(QRect(point, QSize(1, 1)), workArea);
}

int GetMonitorCount()
{
    return static_cast<int>(Monitors().size());
}

QRect GetPrimaryWorkArea()
{
    const auto monitors = Monitors();
    return monitors.empty() ? QRect(0, 0, 640, 480) : monitors.front().second;
}

void ChooseDisplayPlatform()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if ((platform == nullptr || *platform == '\0') && wayland != nullptr && *wayland != '\0')
        setenv("QT_QPA_PLATFORM", "xcb", 1);
}

}  // namespace velmoran
