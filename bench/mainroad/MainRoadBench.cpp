// The main road's opening: the example calculation opened in the shown main window (module
// commands, report expansion of "Standard.vst", loading into the result frame and one paint of
// it), beside parsing and laying out the expanded page alone at the result frame's width. The
// window, its folders and a copy of the example live in a home folder of their own; no user
// settings are read or written.
#include "bench/layout/ResultPage.h"
#include "html/layout/SectionList.h"
#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "platform/Application.h"
#include "platform/QtCanvas.h"
#include "shell/Folders.h"
#include "shell/MainForm.h"
#include "shell/ResultPages.h"
#include "shell/ShellState.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

using namespace velmoran;

namespace {

// The main window on the program's folder and templates, shown, with the example copied into
// the home folder.
class Road {
public:
    Road()
    {
        folders_.SetProgramFolder(VELMORAN_PROGRAM_DIR);
        folders_.SetDataPath(home_ + "/Dokumente/Velmoran");
        folders_.SetTemplatePath(home_ + "/Vorlagen");
        SeedTemplateFolder(folders_.ProgramFolder, folders_.TemplatePath);
        for (const char* file : {"Beispiel.vda", "Beispiel.vdh"})
            std::filesystem::copy_file(std::filesystem::path(VELMORAN_DATA_DIR) / "examples" / file,
                                       std::filesystem::path(home_) / file);
        shell_ = std::make_unique<TShellState>(folders_, "de");
        form_ = std::make_unique<TMainForm>(*shell_, std::string{});
        form_->StartPending = false;
        form_->resize(1024, 768);
        form_->show();
        QCoreApplication::processEvents();
    }
    ~Road()
    {
        // The window before the shell state it uses.
        form_.reset();
        shell_.reset();
    }

    std::string Example() const { return home_ + "/Beispiel.vda"; }

    // Opens the file and paints the result frame at once.
    void Open(const std::string& file)
    {
        form_->OpenCalculationFile(file);
        QCoreApplication::sendPostedEvents();
        if (TPageViewer* frame = Frame())
            frame->repaint();
    }
    TPageViewer* Frame() const { return ResultFrameOf(*form_->ScreenViewer); }
    std::string Page() const { return ResultDocumentSource(*form_->ScreenViewer); }

private:
    QTemporaryDir dir_;
    std::string home_ = dir_.path().toStdString();
    TFolders folders_;
    std::unique_ptr<TShellState> shell_;
    std::unique_ptr<TMainForm> form_;
};

// Made by the first benchmark, ended before the application.
std::unique_ptr<Road> theRoad;

Road& TheRoad()
{
    if (!theRoad)
        theRoad = std::make_unique<Road>();
    return *theRoad;
}

void OpenExample(benchmark::State& state)
{
    Road& road = TheRoad();
    const std::string example = road.Example();
    for (auto _ : state)
        road.Open(example);
    state.counters["bytes"] = static_cast<double>(road.Page().size());
    // 1 when the result frame was on screen, so that the repaint painted it.
    state.counters["shown"] = road.Frame() && road.Frame()->isVisible();
}

// The page the window shows, parsed with the default style sheet and laid out at the result
// frame's width.
void ExpandedPageAlone(benchmark::State& state)
{
    Road& road = TheRoad();
    road.Open(road.Example());
    const std::string page = road.Page();
    const int width = road.Frame() ? road.Frame()->width() : 800;
    QtCanvas canvas;
    for (auto _ : state) {
        const auto document = bench::ParsedDocument(page);
        int widest = 0;
        benchmark::DoNotOptimize(document->LayoutDocument(canvas, width, widest));
    }
    state.counters["bytes"] = static_cast<double>(page.size());
    state.counters["width"] = width;
}

BENCHMARK(OpenExample)->Unit(benchmark::kMillisecond);
BENCHMARK(ExpandedPageAlone)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    ::setenv("HOME", home.path().toLocal8Bit().constData(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    theRoad.reset();
    return 0;
}
