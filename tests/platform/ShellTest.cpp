// The shell service: a recording shell in place of the desktop's for a scope, the desktop
// service's refusal to start a program that an address names or to take any scheme but web and
// mail, and the system icons.
#include "platform/Shell.h"
#include "platform/SystemIcons.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace velmoran;

TEST(Shell, ScopedShellStandsInAndGoesBack)
{
    ShellService* desktop = &Shell();
    {
        RecordingShell recording;
        ScopedShell scope(recording);
        EXPECT_TRUE(Shell().Open("mailto:x"));
        EXPECT_TRUE(Shell().Open("https://example.org/"));
        EXPECT_EQ(recording.Opened(), (std::vector<std::string>{"mailto:x", "https://example.org/"}));
    }
    EXPECT_EQ(&Shell(), desktop);
}

TEST(Shell, ProgramsAreNeverStarted)
{
    velmoran::testing::TempFolder folder;
    const std::string program = folder / "tool.sh";
    const std::string text = folder / "notes.txt";
    velmoran::testing::TempFolder::Write(program, "#!/bin/sh\ntouch " + (folder / "ran") + "\n");
    velmoran::testing::TempFolder::Write(text, "text");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    EXPECT_TRUE(NamesProgram(program));
    EXPECT_TRUE(NamesProgram("file://" + program));
    EXPECT_FALSE(NamesProgram(text));
    EXPECT_FALSE(NamesProgram("https://example.org/tool.sh"));
    EXPECT_FALSE(NamesProgram("mailto:x"));
    EXPECT_FALSE(Shell().Open(program));
    EXPECT_FALSE(std::filesystem::exists(folder / "ran"));
}

// Whatever asks the desktop (a page, a caption, an edit), only web and mail addresses and plain
// local documents get through; the scheme decides, not text somewhere in the address.
TEST(Shell, TheDesktopIsHandedOnlyWebMailAndDocuments)
{
    EXPECT_EQ(UrlScheme("HTTPS://example.org"), "https");
    EXPECT_EQ(UrlScheme("x-y.z+1:rest"), "x-y.z+1");
    EXPECT_EQ(UrlScheme("seite.htm?a=http://x"), "");
    EXPECT_EQ(UrlScheme("/tmp/a:b"), "");
    EXPECT_EQ(UrlScheme("#http://"), "");
    for (const char* allowed : {"http://example.org", "HTTPS://example.org/a", "mailto:info@example.org"})
        EXPECT_TRUE(DesktopMayOpen(allowed)) << allowed;
    velmoran::testing::TempFolder folder;
    const std::string entry = folder.WriteFile("start.desktop", "[Desktop Entry]\nExec=xterm\n");
    const std::string text = folder.WriteFile("notes.txt", "text");
    EXPECT_TRUE(DesktopMayOpen(text));
    EXPECT_TRUE(DesktopMayOpen("file://" + text));
    for (const std::string& refused : {std::string("smb://host/x?mailto:"), std::string("javascript:x//http://"),
                                       std::string("httpx://example.org"), std::string("nfs://h/e?HTTP://x"),
                                       entry, "file://" + entry + "#http://"}) {
        EXPECT_FALSE(DesktopMayOpen(refused)) << refused;
        EXPECT_FALSE(Shell().Open(refused)) << refused;
    }
}

TEST(Shell, SystemIconsHaveTheirSizesAndNumbersGiveNone)
{
    EXPECT_TRUE(SystemIcon("3", false).isNull());
    EXPECT_TRUE(SystemIcon("", true).isNull());
    // The offscreen desktop may have no icon theme; an icon it has comes in the asked size.
    const QImage small = SystemIcon("/", false);
    if (!small.isNull()) {
        EXPECT_EQ(small.width(), kSmallIconSize);
    }
    const QImage large = SystemIcon("brief.txt", true);
    if (!large.isNull()) {
        EXPECT_EQ(large.width(), kLargeIconSize);
    }
}
