// Memory and file streams; files read as documents.
#include "platform/core/DocumentFile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace velmoran;
using velmoran::testing::TempFolder;

TEST(Stream, MemoryStreamReadWriteSeek)
{
    TMemoryStream s;
    s.WriteString("abcdef");
    EXPECT_EQ(s.Size(), 6);
    EXPECT_EQ(s.Position(), 6);
    s.Seek(-2, SeekOrigin::End);
    char two[2];
    EXPECT_EQ(s.Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), "ef");
    char buffer[8];
    EXPECT_EQ(s.Read(buffer, 8), 0);  // at the end
    s.SetPosition(4);
    s.WriteString("XYZ");  // grows past the end
    EXPECT_EQ(s.ToString(), "abcdXYZ");
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    EXPECT_EQ(s.ToString(), "ab");
}

TEST(Stream, ShortReadBufferRaises)
{
    TMemoryStream s(std::string_view("12345"));
    char buffer[10];
    EXPECT_EQ(s.Read(buffer, 10), 5);
    s.SetPosition(0);
    EXPECT_THROW(s.ReadBuffer(buffer, 6), EReadError);
    s.SetPosition(0);
    EXPECT_NO_THROW(s.ReadBuffer(buffer, 5));
}

TEST(Stream, CopyFromWholeAndPart)
{
    TMemoryStream source(std::string_view("0123456789"));
    source.SetPosition(7);
    TMemoryStream target;
    EXPECT_EQ(target.CopyFrom(source, 0), 10);  // 0 copies everything from the start
    EXPECT_EQ(target.ToString(), "0123456789");
    source.SetPosition(2);
    TMemoryStream part;
    EXPECT_EQ(part.CopyFrom(source, 3), 3);
    EXPECT_EQ(part.ToString(), "234");
    source.SetPosition(8);
    EXPECT_THROW(part.CopyFrom(source, 5), EReadError);
}

TEST(Stream, FileStreamRoundTripAndErrors)
{
    const TempFolder tmp;
    const std::string path = tmp / "bytes.bin";
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    {
        TFileStream out(path, FileMode::Create);
        out.WriteString(bytes);
        EXPECT_EQ(out.Size(), 256);
    }
    {
        TFileStream in(path, FileMode::OpenRead);
        EXPECT_EQ(in.Size(), 256);
        in.Seek(250, SeekOrigin::Begin);
        char rest[16];
        EXPECT_EQ(in.Read(rest, 16), 6);
        char one;
        EXPECT_THROW(in.ReadBuffer(&one, 1), EReadError);
    }
    EXPECT_EQ(ReadFileBytes(path), bytes);
    EXPECT_TRUE(FileExists(path));
    EXPECT_FALSE(FileExists(path + ".missing"));
    try {
        TFileStream missing(path + ".missing", FileMode::OpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_NE(e.Message().find("kann nicht geöffnet werden"), std::string::npos);
    }
    EXPECT_THROW(TFileStream(tmp.Folder(), FileMode::OpenRead), EFOpenError);
}

namespace {
// The message a read of the name raises.
std::string Refusal(const std::string& fileName, std::size_t limit = kDocumentLimit)
{
    try {
        ReadDocumentFile(fileName, limit);
    } catch (const EFOpenError& error) {
        return error.Message();
    }
    return "(gelesen)";
}
}  // namespace

// A name read as a document is read only when it leads to a regular file, and only up to the
// limit: a device, a pipe (which would block the window when opened for reading) and a folder,
// also behind a link, are refused at once with a German message that names them; the whole-file
// helpers refuse them the same way.
TEST(Stream, DocumentsAreRegularFilesReadUpToALimit)
{
    const TempFolder tmp;
    const std::string pipe = tmp / "import.csv";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::filesystem::create_symlink(pipe, tmp / "verweis.csv");
    EXPECT_EQ(Refusal("/dev/zero"),
              "„/dev/zero“ ist keine gewöhnliche Datei (ein Gerät oder eine Pipe) und wird nicht gelesen.");
    EXPECT_EQ(Refusal(pipe), "„" + pipe + "“ ist keine gewöhnliche Datei (ein Gerät oder eine Pipe) und wird nicht gelesen.");
    EXPECT_NE(Refusal(tmp / "verweis.csv"), "(gelesen)");
    EXPECT_EQ(Refusal(tmp.Folder()), "„" + tmp.Folder() + "“ ist ein Ordner und keine Datei.");
    EXPECT_THROW(ReadFileBytes(pipe), EFOpenError);
    EXPECT_THROW(ReadFileBytes("/dev/zero"), EFOpenError);
    TMemoryStream stream;
    EXPECT_THROW(stream.LoadFromFile(pipe), EFOpenError);

    // Up to the limit, and a longer file refused, or cut where its start is all that is wanted.
    const std::string file = tmp.WriteFile("werte.csv", std::string(100, 'x'));
    std::filesystem::create_symlink(file, tmp / "kurz.csv");
    EXPECT_EQ(ReadDocumentFile(tmp / "kurz.csv", 100), std::string(100, 'x'));
    EXPECT_EQ(Refusal(file, std::size_t{99}), "Die Datei „" + file + "“ ist größer als 0 MB und wird nicht gelesen.");
    EXPECT_EQ(ReadDocumentFile(file, 10, LongerFile::Cut), std::string(10, 'x'));
    EXPECT_EQ(Refusal(tmp / "fehlt.csv"),
              "Die Datei „" + (tmp / "fehlt.csv") + "“ konnte nicht gelesen werden: Die Datei ist nicht (mehr) vorhanden.");
    const std::string large = tmp.WriteFile("gross.csv", "");
    std::filesystem::resize_file(large, kDocumentLimit + 1);
    EXPECT_EQ(Refusal(large), "Die Datei „" + large + "“ ist größer als 64 MB und wird nicht gelesen.");
}

// A document must lie inside its folder as the system finds it: "." and ".." steps and links are
// resolved first, a folder whose name only begins like the folder is another one, and a name
// that leads nowhere (or no folder at all) is inside nothing.
TEST(Stream, AFileIsInsideAFolderAsTheSystemFindsIt)
{
    const TempFolder tmp;
    std::filesystem::create_directories(tmp / "vorlagen/bilder");
    std::filesystem::create_directories(tmp / "vorlagen2");
    const std::string sheet = tmp.WriteFile("vorlagen/bilder/stil.css", "p {}");
    const std::string other = tmp.WriteFile("vorlagen2/stil.css", "p {}");
    std::filesystem::create_symlink(other, tmp / "vorlagen/hinaus.css");
    EXPECT_TRUE(IsInsideFolder(sheet, tmp / "vorlagen"));
    EXPECT_TRUE(IsInsideFolder(sheet, tmp.Folder() + "vorlagen/"));
    EXPECT_TRUE(IsInsideFolder(tmp / "vorlagen/bilder/../neu.css", tmp / "vorlagen"));
    EXPECT_TRUE(IsInsideFolder(tmp / "vorlagen", tmp / "vorlagen"));
    EXPECT_FALSE(IsInsideFolder(tmp / "vorlagen/../vorlagen2/stil.css", tmp / "vorlagen"));
    EXPECT_FALSE(IsInsideFolder(other, tmp / "vorlagen"));
    EXPECT_FALSE(IsInsideFolder(tmp / "vorlagen/hinaus.css", tmp / "vorlagen"));
    EXPECT_FALSE(IsInsideFolder(sheet, ""));
    EXPECT_FALSE(IsInsideFolder("", tmp / "vorlagen"));
}
