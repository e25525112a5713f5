// Registration and selection of calculation modules; see Modules.h.
#include "shell/Modules.h"

#include "framework/ui/MainDlg.h"
#include "platform/Application.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Text.h"
#include "report/Report.h"
#include "shell/Language.h"
#include "shell/ModuleLibrary.h"
#include "shell/ShellState.h"

#include <QLibrary>

#include <algorithm>
#include <array>
#include <filesystem>

namespace velmoran {

namespace {

// Line `index` of a description file, without its line end.
std::string DescriptionLine(const std::string& text, int index)
{
    std::size_t start = 0;
    for (int line = 0; line < index; ++line) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            return {};
        start = end + 1;
    }
    std::string line = text.substr(start, text.find('\n', start) - start);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return Cp1252ToUtf8(line);
}

std::string LibraryText(QLibrary& library, const char* entry)
{
    const auto fill = reinterpret_cast<ModuleTextFunction>(library.resolve(entry));
    if (!fill)
        return {};
    std::array<char, kModuleTextSize> text{};
    fill(text.data(), kModuleTextSize);
    text.back() = '\0';
    return text.data();
}

}  // namespace

TModuleDescriptor::TModuleDescriptor() = default;

// The dialog goes before its library.
TModuleDescriptor::~TModuleDescriptor()
{
    Dialog.reset();
}

int BrowserMajorVersion()
{
    return -1;
}

ModuleHelpType HelpTypeOf(const std::string& helpBase)
{
    return BrowserMajorVersion() > 3 && FileExists(helpBase + ".chm") ? ModuleHelpType::Mixed : ModuleHelpType::WinHelp;
}

TModules::TModules(TShellState& shell) : shell_(shell), moduleFolder_(shell.Folders.ProgramFolder) {}

TModules::~TModules() = default;

bool TModules::RegisterModule(const std::string& fileName)
{
    const std::string file = std::filesystem::path(fileName).filename().string();
    const std::size_t lastDot = file.rfind('.');
    const std::string extension = lastDot == std::string::npos ? std::string() : UpperCase(file.substr(lastDot));
    const std::size_t firstDot = file.find('.');
    const std::string name = firstDot == std::string::npos ? std::string() : UpperCase(file.substr(0, firstDot));
    if (extension == ".MTX")
        return RegisterDescription(fileName, name);
    if (extension == ".SO")
        return RegisterLibrary(fileName, name);
    return false;
}

bool TModules::RegisterDescription(const std::string& fileName, const std::string& name)
{
    auto module = std::make_unique<TModuleDescriptor>();
    module->Dialog = CreateBuiltInModule(name);
    if (!module->Dialog)
        return false;
    if (FileExists(fileName)) {
        const std::string text = ReadFileBytes(fileName);
        module->Caption = DescriptionLine(text, 0);
        module->Version = DescriptionLine(text, 1);
    }
    module->Name = name;
    Add(std::move(module), fileName,
        LanguageTemplateFolder(shell_.Folders.TemplatePath, shell_.LanguageCode, name));
    return true;
}

bool TModules::RegisterLibrary(const std::string& fileName, const std::string& name)
{
    auto module = std::make_unique<TModuleDescriptor>();
    module->LibraryHandle = std::make_unique<QLibrary>(QString::fromStdString(fileName));
    if (!module->LibraryHandle->load())
        return false;
    const auto create = reinterpret_cast<CreateModuleFunction>(module->LibraryHandle->resolve("CreateModule"));
    if (!create)
        return false;
    module->Dialog.reset(create(Owner.data()));
    if (!module->Dialog)
        return false;
    module->Name = name;
    module->Caption = LibraryText(*module->LibraryHandle, "ModuleCaption");
    module->Version = LibraryText(*module->LibraryHandle, "ModuleVersion");
    Add(std::move(module), fileName, shell_.Folders.TemplatePath + name + "/");
    return true;
}

void TModules::Add(std::unique_ptr<TModuleDescriptor> module, const std::string& fileName,
                   const std::string& moduleTemplateFolder)
{
    module->Folder = WithSlash(std::filesystem::path(fileName).parent_path().string());
    module->Dialog->SetProgramFolder(shell_.Folders.ProgramFolder);
    module->Dialog->SetDataPath(shell_.Folders.DataPath);
    module->Dialog->SetModuleTemplateFolder(moduleTemplateFolder);
    moduleList_.push_back(std::move(module));
}

std::vector<std::string> TModules::Captions() const
{
    std::vector<std::string> captions;
    for (const auto& module : moduleList_)
        captions.push_back(module->Caption);
    return captions;
}

int TModules::SelectModule(int index)
{
    if (moduleList_.empty())
        return ModuleIndex;
    // Clamped first, so that an index from a typed text or a link that set ModuleIndex alone
    // cannot make the current module look like another one.
    index = std::clamp(index, 0, static_cast<int>(moduleList_.size()) - 1);
    ModuleIndex = index;
    TModuleDescriptor& module = *moduleList_[static_cast<std::size_t>(index)];
    if (module.Dialog.get() != moduleDialog_)
        ChangeTo(module);
    if (OnModuleIndex)
        OnModuleIndex(index);
    return index;
}

std::string TModules::ParkingFile() const
{
    return shell_.FileId.empty() ? shell_.Folders.TemplatePath + "tmp.vda" : shell_.FileId;
}

void TModules::ChangeTo(TModuleDescriptor& module)
{
    const std::string parking = ParkingFile();
    if (moduleDialog_)
        moduleDialog_->Exec("SaveData", {parking});
    moduleFolder_ = module.Folder;
    moduleDialog_ = module.Dialog.get();
    dataSetList_.assign(moduleDialog_->DataSets.rbegin(), moduleDialog_->DataSets.rend());

    const std::string helpBase = shell_.Folders.HelpPath + "Velmoran" + module.Name;
    helpFile_ = helpBase + ".hlp";
    helpType_ = HelpTypeOf(helpBase);
    SetApplicationHelpFile(helpFile_);

    // LoadVariables appends: a report engine kept from the previous module would resolve names
    // to that module's fields.
    report_ = std::make_unique<TReport>();
    report_->SetDataSets(dataSetList_);
    report_->LoadVariables(shell_.Folders.ProgramFolder + "VarTab.tra");

    moduleDialog_->Exec("InitData", {shell_.Folders.ProgramFolder + "Velmoran.vdt"});
    if (FileExists(parking))
        moduleDialog_->Exec("ReadData", {parking});
    // Last, so that a template that cannot be read leaves the module selected and started
    // when its error reaches the application. Setting the folder loads the standard templates
    // the combo boxes then show.
    shell_.Templates.SetTemplateFolder(moduleDialog_->ModuleTemplateFolder);
}

}  // namespace velmoran
