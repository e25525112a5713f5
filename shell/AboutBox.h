// TAboutBox: the info window with the program's icon and name and the list of the registered
// calculation modules, one line "caption, version" each.
#pragma once

#include <QDialog>
#include <QIcon>

#include <memory>
#include <string>
#include <vector>

namespace velmoran {

class THtmlLabel;
struct TModuleDescriptor;

// The program's icon, drawn here: a round clarifier basin seen from above.
QIcon ProgramIcon();

// "caption, version<br>" for each module in registration order, cut to 255 characters.
std::string ModuleListText(const std::vector<std::unique_ptr<TModuleDescriptor>>& modules);

class TAboutBox : public QDialog {
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    THtmlLabel* lbModules;
};

}  // namespace velmoran
