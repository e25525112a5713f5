// The screen and print templates: the program folder standing in for a module folder without
// "Standard.vst", the sorted lists, an empty list that loads nothing and asks nothing, a frameset
// whose frame "Main" names the real template, and the template choice through the file dialog.
#include "html/viewer/FrameViewer.h"
#include "shell/Templates.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestApp.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;
using velmoran::testing::TempFolder;

namespace {

using Names = std::vector<std::string>;

std::string NoSlash(const TempFolder& folder)
{
    const std::string path = folder.Folder();
    return path.substr(0, path.size() - 1);
}

class Templates : public ::testing::Test {
protected:
    Templates() : templates(program.Folder())
    {
        velmoran::testing::App();
        program.WriteFile("Standard.vst", "<p>Programm-Bildschirm</p>");
        program.WriteFile("Standard.vpt", "<p>Programm-Druck</p>");
        program.WriteFile("kurz.vst", "<p>kurz</p>");
    }

    TempFolder program;
    TempFolder module;
    ScriptedPromptService prompts;
    TTemplates templates;
};

}  // namespace

TEST_F(Templates, AModuleFolderWithoutStandardTemplateGivesWayToTheProgramFolder)
{
    module.WriteFile("a.vst", "<p>a</p>");
    templates.SetTemplateFolder(module.Folder());

    EXPECT_EQ(templates.TemplateFolder(), program.Folder());
    EXPECT_EQ(templates.TemplateFolderNoSlash(), NoSlash(program));
    EXPECT_EQ(templates.ScreenTemplateName(), program / "Standard.vst");
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>Programm-Bildschirm</p>");
    EXPECT_EQ(templates.PrintTemplateStream().ToString(), "<p>Programm-Druck</p>");
    EXPECT_EQ(templates.ScreenTemplates().Items, (Names{"kurz.vst", "Standard.vst"}));
    EXPECT_EQ(templates.ScreenTemplates().Text(), "Standard.vst");
    EXPECT_EQ(templates.PrintTemplates().Items, (Names{"Standard.vpt"}));
}

TEST_F(Templates, ListsAreSortedWithoutRegardToCase)
{
    for (const char* name : {"Standard.vst", "b.vst", "A.vst", "c.VST", "notiz.txt", "Z.vpt", "a.vpt"})
        module.WriteFile(name, name);
    templates.SetTemplateFolder(module.Folder());

    EXPECT_EQ(templates.TemplateFolder(), module.Folder());
    EXPECT_EQ(templates.ScreenTemplates().Items, (Names{"A.vst", "b.vst", "c.VST", "Standard.vst"}));
    EXPECT_EQ(templates.PrintTemplates().Items, (Names{"a.vpt", "Z.vpt"}));
}

