// Blob streams: writing, closing and reading back, an empty stream making the field null,
// reading and extending the stored value, cancelled edits and inserts, the errors of a
// read-only field and of a table outside the edit states, and the compression events.
#include "PlacesTable.h"

namespace velmoran {
namespace {

using testing::MessageOf;

class BlobStreams : public ::testing::Test {
protected:
    void SetUp() override
    {
        name = &table.AddField<TStringField>("Name", 20);
        notiz = &table.AddField<TMemoField>("Notiz");
        table.Open();
        table.Append();
        name->SetAsString("Ulm");
        table.Post();
    }
    std::string Read()
    {
        std::unique_ptr<TBlobStream> stream = table.CreateBlobStream(*notiz, bmRead);
        return stream->ToString();
    }

    TzebMemTable table;
    TStringField* name = nullptr;
    TMemoField* notiz = nullptr;
};

TEST_F(BlobStreams, WriteCloseReadAndEmptyMeansNull)
{
    EXPECT_TRUE(notiz->IsNull());
    EXPECT_EQ(Read(), "");
    table.Edit();
    {
        std::unique_ptr<TBlobStream> stream = table.CreateBlobStream(*notiz, bmWrite);
        stream->WriteString("M\xFCnster");  // memos hold Windows-1252
        // Until it is closed the record holds nothing new.
        EXPECT_TRUE(notiz->IsNull());
        stream->Close();
    }
    EXPECT_TRUE(table.Modified());
    EXPECT_EQ(notiz->AsString(), "Münster");
    table.Post();
    EXPECT_EQ(Read(), "M\xFCnster");

    // Read-write starts with the stored value; the stream may extend it.
    table.Edit();
    {
        std::unique_ptr<TBlobStream> stream = table.CreateBlobStream(*notiz, bmReadWrite);
        EXPECT_EQ(stream->Position(), 0);
        stream->Seek(0, SeekOrigin::End);
        stream->WriteString(" an der Donau");
    }
    table.Post();
    EXPECT_EQ(notiz->AsString(), "Münster an der Donau");

    table.Edit();
    table.CreateBlobStream(*notiz, bmWrite)->Close();
    table.Post();
    EXPECT_TRUE(notiz->IsNull());
}

TEST_F(BlobStreams, CancelledEditsAndInsertsLeaveNothingBehind)
{
    table.Edit();
    notiz->SetAsString("alt");
    table.Post();
    table.Edit();
    notiz->SetAsString("neu");
    table.Cancel();
    EXPECT_EQ(notiz->AsString(), "alt");
    table.Append();
    notiz->SetAsString("verworfen");
    table.Cancel();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(notiz->AsString(), "alt");
}

TEST_F(BlobStreams, WritingNeedsAnEditStateAndAWritableField)
{
    EXPECT_EQ(MessageOf([&] { table.CreateBlobStream(*notiz, bmWrite); }), "Datenmenge ist nicht im Bearbeitungsmodus");
    EXPECT_EQ(MessageOf([&] { notiz->SetAsString("x"); }), "Datenmenge ist nicht im Bearbeitungsmodus");
    notiz->SetReadOnly(true);
    table.Edit();
    EXPECT_EQ(MessageOf([&] { table.CreateBlobStream(*notiz, bmReadWrite); }), "Feld 'Notiz' ist schreibgeschützt");
    // Reading is always allowed.
    EXPECT_EQ(Read(), "");
    table.Cancel();
}

TEST_F(BlobStreams, CompressionEventsPackTheStoredBytes)
{
    table.OnCompressBlobStream = [](TzebCustomMemTable&, TStream& from, TStream& to) {
        TMemoryStream all;
        all.CopyFrom(from, 0);
        to.WriteString("z:" + all.ToString());
    };
    table.OnDecompressBlobStream = [](TzebCustomMemTable&, TStream& from, TStream& to) {
        TMemoryStream all;
        all.CopyFrom(from, 0);
        to.WriteString(all.ToString().substr(2));
    };
    table.Edit();
    notiz->SetAsString("Text");
    table.Post();
    EXPECT_EQ(notiz->AsString(), "Text");
    const int slot = table.Store().OutOfRecordSlot(notiz->FieldNo());
    const std::byte* block = table.Store().OutOfRecordBlock(table.CurrentIndex().At(0), slot);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ZebBlockBytes(block)), ZebBlockSize(block)), "z:Text");
}

// Long texts kept outside the record pass through the field compression events.
TEST(FieldCompression, EventsPackAndUnpackLongTexts)
{
    TzebMemTable table;
    auto& text = table.AddField<TStringField>("Text", 40);
    table.SetPerformance(mtpfSmall);
    auto reverse = [](TzebCustomMemTable&, const TField&, const std::byte* bytes, std::size_t count) {
        return std::vector<std::byte>(std::make_reverse_iterator(bytes + count), std::make_reverse_iterator(bytes));
    };
    table.OnCompressField = reverse;
    table.OnDecompressField = reverse;
    table.Open();
    table.Append();
    text.SetAsString("abc");
    table.Post();
    EXPECT_EQ(text.AsString(), "abc");
    const std::byte* block = table.Store().OutOfRecordBlock(table.CurrentIndex().At(0), 0);
    ASSERT_NE(block, nullptr);
    // The stored bytes are the value with its terminating zero, reversed.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(ZebBlockBytes(block)), ZebBlockSize(block)), std::string("\0cba", 4));
}

}  // namespace
}  // namespace velmoran
