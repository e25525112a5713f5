// The program's one help window: a top-level window, not modal, captioned with the help file's
// title, showing topics in a page viewer with a history of 50 pages and the buttons "Inhalt",
// "Index" and "Zurück". A help page never starts a program: the viewer follows only anchors and
// HTML links inside the topic folder; every other link does nothing.
#pragma once

#include "help/HelpIndex.h"

#include <QWidget>

#include <string>

class QKeyEvent;
class QPushButton;

namespace velmoran {

class TPageViewer;
class THelpViewer;

class THelpWindow : public QWidget {
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    ~THelpWindow() override;

    // The help file whose topics are shown: its title becomes the caption.
    void SetHelpFile(const std::string& indexFile, const THelpIndex& index);
    const std::string& HelpFile() const { return indexFile_; }
    const THelpIndex& Index() const { return index_; }
    const std::string& TopicFolder() const { return topicFolder_; }

    // Each shows its page and the window; false (after a message) when the page file is missing.
    bool ShowTopic(const std::string& topic);
    bool ShowFile(const std::string& path, const std::string& shownName);
    bool ShowContents();
    void ShowIndex();
    // One page back in the history.
    void Back();

    TPageViewer* Viewer() const;
    QPushButton* ContentsButton() const { return contents_; }
    QPushButton* IndexButton() const { return indexButton_; }
    QPushButton* BackButton() const { return back_; }
    // Whether a link of a page is left to the viewer (anchors and HTML pages in the topic folder).
    bool ViewerMayFollow(const std::string& url) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Raise();
    void HotSpotClick(const std::string& url, bool& handled);
    void UpdateBack();

    THelpViewer* viewer_ = nullptr;
    QPushButton* contents_ = nullptr;
    QPushButton* indexButton_ = nullptr;
    QPushButton* back_ = nullptr;
    std::string indexFile_;
    std::string topicFolder_;
    THelpIndex index_;
};

// The messages of failed help requests.
std::string HelpFileMissingMessage(const std::string& file);
std::string TopicMissingMessage(const std::string& topic);
// A topic file that is there but cannot be read (no permission, a read error).
std::string TopicUnreadableMessage(const std::string& topic);

}  // namespace velmoran
