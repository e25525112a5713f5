// Registration and selection of modules: a module library with its entry points, what registers
// nothing, the calculation parked in "tmp.vda" or the open file on a module change, the report
// engine made anew for each module, and re-selecting the current module, which must not touch
// the user's calculation.
#include "framework/ui/MainDlg.h"
#include "hsg/ui/HsgDlg.h"
#include "memtable/DataSet.h"
#include "platform/Application.h"
#include "report/Report.h"
#include "shell/ShellState.h"
#include "tests/shell/TestModule.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <dlfcn.h>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;
using velmoran::testing::TTestModule;

namespace fs = std::filesystem;

namespace {

using Texts = std::vector<std::string>;

// Name, caption, version and folder of a module, and the program and data folders its dialog got.
Texts Described(const TModuleDescriptor& module)
{
    return {module.Name, module.Caption, module.Version, module.Folder, module.Dialog->ProgramFolder,
            module.Dialog->DataPath};
}

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

    // The design module's description and alias table beside the program, and its templates
    // and defaults in the template root, as a start leaves them.
    void InstallDesignModule()
    {
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "HSG.MTX", program / "HSG.MTX");
        fs::copy_file(fs::path(VELMORAN_DATA_DIR) / "VarTab.tra", program / "VarTab.tra");
        fs::copy(fs::path(VELMORAN_DATA_DIR) / "templates", shell.Folders.TemplatePath, fs::copy_options::recursive);
    }
    THSGDlg& Design() { return static_cast<THSGDlg&>(*shell.Modules.ModuleList().at(0)->Dialog); }

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
    EXPECT_EQ(Described(module), (Texts{"MODUL", "Testmodul", "Version 2.5", program.Folder(), program.Folder(),
                                        root.Folder() + "Daten/"}));
    EXPECT_TRUE(module.LibraryHandle);
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

// A real library without the module's entry point is no module either.
TEST_F(Modules, ALibraryWithoutTheEntryPointRegistersNothing)
{
    Dl_info info{};
    ASSERT_NE(::dladdr(reinterpret_cast<void*>(static_cast<double (*)(double)>(&::cos)), &info), 0);
    ASSERT_NE(info.dli_fname, nullptr);
    const std::string file = program / "Fremd.so";
    fs::copy_file(info.dli_fname, file);
    EXPECT_FALSE(shell.Modules.RegisterModule(file));
    EXPECT_TRUE(shell.Modules.ModuleList().empty());
}

