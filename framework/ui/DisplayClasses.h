// The small display classes of the module pages and parameter dialogs: the "Gewählt:" label,
// the white page title on a shader, and the plain base form of a module's parameter dialog.
#pragma once

#include <QDialog>
#include <QLabel>

namespace velmoran {

// "Gewählt:" in maroon bold.
class TLabelChoice : public QLabel {
public:
    explicit TLabelChoice(QWidget* parent = nullptr);
};

// A page's title: 14 point, white (it stands on a shader).
class TPageTitle : public QLabel {
public:
    explicit TPageTitle(QWidget* parent = nullptr);
};

// The base form of the modules' parameter dialogs; it adds nothing of its own.
class TVParamDlg : public QDialog {
public:
    explicit TVParamDlg(QWidget* parent = nullptr) : QDialog(parent) {}
};

}  // namespace velmoran
