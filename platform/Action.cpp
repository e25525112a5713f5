// The action and its hints; see Action.h.
#include "platform/Action.h"

namespace velmoran {

Action::Action(QObject* parent) : QObject(parent) {}

Action::~Action() = default;

void Action::SetImages(ImageList* images)
{
    if (images_ == images)
        return;
    if (images_)
        images_->UnRegisterChanges(this);
    images_ = images;
    if (images_)
        images_->RegisterChanges(this, [this] { links_.Notify(); });
    links_.Notify();
}

bool Action::Execute()
{
    if (!enabled_ || !OnExecute)
        return false;
    OnExecute(*this);
    return true;
}

std::string_view ShortHint(std::string_view hint)
{
    return hint.substr(0, hint.find('|'));
}

std::string_view LongHint(std::string_view hint)
{
    const std::size_t bar = hint.find('|');
    return bar == std::string_view::npos ? hint : hint.substr(bar + 1);
}

}  // namespace velmoran
