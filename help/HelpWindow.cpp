// The help window; see HelpWindow.h.
#include "help/HelpWindow.h"

#include "html/viewer/PageViewer.h"
#include "platform/Prompt.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

namespace velmoran {

namespace {

constexpr int kHistoryPages = 50;
// Help pages read as paper: white unless a page sets its own colour.
constexpr ColorRef kHelpPageBackground = 0xFFFFFF;
// The name the index page goes by in the viewer and its history; no topic file is read under it.
constexpr const char* kIndexPageName = ".stichwortindex";

std::string CleanPath(const std::string& path)
{
    return QDir::cleanPath(QString::fromStdString(path)).toStdString();
}

bool IsTopicFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string WithoutAnchor(const std::string& name)
{
    return name.substr(0, name.find('#'));
}

}  // namespace

// The viewer of the help window: the index page is made, not read, also when the history
// returns to it.
class THelpViewer : public TPageViewer {
public:
    using TPageViewer::TPageViewer;

    std::string IndexReference;
    std::string IndexSource;

    void LoadFileByKind(const std::string& fileName, std::uint8_t kind) override
    {
        if (!IndexReference.empty() && CleanPath(fileName) == IndexReference)
            LoadDocumentString(IndexSource, IndexReference);
        else
            TPageViewer::LoadFileByKind(fileName, kind);
    }
};

std::string HelpFileMissingMessage(const std::string& file)
{
    return "Die Hilfedatei \xE2\x80\x9E" + file + "\xE2\x80\x9C wurde nicht gefunden.";
}

std::string TopicMissingMessage(const std::string& topic)
{
    return "Das Hilfethema \xE2\x80\x9E" + topic + "\xE2\x80\x9C wurde nicht gefunden.";
}

std::string TopicUnreadableMessage(const std::string& topic)
{
    return "Das Hilfethema \xE2\x80\x9E" + topic + "\xE2\x80\x9C konnte nicht gelesen werden.";
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Hilfe"));
    // Help belongs to the program: an open help window never keeps it running once the main
    // window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* buttons = new QHBoxLayout();
    contents_ = new QPushButton(QStringLiteral("Inhalt"), this);
    indexButton_ = new QPushButton(QStringLiteral("Index"), this);
    back_ = new QPushButton(QString::fromUtf8("Zur\xC3\xBC" "ck"), this);
    for (QPushButton* button : {contents_, indexButton_, back_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);
    viewer_ = new THelpViewer(this);
    viewer_->SetHistoryMaxCount(kHistoryPages);
    viewer_->SetDefBackground(kHelpPageBackground);
    layout->addWidget(viewer_, 1);
    resize(640, 520);

    viewer_->OnHotSpotClick = [this](TPageViewer*, const std::string& url, bool& handled) {
        HotSpotClick(url, handled);
    };
    viewer_->OnHistoryChange = [this](TPageViewer*) { UpdateBack(); };
    connect(contents_, &QPushButton::clicked, this, [this] { ShowContents(); });
    connect(indexButton_, &QPushButton::clicked, this, [this] { ShowIndex(); });
    connect(back_, &QPushButton::clicked, this, [this] { Back(); });
    UpdateBack();
}

THelpWindow::~THelpWindow() = default;

TPageViewer* THelpWindow::Viewer() const { return viewer_; }

void THelpWindow::SetHelpFile(const std::string& indexFile, const THelpIndex& index)
{
    indexFile_ = indexFile;
    index_ = index;
    std::error_code error;
    const auto folder = std::filesystem::absolute(TopicFolderOf(indexFile), error);
    topicFolder_ = CleanPath(error ? TopicFolderOf(indexFile) : folder.string());
    setWindowTitle(QString::fromStdString(index.Title.empty() ? std::string("Hilfe") : index.Title));
    viewer_->IndexReference = topicFolder_ + "/" + kIndexPageName;
    viewer_->IndexSource = IndexPageSource(index);
}

bool THelpWindow::ShowFile(const std::string& path, const std::string& shownName)
{
    if (!IsTopicFile(WithoutAnchor(path))) {
        Prompts().ShowError(TopicMissingMessage(shownName));
        return false;
    }
    // Shown first, so that the page is laid out at the window's width and an anchor is in view.
    Raise();
    try {
        viewer_->LoadDocumentFile(path);
    } catch (const EInOutError&) {
        Prompts().ShowError(TopicMissingMessage(shownName));
        return false;
    } catch (const EStreamError&) {
        Prompts().ShowError(TopicUnreadableMessage(shownName));
        return false;
    }
    return true;
}

bool THelpWindow::ShowTopic(const std::string& topic)
{
    return ShowFile(TopicPath(topicFolder_, topic), topic);
}

bool THelpWindow::ShowContents()
{
    if (index_.Contents.empty()) {
        ShowIndex();
        return true;
    }
    return ShowTopic(index_.Contents);
}

void THelpWindow::ShowIndex()
{
    // Through the history, so that "Zurück" returns to the page left.
    Raise();
    viewer_->LoadDocumentFile(viewer_->IndexReference);
}

void THelpWindow::Back()
{
    try {
        viewer_->SetHistoryIndex(viewer_->HistoryIndex() + 1);
    } catch (const EInOutError&) {
        Prompts().ShowError(TopicMissingMessage(viewer_->History()[viewer_->HistoryIndex() + 1]));
    } catch (const EStreamError&) {
        Prompts().ShowError(TopicUnreadableMessage(viewer_->History()[viewer_->HistoryIndex() + 1]));
    }
    UpdateBack();
}

void THelpWindow::keyPressEvent(QKeyEvent* event)
{
    // Esc closes the window, as it closes other help windows.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void THelpWindow::Raise()
{
    // Over a modal dialog the window belongs to the dialog, or it would take no input until the
    // dialog is closed; without one it is a window of its own again.
    QWidget* modal = QApplication::activeModalWidget();
    QWidget* owner = modal && modal != this && !isAncestorOf(modal) ? modal : nullptr;
    if (parentWidget() != owner)
        setParent(owner, windowFlags() | Qt::Window);
    show();
    raise();
    activateWindow();
}

void THelpWindow::UpdateBack()
{
    const auto pages = static_cast<int>(viewer_->History().size());
    back_->setEnabled(viewer_->HistoryIndex() + 1 < pages);
}

bool THelpWindow::ViewerMayFollow(const std::string& url) const
{
    if (!url.empty() && url.front() == '#')
        return true;
    const std::string file = WithoutAnchor(url);
    if (file.find(':') != std::string::npos)  // a scheme or a drive: never a topic
        return false;
    const std::string ext = std::filesystem::path(file).extension().string();
    if (!SameText(ext, ".htm") && !SameText(ext, ".html"))
        return false;
    const std::string full = CleanPath(viewer_->ExpandFileName(file));
    return !topicFolder_.empty() && StartsWith(full, topicFolder_ + "/");
}

void THelpWindow::HotSpotClick(const std::string& url, bool& handled)
{
    if (!ViewerMayFollow(url)) {
        handled = true;
        return;
    }
    if (url.front() == '#')
        return;
    // A topic the folder lacks is reported here rather than left to fail in the viewer.
    const std::string file = CleanPath(viewer_->ExpandFileName(WithoutAnchor(url)));
    if (!IsTopicFile(file)) {
        Prompts().ShowError(TopicMissingMessage(WithoutAnchor(url)));
        handled = true;
    }
}

}  // namespace velmoran
