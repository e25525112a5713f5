// The help router: the one component through which every help request of the program passes. It
// takes over the application's help hook (the previous hook stays chained in front of it) and
// sends each request, in the command vocabulary of the classic Windows help engine, to the classic
// engine, to the HTML engine, or in mixed mode splits the commands between the two. The engines
// are the installed HelpEngine (platform/HelpEngine.h).
#pragma once

#include "platform/Component.h"

#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <functional>
#include <string>

class QWidget;

namespace velmoran {

class HelpEngine;

enum class THelpType { htWinhelp, htHTMLhelp, htMixedMode };
enum class TShowType { stDefault, stMain, stPopup };

// The first look at every request: (command, data, callHelp) -> handled.
using THelpEvent = std::function<bool(int command, std::int64_t data, bool& callHelp)>;

class THelpRouter : public Component {
public:
    // Raises "Multiple instances of THelpRouter are not allowed" when one exists.
    explicit THelpRouter(QObject* owner = nullptr);
    ~THelpRouter() override;

    static THelpRouter* Instance();

    THelpType HelpType() const { return helpType_; }
    void SetHelpType(THelpType type) { helpType_ = type; }
    TShowType ShowType() const { return showType_; }
    void SetShowType(TShowType type) { showType_ = type; }
    const std::string& Helpfile() const { return helpfile_; }
    void SetHelpfile(const std::string& file) { helpfile_ = file; }
    const std::string& CHMPopupTopics() const { return chmPopupTopics_; }
    void SetCHMPopupTopics(const std::string& topics) { chmPopupTopics_ = topics; }
    // Stored with the component; the routing does not read it.
    bool ValidateID = false;
    THelpEvent OnHelp;

    // The routing function installed as the application's help hook.
    bool Route(int command, std::int64_t data, bool& callHelp);
    // A text pop-up (with Text) or a topic of the pop-up topics (TopicId) at (x, y).
    bool TextPopup(int x, int y, const std::string& text, int topicId);

    // The help file a request uses, and the window that owns it.
    std::string CurrentHelpFile() const;
    QWidget* OwnerWindow() const;
    // The stored pop-up position; (0, 0) is none.
    QPoint PopupPosition() const { return popupPosition_; }

private:
    QWidget* ActiveForm() const;
    bool RouteHtml(int command, std::int64_t data, const std::string& file, bool& callHelp);
    bool RouteWin(int command, std::int64_t data, std::string file, bool& callHelp);

    THelpType helpType_ = THelpType::htWinhelp;
    TShowType showType_ = TShowType::stDefault;
    std::string helpfile_;
    std::string chmPopupTopics_ = "CSHelp.txt";
    THelpEvent previousHook_;
    QPoint popupPosition_;
};

// The file name with its extension replaced (or added).
std::string ChangeFileExt(const std::string& file, const std::string& extension);

}  // namespace velmoran
