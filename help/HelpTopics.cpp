// Help topics of a window's elements; see HelpTopics.h.
#include "help/HelpTopics.h"

#include "help/WhatsThis.h"
#include "platform/AppServices.h"
#include "platform/core/Cp1252.h"

#include <QVariant>

namespace velmoran {

int HelpContextOf(std::span<const THelpTopic> topics, std::string_view name)
{
    for (const THelpTopic& topic : topics)
        if (name == topic.Name)
            return topic.Context;
    return 0;
}

void AssignHelpContexts(QObject& root, std::span<const THelpTopic> topics)
{
    auto assign = [&](QObject& object) {
        const QString name = object.objectName();
        if (name.isEmpty())
            return;
        if (const int context = HelpContextOf(topics, name.toStdString()); context != 0)
            object.setProperty("helpContext", context);
    };
    assign(root);
    for (QObject* child : root.findChildren<QObject*>())
        assign(*child);
}

namespace {

constexpr const char* kPageHead =
    "<html>\n<head>\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n";

// The title without its markup, for the window's caption.
std::string PlainTitle(const char* title)
{
    std::string plain;
    bool inTag = false;
    for (const char* c = title; *c; ++c) {
        if (*c == '<')
            inTag = true;
        else if (*c == '>')
            inTag = false;
        else if (!inTag)
            plain += *c;
    }
    return plain;
}

// The help folder's files have CR LF lines, as written on Windows.
std::string ShippedText(const std::string& utf8)
{
    std::string out;
    for (char c : Utf8ToCp1252(utf8)) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

std::string HelpTopicFileName(const THelpTopic& topic)
{
    return std::string(topic.Name) + ".htm";
}

std::string HelpTopicPage(const THelpTopic& topic)
{
    std::string page = kPageHead;
    page += "<title>" + PlainTitle(topic.Title) + "</title>\n</head>\n<body>\n";
    page += "<h3>" + std::string(topic.Title) + "</h3>\n";
    page += "<p>" + std::string(topic.Text) + "</p>\n";
    page += "<p><a href=\"" + std::string(kHelpTopicListFile) +
            "\">Alle Felder und Befehle</a> \xC2\xB7 <a href=\"inhalt.htm\">Inhalt</a></p>\n";
    page += "</body>\n</html>\n";
    return ShippedText(page);
}

std::string HelpTopicListPage(std::span<const THelpTopic> topics, std::span<const THelpTopicGroup> groups)
{
    std::string page = kPageHead;
    page += "<title>Felder und Befehle</title>\n</head>\n<body>\n<h2>Felder und Befehle</h2>\n";
    page += "<p>Zu jedem Eingabefeld, jeder Liste und jedem Befehl gibt es eine kurze Erkl\xC3\xA4rung. "
            "F1 zeigt sie f\xC3\xBCr das Feld mit der Schreibmarke, Umschalt+F1 und ein Klick f\xC3\xBCr "
            "das angeklickte Element.</p>\n";
    for (const THelpTopicGroup& group : groups) {
        page += "<h3>" + std::string(group.Heading) + "</h3>\n<p>\n";
        for (const THelpTopic& topic : topics)
            if (topic.Title && topic.Context >= group.First && topic.Context <= group.Last)
                page += "<a href=\"" + HelpTopicFileName(topic) + "\">" + topic.Title + "</a><br>\n";
        page += "</p>\n";
    }
    page += "<p><a href=\"inhalt.htm\">Inhalt</a></p>\n</body>\n</html>\n";
    return ShippedText(page);
}

void ShowTopicsForContexts(TWhatsThis& whatsThis)
{
    whatsThis.OnHelp = [](TWhatsThis&, QObject*, bool, int context, int, int, bool& callHelp) {
        if (context <= 0)
            return;
        callHelp = false;
        AppServices::Instance().HelpContext(context);
    };
}

}  // namespace velmoran
