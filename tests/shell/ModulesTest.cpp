// Registration and selection of modules: a module library with its entry points, what registers
// nothing, the calculation parked in "tmp.vda" or the open file on a module change, the report
// engine made anew for each module, and re-selecting the current module, which must not touch
// the user's calculation.
#include "framework/ui/MainDlg.h"
#include "platform/Application.h"
#include "report/Report.h"
#include "shell/ShellState.h"
#include "tests/shell/TestModule.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;
using velmoran::testing::TTestModule;

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

TFolders FoldersIn(const TempFolder& program, const TempFolder& root)
{
    TFolders folders;
    folders.SetProgramFolder(program.Folder());
    folders.SetDataPath(root.Folder() + "Daten");
    folders.SetTemplatePath(root.Folder() + "Vorlagen");
    fs::create_directories(folders.DataPath);
    fs::create_directories(folders.TemplatePath);
    return folders;
}

class Modules : public ::testing::Test {
protected:
    Modules() : shell(FoldersIn(program, root), "de")
    {
        velmoran::testing::App();
        shell.Modules.OnModuleIndex = [this](int index) { heard.push_back(index); };
    }

    // The test module library under another name, so that it is a module of its own.
    std::string Library(const std::string& name)
    {
        const std::string file = program / name;
        fs::copy_file(VELMORAN_TEST_MODULE, file);
        return file;
    }
    TTestModule& Module(int index)
    {
        return static_cast<TTestModule&>(*shell.Modules.ModuleList().at(static_cast<std::size_t>(index))->Dialog);
    }
    void RegisterTwo()
    {
        ASSERT_TRUE(shell.Modules.RegisterModule(Library("ModulA.so")));
        ASSERT_TRUE(shell.Modules.RegisterModule(Library("ModulB.so")));
        Module(0).SetValue("Projekt", "Projekt A");
        Module(1).SetValue("Projekt", "Projekt B");
    }
    std::string ReportValue(const std::string& name)
    {
        ReportField* field = shell.Modules.Report()->LookupField(name);
        return field ? field->AsString() : "(keins)";
    }

    TempFolder program;
    TempFolder root;
    ScriptedPromptService prompts;
    TShellState shell;
    std::vector<int> heard;
};

}  // namespace

TEST_F(Modules, ALibraryRegistersThroughItsEntryPoints)
{
    ASSERT_TRUE(shell.Modules.RegisterModule(Library("Modul.Test.so")));
    const TModuleDescriptor& module = *shell.Modules.ModuleList().at(0);
    EXPECT_EQ(module.Name, "MODUL");
    EXPECT_EQ(module.Caption, "Testmodul");
    EXPECT_EQ(module.Version, "Version 2.5");
    EXPECT_EQ(module.Folder, program.Folder());
    EXPECT_TRUE(module.LibraryHandle);
    EXPECT_EQ(module.Dialog->ProgramFolder, program.Folder());
    EXPECT_EQ(module.Dialog->DataPath, root.Folder() + "Daten/");
    EXPECT_EQ(module.Dialog->ModuleTemplateFolder, root.Folder() + "Vorlagen/MODUL/");
    EXPECT_EQ(shell.Modules.Captions(), Texts{"Testmodul"});
    EXPECT_EQ(shell.Modules.ModuleIndex, -1);
}

TEST_F(Modules, WhatIsNoModuleRegistersNothing)
{
    program.WriteFile("Kaputt.so", "keine Bibliothek");
    program.WriteFile("Liesmich.txt", "Bemessung\nVersion 1\n");
    program.WriteFile("ANDERS.MTX", "Anderes Modul\nVersion 1\n");
    EXPECT_FALSE(shell.Modules.RegisterModule(program / "Kaputt.so"));
    EXPECT_FALSE(shell.Modules.RegisterModule(program / "Fehlt.so"));
    EXPECT_FALSE(shell.Modules.RegisterModule(program / "Liesmich.txt"));
    EXPECT_FALSE(shell.Modules.RegisterModule(program / "ANDERS.MTX"));
    EXPECT_TRUE(shell.Modules.ModuleList().empty());
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(shell.Modules.SelectModule(0), -1);
    EXPECT_EQ(shell.Modules.ModuleDialog(), nullptr);
}

