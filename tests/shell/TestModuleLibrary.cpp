// The test module as a module library: the three entry points the shell looks up.
#include "shell/ModuleLibrary.h"
#include "tests/shell/TestModule.h"

#include <cstring>

using velmoran::TMainDlg;

extern "C" {

__attribute__((visibility("default"))) TMainDlg* CreateModule(QWidget* owner)
{
    return new velmoran::testing::TTestModule(owner);
}

__attribute__((visibility("default"))) void ModuleCaption(char* text, int size)
{
    std::strncpy(text, "Testmodul", static_cast<std::size_t>(size));
}

__attribute__((visibility("default"))) void ModuleVersion(char* text, int size)
{
    std::strncpy(text, "Version 2.5", static_cast<std::size_t>(size));
}
}