TEST_F(Modules, TheFirstSelectionStartsACalculationAndReadsAParkedOne)
{
    RegisterTwo();
    const std::string parked = shell.Folders.TemplatePath + "tmp.vda";
    TempFolder::Write(parked, "geparkt");
    // Compiled help needs a web browser there never is: the help stays classic.
    fs::create_directories(program / "help");
    program.WriteFile("help/VelmoranMODULA.chm", "");

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

TEST_F(Modules, TheDescriptionFileRegistersTheDesignModule)
{
    InstallDesignModule();
    fs::rename(program / "HSG.MTX", program / "hsg.mtx");
    ASSERT_TRUE(shell.Modules.RegisterModule(program / "hsg.mtx"));
    const TModuleDescriptor& module = *shell.Modules.ModuleList().at(0);
    EXPECT_EQ(Described(module), (Texts{"HSG", "Bemessung nach HSG", "Version 1.0", program.Folder(), program.Folder(),
                                        shell.Folders.DataPath}));
    EXPECT_FALSE(module.LibraryHandle);
    EXPECT_NE(dynamic_cast<THSGDlg*>(module.Dialog.get()), nullptr);
    EXPECT_EQ(module.Dialog->ModuleTemplateFolder, shell.Folders.TemplatePath + "de/HSG/");
}

TEST_F(Modules, AMissingDescriptionRegistersTheModuleWithoutCaption)
{
    ASSERT_TRUE(shell.Modules.RegisterModule(program / "HSG.MTX"));
    EXPECT_EQ(shell.Modules.ModuleList().at(0)->Caption, "");
    EXPECT_EQ(shell.Modules.ModuleList().at(0)->Version, "");
    EXPECT_EQ(shell.Modules.SelectModule(0), 0);
    EXPECT_EQ(shell.Modules.ModuleDialog(), &Design());
}

// The templates that come with the program are German: another language without its own
// folder uses them.
TEST_F(Modules, AnotherLanguageFallsBackToTheGermanModuleFolder)
{
    TShellState english(FoldersIn(program, root), "en");
    ASSERT_TRUE(english.Modules.RegisterModule(program / "HSG.MTX"));
    EXPECT_EQ(english.Modules.ModuleList().at(0)->Dialog->ModuleTemplateFolder, english.Folders.TemplatePath + "de/HSG/");
    fs::create_directories(english.Folders.TemplatePath + "en/HSG");
    ASSERT_TRUE(english.Modules.RegisterModule(program / "HSG.MTX"));
    EXPECT_EQ(english.Modules.ModuleList().at(1)->Dialog->ModuleTemplateFolder, english.Folders.TemplatePath + "en/HSG/");
}

TEST_F(Modules, TheDesignModulesTablesReachTheReportLastFirst)
{
    InstallDesignModule();
    ASSERT_TRUE(shell.Modules.RegisterModule(program / "HSG.MTX"));
    shell.Modules.SelectModule(0);

    Texts names;
    for (const TDataSet* dataSet : shell.Modules.DataSetList())
        names.push_back(dataSet->Name);
    EXPECT_EQ(names, (Texts{"ph", "dh", "dp", "dl", "d"}));
    EXPECT_EQ(shell.Modules.HelpFile(), shell.Folders.HelpPath + "VelmoranHSG.hlp");
    EXPECT_EQ(shell.Templates.TemplateFolder(), shell.Folders.TemplatePath + "de/HSG/");
    EXPECT_EQ(shell.Templates.ScreenTemplateName(), shell.Folders.TemplatePath + "de/HSG/Standard.vst");
    EXPECT_EQ(Design().Module().ModuleTemplateFolder(), shell.Folders.TemplatePath + "de/HSG/");

    // "ID" is a field of d and of dl: the module lists dl last.
    TDataModul& data = Design().Module().DataModul();
    data.d.Edit();
    data.d.FieldByName("ID").SetAsString("111");
    data.d.Post();
    data.dl.First();
    data.dl.Edit();
    data.dl.FieldByName("ID").SetAsString("222");
    data.dl.Post();
    EXPECT_EQ(ReportValue("ID"), "222");
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(Modules, LeavingTheDesignModuleParksItsCalculation)
{
    InstallDesignModule();
    ASSERT_TRUE(shell.Modules.RegisterModule(program / "HSG.MTX"));
    ASSERT_TRUE(shell.Modules.RegisterModule(Library("Modul.so")));
    Module(1).SetValue("Projekt", "Projekt B");
    shell.Modules.SelectModule(0);
    EXPECT_FALSE(fs::exists(shell.Folders.TemplatePath + "tmp.vda"));
    EXPECT_NE(ReportValue("PROJEKT"), "Projekt B");

    shell.Modules.SelectModule(1);
    const std::string parked = shell.Folders.TemplatePath + "tmp.vda";
    EXPECT_TRUE(fs::exists(parked));
    EXPECT_TRUE(fs::exists(shell.Folders.TemplatePath + "tmp.vdh"));
    EXPECT_EQ(Module(1).Commands, (Texts{"INITDATA " + program.Folder() + "Velmoran.vdt", "READDATA " + parked}));
    EXPECT_EQ(ReportValue("PROJEKT"), "Projekt B");
    EXPECT_EQ(shell.Modules.HelpFile(), shell.Folders.HelpPath + "VelmoranMODUL.hlp");
    // The library module has no templates: the program folder's serve.
    EXPECT_EQ(shell.Templates.TemplateFolder(), program.Folder());
}
