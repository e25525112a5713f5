// Access to the controls' compiled-in resources; see ControlResources.h.
#include "controls/ControlResources.h"

#include <QFile>

// The resources of a static library register only when asked to (outside any namespace).
static void RegisterControlResources()
{
    Q_INIT_RESOURCE(controls);
}

namespace velmoran {

namespace {

void EnsureRegistered()
{
    static const bool registered = [] {
        RegisterControlResources();
        return true;
    }();
    (void)registered;
}

}  // namespace

bool ReadPictureResource(const std::string& name, std::string& bytes)
{
    EnsureRegistered();
    if (name.empty() || name.find("..") != std::string::npos)
        return false;
    QFile file(QStringLiteral(":/pictures/") + QString::fromStdString(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    bytes.assign(data.constData(), static_cast<std::size_t>(data.size()));
    return true;
}

QImage ControlBitmap(const std::string& name)
{
    EnsureRegistered();
    return QImage(QStringLiteral(":/bitmaps/") + QString::fromStdString(name) + QStringLiteral(".xpm"));
}

}  // namespace velmoran
