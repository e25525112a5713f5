// The user's road through templates of their own by the names the user gives them and their
// files, the program started from another folder: a template named with a "#", includes named
// with an umlaut, an open comment in a print template, and the names an export writes.
#include "tests/shell/CalculationFixture.h"
#include "tests/shell/TemplateRoad.h"

#include "controls/EnhCombo.h"
#include "platform/core/Text.h"

using namespace velmoran;
using namespace velmoran::testing;
namespace fs = std::filesystem;

namespace {

using UserRoadTemplatesTwo = CalculationFixture;

const QRgb kOwnRed = qRgb(255, 0, 0);
const std::string kProjectShown = "Kl\xE4ranlage Musterstadt, Erweiterung der Belebung";

}  // namespace

// A template whose file is named with a "#" ("Lastfall#2.vst") serves as any other: the viewer took
// the "#" for the start of a place on the page and looked for the file "Lastfall".
TEST_F(UserRoadTemplatesTwo, ATemplateNamedWithANumberSignServes)
{
    OwnTemplateFolders user;
    Picture(user.mine / "rot.png", kOwnRed);
    const std::string own = user.mine.WriteFile("Lastfall#2.vst", "<p>|Projekt|</p><p><img src=\"rot.png\"></p>");
    TMainForm& window = Form(Example());
    window.resize(900, 700);
    window.show();
    ChooseOwnTemplate(window, prompts, own);
    EXPECT_TRUE(prompts.Messages().empty()) << LastTold(prompts);
    EXPECT_TRUE(StartsWith(window.cbxScreenTpl->Text(), "Lastfall#2.vst"));
    EXPECT_EQ(window.ResultFrame()->GetCurrentFile(), own);
    EXPECT_TRUE(Contains(Shown(window), kProjectShown));
    EXPECT_EQ(Pixels(window.ResultFrame()->grab().toImage(), kOwnRed), 1200);
}
