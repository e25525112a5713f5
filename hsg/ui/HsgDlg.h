// THSGDlg: the design module as the main window sees it. A module dialog of six input pages that
// owns the module's data (one THsgModule), hands it the data commands and carries out the two
// commands that need a window: EDIT, the input dialog over edit copies that are committed with a
// recalculation when they differ, and EDITPARAMS, the model-parameter dialog whose block is
// committed with a recalculation and may also become the module's defaults.
//
// The base keeps Modified, ModuleTemplateFolder, DataSets and FieldNames as members of its own
// for the main window to read; this dialog keeps them equal to the module's after every command.
#pragma once

#include "framework/ui/MainDlg.h"
#include "hsg/HsgModule.h"

#include <string>
#include <vector>

namespace velmoran {

class THSGDlg : public TMainDlg {
public:
    static constexpr int kPageCount = 6;

    explicit THSGDlg(QWidget* parent = nullptr);
    ~THSGDlg() override;

    THsgModule& Module() { return module_; }

    void SetModuleTemplateFolder(const std::string& folder) override;
    // The module has no check topics: the list is cleared and the answer is false.
    bool CheckAll(std::vector<std::string>& list) override;
    // Puts the topics into MessageList and checks them: nothing to show, the answer is false.
    bool ShowMessages(const std::string& topics) override;
    // The command entry (compared in upper case). EDIT and EDITPARAMS are carried out here, the
    // data commands by the module; EDITSPECIAL and texts that are no command answer false.
    // Arithmetic errors of the calculation leave Exec for the application's error display.
    bool Exec(const std::string& command, const ModuleArgument& arg = {}) override;
    std::string GetValueText(const std::string& name) override;

    // EDIT: the input dialog on fresh edit copies, opened on page `page` (counted from 1; a page
    // outside 1 ... 6 keeps the page shown last) and on the named control. OK commits the copies
    // when they differ and answers true; Cancel and the close button answer false.
    bool EditData(const std::string& controlName, int page, int mode);
    // EDITPARAMS: the parameter dialog on the current record's block. OK with the check box
    // saves the defaults first (a failure is shown, the rest goes on); OK always commits the
    // block. The answer is true.
    bool EditParameters();

private:
    void AddPage(int number, const char* title);
    // The base's copies of the module's state, brought up to date.
    void TakeModuleState();

    THsgModule module_;
};

}  // namespace velmoran
