// The help router; see HelpRouter.h.
#include "help/HelpRouter.h"

#include "help/HelpIndex.h"

#include "platform/AppServices.h"
#include "platform/Application.h"
#include "platform/HelpEngine.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Text.h"

#include <QApplication>
#include <QCursor>
#include <QVariant>
#include <QWidget>

#include <filesystem>

namespace velmoran {

namespace {

THelpRouter*& TheInstance()
{
    static THelpRouter* instance = nullptr;
    return instance;
}

bool LoadHtmlHelp()
{
    HelpEngine* engine = CurrentHelpEngine();
    if (!engine || !engine->htmlHelpAvailable())
        return false;
    MarkHtmlHelpLoaded();
    return true;
}

}  // namespace

std::string ChangeFileExt(const std::string& file, const std::string& extension)
{
    return std::filesystem::path(file).replace_extension(extension).string();
}

THelpRouter::THelpRouter(QObject* owner) : Component(owner)
{
    if (TheInstance())
        throw Exception("Multiple instances of THelpRouter are not allowed");
    auto& services = AppServices::Instance();
    previousHook_ = services.OnHelp;
    services.OnHelp = [this](int command, long long data, bool& callHelp) { return Route(command, data, callHelp); };
    TheInstance() = this;
}

THelpRouter::~THelpRouter()
{
    AppServices::Instance().OnHelp = previousHook_;
    TheInstance() = nullptr;
}

THelpRouter* THelpRouter::Instance() { return TheInstance(); }

QWidget* THelpRouter::ActiveForm() const
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QObject* object = Owner(); object; object = object->parent())
        if (auto* widget = qobject_cast<QWidget*>(object))
            return widget->window();
    return nullptr;
}

QWidget* THelpRouter::OwnerWindow() const { return ActiveForm(); }

std::string THelpRouter::CurrentHelpFile() const
{
    if (!helpfile_.empty())
        return helpfile_;
    if (QWidget* form = ActiveForm()) {
        const std::string own = form->property("helpFile").toString().toStdString();
        if (!own.empty())
            return own;
    }
    return ApplicationHelpFile();
}

bool THelpRouter::Route(int command, std::int64_t data, bool& callHelp)
{
    bool result = false;
    if (OnHelp)
        result = OnHelp(command, data, callHelp);
    if (previousHook_ && callHelp)
        result = previousHook_(command, data, callHelp);
    if (!callHelp)
        return result;

    const std::string file = CurrentHelpFile();
    if (showType_ == TShowType::stMain) {
        if (command == HELP_CONTEXTPOPUP)
            command = HELP_CONTEXT;
        else if (command == HELP_SETPOPUP_POS)
            command = 0;
    }
    if (command == 0) {
        callHelp = false;
        return true;
    }
    const bool html = helpType_ == THelpType::htHTMLhelp ||
                      (helpType_ == THelpType::htMixedMode && command != HELP_CONTEXTPOPUP &&
                       command != HELP_SETPOPUP_POS);
    return html ? RouteHtml(command, data, file, callHelp) : RouteWin(command, data, file, callHelp);
}

bool THelpRouter::RouteHtml(int command, std::int64_t data, const std::string& file, bool& callHelp)
{
    if (command == HELP_QUIT && !HtmlHelpLoaded()) {
        callHelp = false;
        return true;
    }
    if (!LoadHtmlHelp())
        return false;  // left to the application with callHelp still set
    HelpEngine& engine = *CurrentHelpEngine();
    const std::string chm = ChangeFileExt(file, ".chm");
    QWidget* owner = nullptr;  // the HTML engine's calls go to window 0
    bool result = false;
    switch (command) {
    case HELP_CONTEXT:
        result = engine.htmlHelp(owner, chm, HH_HELP_CONTEXT, data) != nullptr;
        break;
    case HELP_QUIT:
        result = engine.htmlHelp(owner, {}, HH_CLOSE_ALL, 0) != nullptr;
        break;
    case HELP_CONTENTS:
    case HELP_FINDER:
        result = engine.htmlHelp(owner, chm, HH_DISPLAY_TOC, 0) != nullptr;
        break;
    case HELP_CONTEXTPOPUP: {
        const QPoint at = popupPosition_.isNull() ? QCursor::pos() : popupPosition_;
        popupPosition_ = QPoint();
        // A number beyond 32 bits names no pop-up (topic 0 has none), not some other topic's.
        TextPopup(at.x(), at.y(), {}, ContextNumber(data).value_or(0));
        result = true;
        break;
    }
    case HELP_SETPOPUP_POS:
        popupPosition_ = UnpackHelpPoint(data);
        break;
    case HELP_TAB:
        result = engine.htmlHelp(owner, chm, data == 0 ? HH_DISPLAY_TOC : HH_DISPLAY_INDEX, 0) != nullptr;
        break;
    case HELP_KEY:
    case HELP_PARTIALKEY:
        result = engine.htmlHelp(owner, chm, HH_DISPLAY_INDEX, data) != nullptr;
        break;
    default:
        break;
    }
    callHelp = false;
    return result;
}

bool THelpRouter::RouteWin(int command, std::int64_t data, std::string file, bool& callHelp)
{
    if (helpType_ == THelpType::htMixedMode && command == HELP_CONTEXTPOPUP &&
        SameText(std::filesystem::path(chmPopupTopics_).extension().string(), ".hlp")) {
        const std::filesystem::path topics(chmPopupTopics_);
        file = topics.has_parent_path() ? chmPopupTopics_
                                        : (std::filesystem::path(file).parent_path() / topics).string();
    }
    HelpEngine* engine = CurrentHelpEngine();
    const bool result = engine && engine->winHelp(OwnerWindow(), ChangeFileExt(file, ".hlp"), command, data);
    callHelp = false;
    return result;
}

bool THelpRouter::TextPopup(int x, int y, const std::string& text, int topicId)
{
    if (!LoadHtmlHelp())
        return false;
    THHPopup popup;
    popup.idString = text.empty() ? topicId : 0;
    popup.pszText = text;
    popup.pt = QPoint(x, y);
    // "MS Sans Serif" is on no system here; the face that stands in for Arial gives a known width.
    popup.pszFont = "Liberation Sans, 8";
    std::string file;
    if (text.empty()) {
        if (chmPopupTopics_.empty())
            chmPopupTopics_ = "CSHelp.txt";
        file = ChangeFileExt(CurrentHelpFile(), ".chm") + "::/" + chmPopupTopics_;
    }
    return CurrentHelpEngine()->htmlHelp(OwnerWindow(), file, HH_DISPLAY_TEXT_POPUP, 0, &popup) != nullptr;
}

}  // namespace velmoran
