// Saving as two windows or two users on one calculation do it, on the real design module and the
// example calculation: a save over a pair that another changed on disk since it was opened or last
// saved here asks first, and writes over that change only when the user says so.
#include "tests/shell/CalculationFixture.h"

#include "framework/CommonRecord.h"
#include "hsg/HsgRecord.h"
#include "platform/Prompt.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmoran;
using velmoran::testing::Dialog;

namespace {

using UserRoadFour = velmoran::testing::CalculationFixture;

std::string ChangedOnDiskQuestion(const std::string& fileName)
{
    return "Die Datei „" + fileName +
           "“ wurde geändert, seit sie geöffnet oder zuletzt gespeichert wurde (in einem anderen Fenster oder von "
           "einem anderen Benutzer).\nSoll sie trotzdem mit der aktuellen Berechnung überschrieben werden?";
}

}  // namespace

// A colleague opens the example the window holds, changes the inflow and saves; then the user,
// who changed the safety factor meanwhile, saves. That used to write over the colleague's change
// without a word. Now the window asks: No keeps the colleague's file and the user's change
// unsaved (closing then stays open too), Yes writes the user's calculation, and the next save,
// with no change by others since, asks nothing.
TEST_F(UserRoadFour, SavingOverAFileAnotherChangedOnDiskAsksFirst)
{
    TMainForm& window = Form(Example());
    THsgModule& mine = Dialog(Module()).Module();
    mine.CurrentHsg().SetDouble(hsg::kSFH, 1.5);
    mine.SetModified(true);

    THsgModule colleague;
    colleague.Exec("INITDATA");
    ASSERT_TRUE(colleague.ReadCalculationFile(Example()));
    colleague.CurrentCommon().Block(0).SetDouble(block::kQD, 4321.0);
    ASSERT_TRUE(colleague.WriteCalculationFile(Example()));
    const std::string theirs = ReadFileBytes(Example());

    prompts.Answer(mrNo);
    window.FileSaveExecute();
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages().back().Text, ChangedOnDiskQuestion(Example()));
    EXPECT_EQ(prompts.Messages().back().Type, MsgDlgType::Warning);
    EXPECT_EQ(prompts.Messages().back().Buttons, mbYes | mbNo);
    EXPECT_EQ(ReadFileBytes(Example()), theirs);
    EXPECT_TRUE(mine.Modified());

    // Closing: "save?" Yes, then No at the question: the window stays, nothing is written.
    prompts.Answer(mrYes);
    prompts.Answer(mrNo);
    EXPECT_FALSE(window.CheckSaveModified());
    EXPECT_EQ(prompts.Messages().back().Text, ChangedOnDiskQuestion(Example()));
    EXPECT_EQ(ReadFileBytes(Example()), theirs);

    prompts.Answer(mrYes);
    window.FileSaveExecute();
    EXPECT_FALSE(mine.Modified());
    THsgModule reader;
    reader.Exec("INITDATA");
    ASSERT_TRUE(reader.ReadCalculationFile(Example()));
    EXPECT_EQ(reader.CurrentHsg().Double(hsg::kSFH), 1.5);
    EXPECT_EQ(reader.CurrentCommon().Raw(), mine.CurrentCommon().Raw());

    const std::size_t asked = prompts.Messages().size();
    mine.SetModified(true);
    window.FileSaveExecute();
    EXPECT_EQ(prompts.Messages().size(), asked);
    EXPECT_FALSE(mine.Modified());
}
