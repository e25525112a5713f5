// What the design module's dialog tests share: the application, German number formats, scripted
// windows and prompts, and a module dialog whose template folder is a fresh copy of the module's
// templates, initialised as a new calculation; the example calculation to load; the current
// records to compare.
#pragma once

#include "hsg/ui/HsgDlg.h"
#include "platform/core/FormatSettings.h"
#include "tests/support/ScriptedModals.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/ExampleCopy.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velmoran::testing {

// The current records as they stand, to compare whole.
struct Records {
    TCommonRecord common;
    THSGRecord hsg;
    explicit Records(THsgModule& module) : common(module.CurrentCommon()), hsg(module.CurrentHsg()) {}
    friend bool operator==(const Records&, const Records&) = default;
};

class ModuleDialogTest : public ::testing::Test {
protected:
    ModuleDialogTest()
    {
        for (const char* name : {"hsg.vdt", "common.vdt"})
            std::filesystem::copy_file(std::string(VELMORAN_DATA_DIR) + "/templates/de/HSG/" + name, tmp / name);
        dlg.SetModuleTemplateFolder(tmp.Folder());
        dlg.Exec("InitData");
    }
    THsgModule& Module() { return dlg.Module(); }
    void LoadExample() { ASSERT_TRUE(dlg.Exec("ReadData", {.Text = velmoran::testing::CopyOfExample(tmp)})); }

    TApplication& app = App();  // before any widget
    ScopedFormatSettings german{FormatSettings::German()};
    ScriptedModalRunner runner;
    ScriptedPromptService prompts;
    TempFolder tmp;
    THSGDlg dlg;
};

}  // namespace velmoran::testing
