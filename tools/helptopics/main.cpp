// helptopics HELPFILE: writes the help topics of the main window and of the design module's
// dialogs from their tables (shell/MainHelpTopics.cpp, hsg/ui/HsgHelpTopics.cpp) into the topic
// folder of the help file (one page per context and the list "felder.htm") and replaces the
// [MAP] section of the help file with the contexts and their pages; the rest of the file stays.
//
//   helptopics data/help/VelmoranHSG.hlp
#include "help/HelpIndex.h"
#include "help/HelpTopics.h"
#include "hsg/ui/HsgHelpTopics.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Stream.h"
#include "shell/MainHelpTopics.h"

#include <filesystem>
#include <iostream>
#include <vector>

namespace {

using namespace velmoran;

const THelpTopicGroup kGroups[] = {
    {100, 199, "Hauptfenster: Men\xC3\xBCs, Befehle und Symbolleisten"},
    {900, 999, "Eingabedialog"},
    {200, 299, "Eingabeseite Allgemeines"},
    {300, 399, "Eingabeseite Belastung"},
    {400, 499, "Eingabeseite Verfahrensspezifikation"},
    {500, 599, "Eingabeseite Stickstoffelimination"},
    {600, 699, "Eingabeseite Sauerstoffbedarf"},
    {700, 799, "Eingabeseite Bel\xC3\xBC" "ftung und S\xC3\xA4urekapazit\xC3\xA4t"},
    {800, 899, "Parameterdialog"},
};

// The help file with its [MAP] section replaced by `map` (CR LF lines).
std::string WithMap(const std::string& file, const std::string& map)
{
    std::string out;
    bool inMap = false;
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find('\n', start);
        end = end == std::string::npos ? file.size() : end + 1;
        const std::string line = file.substr(start, end - start);
        start = end;
        if (!line.empty() && line.front() == '[') {
            inMap = line.rfind("[MAP]", 0) == 0;
            out += line;
            if (inMap)
                out += map + "\r\n";
            continue;
        }
        if (!inMap)
            out += line;
    }
    return out;
}

bool Write(const std::filesystem::path& path, const std::string& bytes)
{
    const SaveResult saved = WriteFileAtomically(path.string(), bytes);
    if (!saved)
        std::cerr << saved.Message << '\n';
    return static_cast<bool>(saved);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "Aufruf: helptopics HILFEDATEI\n";
        return 2;
    }
    const std::filesystem::path helpFile = argv[1];
    const std::filesystem::path folder = TopicFolderOf(helpFile.string());
    std::vector<THelpTopic> topics(MainFormHelpTopics().begin(), MainFormHelpTopics().end());
    topics.insert(topics.end(), HsgHelpTopics().begin(), HsgHelpTopics().end());
    try {
        std::string map;
        for (const THelpTopic& topic : topics) {
            if (!topic.Title)
                continue;
            if (!Write(folder / HelpTopicFileName(topic), HelpTopicPage(topic)))
                return 1;
            map += std::to_string(topic.Context) + "=" + HelpTopicFileName(topic) + "\r\n";
        }
        if (!Write(folder / kHelpTopicListFile, HelpTopicListPage(topics, kGroups)))
            return 1;
        if (!Write(helpFile, WithMap(ReadFileBytes(helpFile.string()), map)))
            return 1;
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 1;
    }
    std::cout << topics.size() << " Zeilen, Seiten in " << folder.string() << '\n';
    return 0;
}