// Without print templates the list stays empty; loading what it shows loads nothing, so the
// template loaded before stays and no message appears.
TEST_F(Templates, AnEmptyListLoadsNothing)
{
    templates.SetTemplateFolder(program.Folder());
    module.WriteFile("Standard.vst", "<p>Modul</p>");
    templates.SetTemplateFolder(module.Folder());

    EXPECT_TRUE(templates.PrintTemplates().Items.empty());
    EXPECT_EQ(templates.PrintTemplates().Text(), "");
    templates.LoadShownPrintTemplate();
    templates.LoadShownScreenTemplate();
    EXPECT_EQ(templates.PrintTemplateName(), program / "Standard.vpt");
    EXPECT_EQ(templates.PrintTemplateStream().ToString(), "<p>Programm-Druck</p>");
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>Modul</p>");
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(Templates, AFrameNamedMainNamesTheRealScreenTemplate)
{
    TFrameViewer viewer;
    viewer.resize(400, 300);
    templates.SetViewers(&viewer, nullptr);
    module.WriteFile("Standard.vst",
                     "<html><frameset rows=\"40,*\"><frame name=\"Kopf\" src=\"kopf.htm\">"
                     "<frame name=\"Main\" src=\"ergebnis.htm\"></frameset></html>");
    module.WriteFile("kopf.htm", "<p>Kopf</p>");
    module.WriteFile("ergebnis.htm", "<p>|Projekt|</p>");
    templates.SetTemplateFolder(module.Folder());

    EXPECT_EQ(viewer.ServerRoot(), NoSlash(module));
    EXPECT_EQ(std::filesystem::path(templates.ScreenTemplateName()).filename(), "ergebnis.htm");
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>|Projekt|</p>");
    EXPECT_EQ(templates.ScreenTemplates().Text(), "Standard.vst");

    // A plain page is its own template.
    module.WriteFile("einfach.vst", "<p>einfach</p>");
    templates.LoadScreenTemplate(module / "einfach.vst");
    EXPECT_EQ(templates.ScreenTemplateName(), module / "einfach.vst");
}

TEST_F(Templates, AFileThatCannotBeReadKeepsTheTemplateBefore)
{
    templates.SetTemplateFolder(program.Folder());
    EXPECT_ANY_THROW(templates.LoadPrintTemplate(program / "fehlt.vpt"));
    EXPECT_EQ(templates.PrintTemplateName(), program / "Standard.vpt");
    EXPECT_EQ(templates.PrintTemplateStream().ToString(), "<p>Programm-Druck</p>");
}

TEST_F(Templates, TheFileDialogOffersTheTemplateFilters)
{
    templates.SetTemplateFolder(program.Folder());
    prompts.AnswerFile(module.WriteFile("anders.vst", "<p>anders</p>"));
    prompts.AnswerFile(std::nullopt);
    ASSERT_TRUE(templates.PickScreenTemplate());
    EXPECT_FALSE(templates.PickPrintTemplate());

    ASSERT_EQ(prompts.FileRequests().size(), 2u);
    const FileDialogOptions& screen = prompts.FileRequests()[0].Options;
    EXPECT_FALSE(prompts.FileRequests()[0].Save);
    EXPECT_EQ(screen.Title, "Bildschirmvorlage wählen");
    EXPECT_EQ(screen.DefaultExt, "ht*");
    EXPECT_EQ(screen.InitialDir, NoSlash(program));
    EXPECT_EQ(NameFilters(screen.Filter),
              (Names{"Bildschirmvorlagen (*.vst)", "HTML-Dateien (*.htm *.html)", "Alle Dateien (*)"}));
    const FileDialogOptions& print = prompts.FileRequests()[1].Options;
    EXPECT_EQ(print.Title, "Druckvorlage wählen");
    EXPECT_EQ(NameFilters(print.Filter), (Names{"Druckvorlagen (*.vpt)", "HTML-Dateien (*.htm *.html)", "Alle Dateien (*)"}));
    EXPECT_EQ(templates.PrintTemplateStream().ToString(), "<p>Programm-Druck</p>");

    // The file from elsewhere is listed by its name, then its folder (a closed box shows the
    // start of an entry: full paths all looked alike there), and used as it stands when chosen
    // again.
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>anders</p>");
    EXPECT_EQ(templates.ScreenTemplates().Text(), "anders.vst – " + NoSlash(module));
    templates.ChooseScreenEntry(1);
    EXPECT_EQ(templates.ScreenTemplateName(), program / "Standard.vst");
    templates.ChooseScreenEntry(2);
    EXPECT_EQ(templates.ScreenTemplateName(), module / "anders.vst");
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>anders</p>");
}

// A template from elsewhere that bears the name of one in the template folder keeps its folder, so
// that choosing it again does not load the other; picked twice, it is listed once.
TEST_F(Templates, ATemplateFromElsewhereKeepsItsPath)
{
    templates.SetTemplateFolder(program.Folder());
    const std::string other = module.WriteFile("Standard.vst", "<p>fremd</p>");
    prompts.AnswerFile(other);
    prompts.AnswerFile(other);
    templates.PickScreenTemplate();
    templates.ChooseScreenEntry(0);
    templates.PickScreenTemplate();

    EXPECT_EQ(templates.ScreenTemplates().Items, (Names{"kurz.vst", "Standard.vst", "Standard.vst – " + NoSlash(module)}));
    EXPECT_EQ(templates.ScreenTemplates().Text(), "Standard.vst – " + NoSlash(module));
    templates.LoadShownScreenTemplate();
    EXPECT_EQ(templates.ScreenTemplateStream().ToString(), "<p>fremd</p>");
}

TEST_F(Templates, IncompleteOrEmptyFilterPairsAreLeftOut)
{
    EXPECT_EQ(NameFilters(""), Names{});
    EXPECT_EQ(NameFilters("Texte|*.txt;*.csv|Rest"), (Names{"Texte (*.txt *.csv)"}));
    EXPECT_EQ(NameFilters("Leer||Alles|*"), (Names{"Alles (*)"}));
}
