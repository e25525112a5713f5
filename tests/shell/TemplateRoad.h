// What the tests of the user's road through templates of their own share: the program started
// from another folder, a template of the user's own chosen, pictures of one colour and the pixels
// of a colour, a click on a link of the screen result, and the source a frame shows. It sees the viewer: the tests that include it
// are kept out of unity batches.
#pragma once

#include "html/viewer/FrameViewer.h"
#include "html/viewer/PageViewer.h"
#include "shell/MainForm.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmoran::testing {

// The colours of the user's own pictures, and the example's project name as a page shows it.
inline const QRgb kOwnRed = qRgb(255, 0, 0);
inline const QRgb kOwnBlue = qRgb(0, 0, 255);
inline const std::string kProjectShown = "Kl\xE4ranlage Musterstadt, Erweiterung der Belebung";

// The process's current folder for the life of the object: the program started from there.
class StartedIn {
public:
    explicit StartedIn(const std::string& folder) : saved_(std::filesystem::current_path())
    {
        std::filesystem::current_path(folder);
    }
    ~StartedIn() { std::filesystem::current_path(saved_); }

private:
    std::filesystem::path saved_;
};

// The user's template folder, and the folder the program was started from.
struct OwnTemplateFolders {
    TempFolder mine, start;
    StartedIn started{start.Folder()};
};

// The user picks a screen (or else print) template file with the menu's file dialog.
inline void ChooseOwnTemplate(TMainForm& window, ScriptedPromptService& prompts, const std::string& file,
                              bool screen = true)
{
    prompts.AnswerFile(file);
    if (screen)
        window.FileSetScreenTemplateExecute();
    else
        window.FileSetPrinterTemplateExecute();
}

// The last message the program gave; empty when it gave none.
inline std::string LastTold(const ScriptedPromptService& prompts)
{
    return prompts.Messages().empty() ? std::string() : prompts.Messages().back().Text;
}

// A picture of 40 × 30 pixels of one colour.
inline void Picture(const std::string& file, QRgb colour)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    ASSERT_TRUE(image.save(QString::fromStdString(file), "PNG"));
}

// The pixels of that colour (a PDF's pictures may come back a little off).
inline int Pixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(colour)) < 40 && std::abs(qGreen(p) - qGreen(colour)) < 40 &&
                std::abs(qBlue(p) - qBlue(colour)) < 40)
                ++n;
        }
    return n;
}

// A click on a link of a frame of the screen result (of its only page for none).
inline void Follow(TMainForm& window, const char* frame, const std::string& url, const std::string& target = {})
{
    TPageViewer* viewer = frame ? window.ScreenViewer->GetViewerFromName(frame) : window.ResultFrame();
    ASSERT_NE(viewer, nullptr) << url;
    bool handled = false;
    window.ScreenViewer->FollowTarget(viewer, url, target, handled);
    QApplication::processEvents();
}

// The source of the page a frame of the screen result shows (of its only page for none).
inline std::string Shown(const TMainForm& window, const char* frame = nullptr)
{
    const TPageViewer* viewer = frame ? window.ScreenViewer->GetViewerFromName(frame) : window.ResultFrame();
    return viewer ? viewer->DocumentSource() : std::string("(kein Rahmen)");
}

}  // namespace velmoran::testing
