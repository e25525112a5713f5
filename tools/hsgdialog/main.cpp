// hsgdialog [--params] [--page N] [--shot DIR] [CALC.vda]: runs the design module on a temporary
// copy of its templates (saving defaults never touches the repository): INITDATA, with a file
// READDATA, then the input dialog (EDIT with Mode 1 on page N, default 1) or with --params the
// parameter dialog. After OK it prints the modified flag and a few values. With --shot DIR it runs
// offscreen, writes one picture per page into DIR (page-1.png ... page-6.png, or params-1.png and
// params-2.png) and ends the dialog with Cancel, so that nothing changes.
#include "DialogShots.h"

#include "hsg/ui/HsgDlg.h"
#include "hsg/ui/HsgPar.h"
#include "platform/Application.h"
#include "platform/ModalRunner.h"
#include "platform/SystemParams.h"
#include "platform/core/Exceptions.h"

#include <QDialog>
#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

namespace {

using namespace velmoran;

struct Options {
    bool Params = false;
    int Page = 1;
    std::string ShotFolder;
    std::string File;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--params") == 0)
            options.Params = true;
        else if (std::strcmp(argv[i], "--page") == 0 && i + 1 < argc)
            options.Page = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--shot") == 0 && i + 1 < argc)
            options.ShotFolder = argv[++i];
        else if (argv[i][0] == '-')
            return false;
        else
            options.File = argv[i];
    }
    return true;
}

// Shows each dialog, saves its pages as pictures and ends it with Cancel.
class ShotRunner : public ModalRunner {
public:
    explicit ShotRunner(std::string folder) : folder_(std::move(folder)) {}

    int Run(QDialog& dialog) override
    {
        dialog.show();
        if (auto* module = dynamic_cast<THSGDlg*>(&dialog))
            Save(PagePictures(*module), "page-");
        else if (auto* params = dynamic_cast<THSGPar*>(&dialog))
            Save(PagePictures(*params), "params-");
        dialog.done(QDialog::Rejected);
        return QDialog::Rejected;
    }
    void Run(QWidget& window) override { window.close(); }
    bool Failed() const { return failed_; }

private:
    void Save(const std::vector<QImage>& pictures, const char* prefix)
    {
        QDir().mkpath(QString::fromStdString(folder_));
        for (std::size_t i = 0; i < pictures.size(); ++i) {
            const std::string file = folder_ + "/" + prefix + std::to_string(i + 1) + ".png";
            if (!pictures[i].save(QString::fromStdString(file))) {
                std::cerr << "Kann " << file << " nicht schreiben.\n";
                failed_ = true;
            }
        }
    }

    std::string folder_;
    bool failed_ = false;
};

// Runs the dialogs on the screen and remembers whether the last one ended with OK.
class RememberingRunner : public ModalRunner {
public:
    explicit RememberingRunner(ModalRunner& screen) : screen_(screen) {}
    int Run(QDialog& dialog) override
    {
        const int result = screen_.Run(dialog);
        confirmed_ = result == QDialog::Accepted;
        return result;
    }
    void Run(QWidget& window) override { screen_.Run(window); }
    bool Confirmed() const { return confirmed_; }

private:
    ModalRunner& screen_;
    bool confirmed_ = false;
};

void PrintValues(THSGDlg& dialog)
{
    std::cout << "Modified: " << (dialog.Modified ? "ja" : "nein") << "\n";
    for (const char* name : {"TTS#0", "VBB", "OVh#0"})
        std::cout << name << ": " << dialog.GetValueText(name) << "\n";
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::cerr << "Aufruf: hsgdialog [--params] [--page N] [--shot ORDNER] [BERECHNUNG.vda]\n";
        return 2;
    }
    if (!options.ShotFolder.empty())
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ChooseDisplayPlatform();
    TApplication app(argc, argv);

    QTemporaryDir templates;
    std::error_code failed;
    std::filesystem::copy(VELMORAN_DATA_DIR "/templates/de/HSG", templates.path().toStdString(), failed);
    if (!templates.isValid() || failed) {
        std::cerr << "Die Vorlagen konnten nicht kopiert werden.\n";
        return 1;
    }

    THSGDlg dialog;
    dialog.SetModuleTemplateFolder(templates.path().toStdString() + "/");
    dialog.Exec("INITDATA");
    if (!options.File.empty() && !dialog.Exec("READDATA", {.Text = options.File})) {
        std::cerr << "Die Berechnung " << options.File << " konnte nicht gelesen werden.\n";
        return 1;
    }

    ShotRunner shots(options.ShotFolder);
    RememberingRunner screen(Modals());
    SetModalRunner(options.ShotFolder.empty() ? static_cast<ModalRunner*>(&screen) : &shots);
    try {
        if (options.Params)
            dialog.Exec("EDITPARAMS");
        else
            dialog.Exec("EDIT", {.Mode = 1, .Page = options.Page});
    } catch (const Exception& error) {
        SetModalRunner(nullptr);
        std::cerr << error.Message() << "\n";
        return 1;
    }
    SetModalRunner(nullptr);
    if (!options.ShotFolder.empty())
        return shots.Failed() ? 1 : 0;
    if (screen.Confirmed())
        PrintValues(dialog);
    return 0;
}
