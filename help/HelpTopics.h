// The help contexts of a window's elements as one table: each row names an element (a control's
// object name, an action's or a menu's name), its context number and the title and text of its
// help topic. A window gives its controls their contexts from its table; the tool "helptopics"
// writes the topic pages and the [MAP] of the help file from the same tables, so that a number
// and its page never part. A row without a title shares the topic of the row with the same
// number that has one.
//
// A "What's this?" component set up by ShowTopicsForContexts shows an element's topic in the help
// window (as F1 on a menu item does); an element without a context gets the short pop-up that
// says there is no help for it.
#pragma once

#include <QObject>

#include <span>
#include <string>
#include <string_view>

namespace velmoran {

class TWhatsThis;

struct THelpTopic {
    const char* Name;
    int Context;
    // UTF-8; the text may carry simple HTML markup (<sub>, <sup>, <b>).
    const char* Title;
    const char* Text;
};

// The context of a name in a table (the first row with it), 0 when none has it.
int HelpContextOf(std::span<const THelpTopic> topics, std::string_view name);

// Sets the "helpContext" property of root and of every object below it whose name a row of the
// table holds.
void AssignHelpContexts(QObject& root, std::span<const THelpTopic> topics);

// The topic page of a row (its file name is the row's name and ".htm"): a Windows-1252 HTML page
// with the title, the text and links to the list of all topics ("felder.htm") and the contents.
std::string HelpTopicFileName(const THelpTopic& topic);
std::string HelpTopicPage(const THelpTopic& topic);
// The list page: a heading per group (contexts First to Last), a link per topic.
struct THelpTopicGroup {
    int First;
    int Last;
    const char* Heading;
};
std::string HelpTopicListPage(std::span<const THelpTopic> topics, std::span<const THelpTopicGroup> groups);
constexpr const char* kHelpTopicListFile = "felder.htm";

// The caption of the program's "What's this?" menu, in every window that has one.
constexpr const char* kWhatsThisCaption = "Was ist das?";

// Makes the component ask for the whole topic (HELP_CONTEXT) of every element with a context.
void ShowTopicsForContexts(TWhatsThis& whatsThis);

}  // namespace velmoran
