// The program's one action class: a command with its caption, hint, picture, checked, enabled
// and visible state, which menu items, toolbar buttons and speed buttons link to. A linked
// control registers for change notification and takes the action's state whenever it changes;
// clicking the control runs the action's OnExecute.
//
// Kept to what the controls use today; the menus and toolbars add their properties here as they
// come, never in a second class.
#pragma once

#include "platform/ChangeLinks.h"
#include "platform/ImageList.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>
#include <string_view>

namespace velmoran {

class Action : public QObject {
public:
    explicit Action(QObject* parent = nullptr);
    ~Action() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption) { Set(caption_, caption); }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked) { Set(checked_, checked); }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { Set(enabled_, enabled); }
    // "short|long": controls show the short part as their tool tip.
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& hint) { Set(hint_, hint); }
    // The picture: an index into Images, -1 for none.
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index) { Set(imageIndex_, index); }
    ImageList* Images() const { return images_; }
    // Linked controls also hear of changes of the image list itself.
    void SetImages(ImageList* images);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { Set(visible_, visible); }

    std::function<void(Action& sender)> OnExecute;
    // Runs OnExecute when the action is enabled; false when nothing ran.
    bool Execute();

    // Links: told after every change of the action (or of its image list) while link lives.
    void RegisterChanges(QObject* link, std::function<void()> onChange) { links_.Register(link, std::move(onChange)); }
    void UnRegisterChanges(QObject* link) { links_.Unregister(link); }

private:
    template <typename T>
    void Set(T& field, const T& value)
    {
        if (field == value)
            return;
        field = value;
        links_.Notify();
    }

    std::string caption_;
    bool checked_ = false;
    bool enabled_ = true;
    std::string hint_;
    int imageIndex_ = -1;
    QPointer<ImageList> images_;
    bool visible_ = true;
    ChangeLinks links_;
};

// The parts of a hint "short|long": without a bar both are the whole hint.
std::string_view ShortHint(std::string_view hint);
std::string_view LongHint(std::string_view hint);

}  // namespace velmoran
