// Text drag and drop for the typed edit over Qt's drag and drop: a drop target fed by its
// widget's drag events that hands text, rich text and file lists to overridable handlers; the
// data a text drag offers; a reader of what a drag carries; and the start of a text drag.
//
// Formats: "text/plain"; a file list is "text/uri-list" of local files; rich text is "text/rtf",
// taken and offered only while the process-wide rich-text switch is on (nothing in the program
// sets it). A drop copies with Ctrl held and moves otherwise; a drag carrying a file list always
// reports a copy, since the edit never takes the files a move would tell the source to remove.
#pragma once

#include "platform/GdiTypes.h"

#include <QMimeData>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace velmoran {

inline constexpr const char* kTextMime = "text/plain";
inline constexpr const char* kFileListMime = "text/uri-list";
inline constexpr const char* kRichTextMime = "text/rtf";

// The process-wide rich-text switch (off).
bool RichTextDragEnabled();
void SetRichTextDragEnabled(bool on);

// What a drag carries, read out of its data.
class TEnumFormats {
public:
    explicit TEnumFormats(const QMimeData* data) : data_(data) {}

    bool HasText() const;
    bool HasRichText() const;
    // At least one local file.
    bool HasFiles() const;
    std::string Text() const;
    std::string RichText() const;
    // The local files, in the drag's order.
    std::vector<std::string> Files() const;

private:
    const QMimeData* data_;
};

// The data of a text drag: the text, and the rich text while the switch is on (and there is
// some). The formats are decided when asked, so the switch counts at the time of the drop.
class TSourceDataObject : public QMimeData {
public:
    TSourceDataObject(std::string text, std::string richText);
    QStringList formats() const override;
    bool hasFormat(const QString& mimeType) const override;

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType type) const override;

private:
    bool OffersRichText() const;
    std::string text_;
    std::string richText_;
};

// A drop target: installs itself on the widget's events and makes it accept drops for as long
// as it lives. Points are the widget's client coordinates.
class TAEDropTarget : public QObject {
public:
    explicit TAEDropTarget(QWidget* widget);
    ~TAEDropTarget() override;

    virtual void DropText(TPoint point, const std::string& text);
    virtual void DropRTF(TPoint point, const std::string& richText);
    virtual void DropFiles(TPoint point, const std::vector<std::string>& files);
    // Over the widget during a drag; Allow false refuses the drop there.
    virtual void DragMouseMove(TPoint point, bool& allow);
    // The drag left the widget without a drop.
    virtual void DragLeave() {}

    // The effect a drag gets: copy for a file list or with Ctrl held, else move.
    static Qt::DropAction EffectFor(const TEnumFormats& formats, Qt::KeyboardModifiers keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    QWidget* Widget() const { return widget_; }
    // The keys held at the event being handled.
    Qt::KeyboardModifiers KeyState() const { return keys_; }

private:
    bool Accepts(const TEnumFormats& formats) const;
    QPointer<QWidget> widget_;
    bool accepted_ = false;
    Qt::KeyboardModifiers keys_;
};

enum class TDragResult { Drop, Cancel };

// Runs a drag of the data from a widget with the effects allowed and returns the effect chosen
// (Qt::IgnoreAction when nothing took it). The default runs QDrag; tests put their own in.
using TDragRunner =
    std::function<Qt::DropAction(QWidget* source, std::unique_ptr<QMimeData> data, Qt::DropActions allowed)>;
class ScopedDragRunner {
public:
    explicit ScopedDragRunner(TDragRunner runner);
    ~ScopedDragRunner();
    ScopedDragRunner(const ScopedDragRunner&) = delete;
    ScopedDragRunner& operator=(const ScopedDragRunner&) = delete;

private:
    TDragRunner previous_;
};

// Drags a text (and rich text) from a widget: Drop with the effect chosen, or Cancel when no
// target accepted it.
TDragResult StartTextDrag(QWidget* source, const std::string& text, const std::string& richText,
                          Qt::DropActions allowed, Qt::DropAction& effect);

}  // namespace velmoran