TEST_F(Modules, TheFirstSelectionStartsACalculationAndReadsAParkedOne)
{
    RegisterTwo();
    const std::string parked = shell.Folders.TemplatePath + "tmp.vda";
    TempFolder::Write(parked, "geparkt");

    EXPECT_EQ(shell.Modules.SelectModule(0), 0);
    EXPECT_EQ(Module(0).Commands, (Texts{"INITDATA " + program.Folder() + "Velmoran.vdt", "READDATA " + parked}));
    EXPECT_EQ(shell.Modules.ModuleDialog(), &Module(0));
    EXPECT_EQ(shell.Modules.ModuleFolder(), program.Folder());
    EXPECT_EQ(heard, std::vector<int>{0});
    EXPECT_EQ(shell.Modules.HelpFile(), program.Folder() + "help/VelmoranMODULA.hlp");
    EXPECT_EQ(ApplicationHelpFile(), shell.Modules.HelpFile());
    EXPECT_EQ(shell.Modules.HelpType(), ModuleHelpType::WinHelp);
}

TEST_F(Modules, AModuleChangeParksTheCalculationInTheTemplateRoot)
{
    RegisterTwo();
    shell.Modules.SelectModule(0);
    Module(0).Commands.clear();

    EXPECT_EQ(shell.Modules.SelectModule(1), 1);
    const std::string parked = shell.Folders.TemplatePath + "tmp.vda";
    EXPECT_EQ(Module(0).Commands, Texts{"SAVEDATA " + parked});
    EXPECT_EQ(Module(1).Commands, (Texts{"INITDATA " + program.Folder() + "Velmoran.vdt", "READDATA " + parked}));
    EXPECT_EQ(shell.Modules.ModuleDialog(), &Module(1));
    EXPECT_EQ(heard, (std::vector<int>{0, 1}));
    EXPECT_EQ(shell.Modules.HelpFile(), program.Folder() + "help/VelmoranMODULB.hlp");
}

TEST_F(Modules, AModuleChangeSavesTheOpenFile)
{
    RegisterTwo();
    shell.Modules.SelectModule(0);
    shell.FileId = shell.Folders.DataPath + "Anlage.vda";
    shell.Modules.SelectModule(1);
    EXPECT_EQ(Module(0).Commands.back(), "SAVEDATA " + shell.FileId);
    EXPECT_EQ(Module(1).Commands.back(), "READDATA " + shell.FileId);
    EXPECT_FALSE(fs::exists(shell.Folders.TemplatePath + "tmp.vda"));
}

// The report engine appends names on every load: kept across a change it would still answer
// with the first module's fields.
TEST_F(Modules, NamesResolveToTheCurrentModule)
{
    RegisterTwo();
    shell.Modules.SelectModule(0);
    EXPECT_EQ(ReportValue("PROJEKT"), "Projekt A");
    shell.Modules.SelectModule(1);
    EXPECT_EQ(ReportValue("PROJEKT"), "Projekt B");
    EXPECT_EQ(shell.Modules.DataSetList(), Module(1).DataSets);
    shell.Modules.SelectModule(0);
    EXPECT_EQ(ReportValue("PROJEKT"), "Projekt A");
}

// A typed text gives -1, and "SETMODE n" sets the index alone: neither may save over the
// user's calculation or start it again when the module asked for is the one in use.
TEST_F(Modules, ReselectingTheCurrentModuleSendsNothing)
{
    RegisterTwo();
    shell.Modules.SelectModule(0);
    shell.FileId = shell.Folders.DataPath + "Anlage.vda";
    Module(0).Commands.clear();

    EXPECT_EQ(shell.Modules.SelectModule(-1), 0);
    shell.Modules.ModuleIndex = 5;
    EXPECT_EQ(shell.Modules.SelectModule(0), 0);
    EXPECT_EQ(shell.Modules.ModuleIndex, 0);
    EXPECT_TRUE(Module(0).Commands.empty());
    EXPECT_TRUE(Module(1).Commands.empty());
    EXPECT_FALSE(fs::exists(shell.FileId));

    // An index past the end is the last module, a real change.
    EXPECT_EQ(shell.Modules.SelectModule(7), 1);
    EXPECT_EQ(Module(0).Commands, Texts{"SAVEDATA " + shell.FileId});
}
