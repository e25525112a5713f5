// TDlgIntro: the start dialog the main window may show when the program first becomes idle. The
// user chooses a new calculation, opening an existing one, or one of the recently used files;
// the caller reads Choice and FileName once the dialog ended with OK. Shown through Modals().
#pragma once

#include "controls/TextListBox.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <string>
#include <vector>

namespace velmoran {

class TDlgIntro : public QDialog {
public:
    explicit TDlgIntro(QWidget* parent = nullptr);

    QWidget* pnlTop;
    QWidget* pnlBottom;
    QLabel* LblGreetings;
    QRadioButton* rbNew;
    QRadioButton* rbOpen;
    QRadioButton* rbRecent;
    TTextListBox* lbxRecent;
    QPushButton* BtnOK;
    QPushButton* BtnCancel;

    // The recent files shown: the dialog keeps a copy, so no list the caller frees is read later.
    // A null list is ignored.
    const std::vector<std::string>& RecentFiles() const { return recentFiles_; }
    void SetRecentFiles(const std::vector<std::string>* files);

    // 0 new calculation, 1 open an existing file, 2 open the recent file FileName.
    int Choice = 0;
    std::string FileName;

    void rbNewClick();
    void rbOpenClick();
    void rbRecentClick();
    // A click with no line selected changes nothing.
    void lbxRecentClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    std::vector<std::string> recentFiles_;
};

}  // namespace velmoran
