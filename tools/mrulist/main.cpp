// mrulist: drives a recent-files list from the command line, for reviewers and tests.
//   mrulist --ini FILE [--max N] COMMAND...
// Commands: add NAME, click N (1-based), load, save, list. "list" prints the menu captions,
// "click" the file the click reports, "save" the section "Recent Files" read back from the file.
#include "platform/RegIni.h"
#include "toolbar/TBarMRUList.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace velmoran;

namespace {

const char* kSection = "Recent Files";

int Usage()
{
    std::fprintf(stderr, "Aufruf: mrulist --ini DATEI [--max N] (add NAME | click N | load | save | list)...\n");
    return 2;
}

void PrintSection(const std::string& iniFile, const TBarMRUList& list)
{
    // A fresh object reads what the file now holds.
    const std::unique_ptr<RegIniFile> reread = RegIniFile::OfIniFile(iniFile);
    for (int n = 1; n <= list.MaxItems(); ++n) {
        const std::string name = list.Prefix + std::to_string(n);
        if (reread->ValueExists(kSection, name))
            std::printf("%s = %s\n", name.c_str(), reread->ReadString(kSection, name, {}).c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string iniFile;
    int maxItems = 4;
    std::size_t i = 0;
    for (; i + 1 < args.size() && args[i].starts_with("--"); i += 2) {
        if (args[i] == "--ini")
            iniFile = args[i + 1];
        else if (args[i] == "--max")
            maxItems = std::atoi(args[i + 1].c_str());
        else
            return Usage();
    }
    if (iniFile.empty() || i >= args.size())
        return Usage();

    std::unique_ptr<RegIniFile> ini = RegIniFile::OfIniFile(iniFile);
    TBarMRUList list;
    list.SetMaxItems(maxItems);
    list.OnClick = [](TBarMRUList&, const std::string& fileName) { std::printf("click: %s\n", fileName.c_str()); };
    for (; i < args.size(); ++i) {
        const std::string& command = args[i];
        if ((command == "add" || command == "click") && i + 1 >= args.size())
            return Usage();
        if (command == "add") {
            list.Add(args[++i]);
        } else if (command == "click") {
            const int n = std::atoi(args[++i].c_str());
            if (n < 1 || n > list.Container()->Count()) {
                std::fprintf(stderr, "mrulist: kein Eintrag %d\n", n);
                return 1;
            }
            list.Container()->Items(n - 1)->Click();
        } else if (command == "load") {
            list.LoadFromRegIni(*ini, kSection);
        } else if (command == "save") {
            list.SaveToRegIni(*ini, kSection);
            ini->Sync();
            PrintSection(iniFile, list);
        } else if (command == "list") {
            for (int n = 0; n < list.Container()->Count(); ++n)
                std::printf("%s\n", list.Container()->Items(n)->Caption().c_str());
        } else {
            return Usage();
        }
    }
    return 0;
}
