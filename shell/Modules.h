// The calculation modules the main window knows: each registered from its description file (a
// built-in module) or its module library, and the one selected, whose datasets the report engine
// reads, whose template folder the templates come from and whose help file the application
// shows. Selecting another module saves the current calculation, gives the report engine a
// fresh start on the new module's tables and starts a calculation in the new module.
#pragma once

#include "platform/core/Stream.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLibrary;
class QWidget;

namespace velmoran {

class TDataSet;
class TMainDlg;
class TReport;
class TShellState;

struct TModuleDescriptor {
    TModuleDescriptor();
    ~TModuleDescriptor();
    TModuleDescriptor(const TModuleDescriptor&) = delete;
    TModuleDescriptor& operator=(const TModuleDescriptor&) = delete;

    // The loaded library; none for a description file. Kept loaded while the program runs.
    std::unique_ptr<QLibrary> LibraryHandle;
    // The folder of the description file or library, with its trailing "/".
    std::string Folder;
    std::string Caption;
    std::string Version;
    std::unique_ptr<TMainDlg> Dialog;
    // The file name up to its first ".", in upper case.
    std::string Name;
};

// How the help file of a module is shown: classic help, or classic with compiled HTML help.
enum class ModuleHelpType { WinHelp, Mixed };

// The major version of the web browser the compiled help would need; -1 when there is none,
// which there never is here.
int BrowserMajorVersion();
// Mixed when the browser is newer than version 3 and helpBase + ".chm" exists, else WinHelp.
ModuleHelpType HelpTypeOf(const std::string& helpBase);

// The built-in module of that name, made with no owner: "HSG" is the design module; any other
// name has none.
std::unique_ptr<TMainDlg> CreateBuiltInModule(const std::string& name);

class TModules {
public:
    explicit TModules(TShellState& shell);
    ~TModules();
    TModules(const TModules&) = delete;
    TModules& operator=(const TModules&) = delete;

    // Registers the module of a description file (".MTX", compared in upper case) or of a module
    // library (".so"); anything else, a description of no built-in module and a library that does
    // not load register nothing. Returns whether a module was registered. A description file
    // that exists but cannot be read raises its read error.
    bool RegisterModule(const std::string& fileName);
    // Makes the module at index (clamped to the modules there are) the current one and returns
    // the index in use; -1 while no module is registered. The module whose dialog is current
    // stays as it is: nothing is saved or started again.
    int SelectModule(int index);

    // The registered modules in registration order; their captions fill the module combo box.
    const std::vector<std::unique_ptr<TModuleDescriptor>>& ModuleList() const { return moduleList_; }
    std::vector<std::string> Captions() const;
    // The index shown; a link command may set it without selecting (it is repaired by the next
    // selection).
    int ModuleIndex = -1;
    TMainDlg* ModuleDialog() const { return moduleDialog_; }
    // The folder of the current module's description file; the program folder before.
    const std::string& ModuleFolder() const { return moduleFolder_; }
    // The current module's datasets, last one first: a name two tables share resolves to the
    // table the module lists last.
    const std::vector<TDataSet*>& DataSetList() const { return dataSetList_; }
    // The report engine over DataSetList; made anew by every module change, so that no name of
    // the previous module survives. Null before the first selection.
    TReport* Report() const { return report_.get(); }
    TMemoryStream& OutputStream() { return outputStream_; }
    // The current module's help file (HelpPath + "Velmoran" + name + ".hlp"), also made the
    // application's help file, and how it is shown.
    const std::string& HelpFile() const { return helpFile_; }
    ModuleHelpType HelpType() const { return helpType_; }

    // The owner handed to a module library's CreateModule (the main window; not owned).
    QPointer<QWidget> Owner;
    // Hears the index in use after every selection (the module combo box).
    std::function<void(int index)> OnModuleIndex;

private:
    bool RegisterDescription(const std::string& fileName, const std::string& name);
    bool RegisterLibrary(const std::string& fileName, const std::string& name);
    void Add(std::unique_ptr<TModuleDescriptor> descriptor, const std::string& fileName,
             const std::string& moduleTemplateFolder);
    void ChangeTo(TModuleDescriptor& module);
    // The calculation the current one is saved to and the next one started from.
    std::string ParkingFile() const;

    TShellState& shell_;
    std::vector<std::unique_ptr<TModuleDescriptor>> moduleList_;
    TMainDlg* moduleDialog_ = nullptr;
    std::string moduleFolder_;
    std::vector<TDataSet*> dataSetList_;
    std::unique_ptr<TReport> report_;
    TMemoryStream outputStream_;
    std::string helpFile_;
    ModuleHelpType helpType_ = ModuleHelpType::WinHelp;
};

}  // namespace velmoran
