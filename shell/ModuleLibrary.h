// The entry points of a module library (a shared library the shell loads at run time). A library
// exports, unmangled:
//   TMainDlg* CreateModule(QWidget* owner)   makes the module's dialog; the shell owns it
//   void ModuleCaption(char* text, int size) fills text with the caption, zero-terminated
//   void ModuleVersion(char* text, int size) the same with the version text
// The texts are UTF-8 and at most size - 1 bytes long; size is kModuleTextSize. The library is
// built with the same compiler and Qt as the program, since the dialog crosses the boundary as a
// C++ object.
#pragma once

class QWidget;

namespace velmoran {

class TMainDlg;

inline constexpr int kModuleTextSize = 256;

extern "C" {
using CreateModuleFunction = TMainDlg* (*)(QWidget* owner);
using ModuleTextFunction = void (*)(char* text, int size);
}

}  // namespace velmoran
