// Memory and file streams.
#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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
