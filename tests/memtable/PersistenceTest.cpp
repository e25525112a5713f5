// Saving and loading through formats: a round trip of values, nulls and blobs (calculated
// fields left out), the structure a closed table takes, the messages, the persistent file and
// its backup, the from-start and append options, compression events, limits, the "Data" bytes,
// emptying, and a format failing halfway, which leaves the table, its store and the old file
// as they were.
#include "BinaryFormat.h"
#include "PlacesTable.h"
#include "tests/support/TempFolder.h"

#include "platform/core/Stream.h"

#include <cstring>
#include <filesystem>

namespace velmoran {
namespace {

using testing::MessageOf;
using testing::TempFolder;

// Name, Zahl, Notiz (memo), Bild (blob) and Doppelt (calculated: Zahl x 2).
struct Fields {
    explicit Fields(TzebMemTable& table, bool calculated = true)
    {
        name = &table.AddField<TStringField>("Name", 30);
        zahl = &table.AddField<TIntegerField>("Zahl");
        notiz = &table.AddField<TMemoField>("Notiz");
        bild = &table.AddField<TBlobField>("Bild");
        if (calculated) {
            doppelt = &table.AddField<TIntegerField>("Doppelt");
            doppelt->SetFieldKind(fkCalculated);
            table.OnCalcFields = [this](TDataSet&) {
                if (!zahl->IsNull())
                    doppelt->SetAsInteger(zahl->AsInteger() * 2);
            };
        } else {
            doppelt = &table.AddField<TIntegerField>("Doppelt");
        }
    }
    TStringField* name;
    TIntegerField* zahl;
    TMemoField* notiz;
    TBlobField* bild;
    TIntegerField* doppelt;
};

class Persistence : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.Open();
        Add("Ulm", 3, "Münster & Fischerviertel", std::string("\0\x01\xff", 3));
        Add("Hof", 0, "", "");
        Add("Passau", 7, "Dreiflüssestadt", "PNG");
    }
    void Add(const char* name, int zahl, const std::string& notiz, const std::string& bild)
    {
        table.Append();
        fields.name->SetAsString(name);
        if (zahl)
            fields.zahl->SetAsInteger(zahl);
        fields.notiz->SetAsString(notiz);
        fields.bild->SetAsBytes(bild);
        table.Post();
    }
    static std::vector<std::string> Rows(TDataSet& t)
    {
        std::vector<std::string> rows;
        for (t.First(); !t.Eof(); t.Next()) {
            std::string row;
            for (int i = 0; i < t.FieldCount(); ++i) {
                const TField& field = t.Fields()[i];
                row += (i ? "|" : "") + (field.IsNull() ? std::string("<null>") : field.AsString());
            }
            rows.push_back(row);
        }
        return rows;
    }
    std::string Saved()
    {
        TMemoryStream stream;
        table.SaveToStreamViaFormat(stream, &format);
        return stream.ToString();
    }

    TzebMemTable table;
    Fields fields{table};
    TBinaryTableFormat format;
};

TEST_F(Persistence, RoundTripKeepsValuesNullsAndBlobsButNotCalculatedFields)
{
    TMemoryStream stream(Saved());
    std::vector<std::string> labels;
    format.DisplayLabels(table, labels);
    EXPECT_EQ(labels, (std::vector<std::string>{"Name", "Zahl", "Notiz", "Bild"}));

    // Doppelt is a data field here: nothing was saved for it.
    TzebMemTable copy;
    Fields copyFields(copy, false);
    copy.Open();
    copy.LoadFromStreamViaFormat(stream, &format);
    const std::string ulm = "Ulm|3|Münster & Fischerviertel|" + std::string("\0\x01\xff", 3) + "|<null>";
    EXPECT_EQ(Rows(copy), (std::vector<std::string>{ulm, "Hof|<null>|<null>|<null>|<null>",
                                                    "Passau|7|Dreiflüssestadt|PNG|<null>"}));

    // A closed table without fields takes the saved structure.
    TzebMemTable bare;
    stream.SetPosition(0);
    bare.LoadFromStreamViaFormat(stream, &format);
    ASSERT_TRUE(bare.Active());
    EXPECT_EQ(bare.FieldCount(), 4);
    EXPECT_NE(dynamic_cast<TMemoField*>(bare.FindField("Notiz")), nullptr);
    EXPECT_EQ(bare.RecordCount(), 3);
    EXPECT_EQ(bare.FieldByName("Bild").AsString(), std::string("\0\x01\xff", 3));
}

TEST_F(Persistence, MessagesOfSavingAndLoading)
{
    TMemoryStream stream;
    EXPECT_EQ(MessageOf([&] { table.SaveToStream(stream); }), "Kein Dateiformat angegeben");
    EXPECT_EQ(MessageOf([&] { table.LoadFromStream(stream); }), "Kein Dateiformat angegeben");
    table.SetDefaultFormat(&format);
    table.SaveToStream(stream);
    TzebMemTable stranger;
    stranger.AddField<TIntegerField>("Nummer");
    stranger.Open();
    stream.SetPosition(0);
    EXPECT_EQ(MessageOf([&] { stranger.LoadFromStreamViaFormat(stream, &format); }), "Die Zahl der Felder zum Laden lässt sich nicht bestimmen");
    EXPECT_EQ(stranger.Store().LockDepth(), 0);
    {
        // A format that is destroyed is forgotten by the table.
        TBinaryTableFormat gone;
        table.SetPersistentFormat(&gone);
    }
    EXPECT_EQ(table.PersistentFormat(), nullptr);
    EXPECT_EQ(table.DefaultFormat(), &format);
}

TEST_F(Persistence, PersistentFileLeavesOnlyItsFileAndTheBackup)
{
    // A folder with a dot in its name and a file without one: the backup takes the file's name.
    TempFolder temp;
    const std::filesystem::path folder = temp / "daten.v2";
    std::filesystem::create_directory(folder);
    table.Close();
    table.PersistentFile = (folder / "orte").string();
    table.SetPersistentFormat(&format);
    table.Persistent = true;
    table.Open();
    EXPECT_TRUE(table.IsEmpty());
    Add("Ulm", 1, "", "");
    table.Close();
    // Saved again over the file without a backup asked for: none is made.
    table.Open();
    table.Close();
    ASSERT_FALSE(std::filesystem::exists(folder / "orte.bak"));
    const std::string first = TempFolder::Read((folder / "orte").string());

    table.PersistentBackup = true;
    table.Open();
    EXPECT_EQ(Rows(table), (std::vector<std::string>{"Ulm|1|<null>|<null>|2"}));
    Add("Hof", 2, "", "");
    table.Close();
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"orte", "orte.bak"}));
    EXPECT_EQ(TempFolder::Read((folder / "orte.bak").string()), first);
    table.Open();
    EXPECT_EQ(table.RecordCount(), 2);
    table.Persistent = false;
}

// Blob fields (memos too) and fields that are not visible are saved only when the format's
// options ask for them.
TEST_F(Persistence, BlobsAndHiddenFieldsOnlyWhenAsked)
{
    format.Option(sfoBlobs).Flag1 = false;
    fields.zahl->Visible = false;
    format.Option(sfoNonVisible).Flag1 = false;
    TMemoryStream stream(Saved());
    TzebMemTable copy;
    Fields copyFields(copy, false);
    copy.Open();
    copy.LoadFromStreamViaFormat(stream, &format);
    EXPECT_EQ(Rows(copy), (std::vector<std::string>{"Ulm|<null>|<null>|<null>|<null>", "Hof|<null>|<null>|<null>|<null>",
                                                    "Passau|<null>|<null>|<null>|<null>"}));
}

// Loading adds to the records there are; afterwards the cursor is on the first record, or with
// AutoReposition on the one it was on.
TEST_F(Persistence, AfterALoadTheCursorIsOnTheFirstRecordUnlessItFollows)
{
    TMemoryStream stream(Saved());
    for (bool follow : {false, true}) {
        table.AutoReposition = follow;
        table.SetRecNo(2);
        table.LoadFromStreamViaFormat(stream, &format);
        EXPECT_EQ(table.RecNo(), follow ? 2 : 1) << follow;
        EXPECT_EQ(fields.name->AsString(), follow ? "Hof" : "Ulm") << follow;
    }
    EXPECT_EQ(table.RecordCount(), 9);
}

TEST_F(Persistence, FromStartAndAppendOptions)
{
    const std::string one = Saved();
    format.Option(sfoAppend).Flag1 = true;
    TMemoryStream stream;
    table.SaveToStreamViaFormat(stream, &format);
    table.SaveToStreamViaFormat(stream, &format);
    EXPECT_EQ(stream.Size(), 2 * static_cast<std::int64_t>(one.size()));

    TzebMemTable copy;
    Fields copyFields(copy);
    copy.Open();
    // From the start whatever the position ...
    stream.SetPosition(static_cast<std::int64_t>(one.size()));
    copy.LoadFromStreamViaFormat(stream, &format);
    EXPECT_EQ(copy.RecordCount(), 3);
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(one.size()));
    // ... or from where the stream stands.
    format.Option(sfoFromStart).Flag1 = false;
    copy.LoadFromStreamViaFormat(stream, &format);
    EXPECT_EQ(copy.RecordCount(), 6);
    EXPECT_EQ(stream.Position(), stream.Size());

    // A file is extended in place.
    TempFolder folder;
    const std::string file = folder / "orte.dat";
    table.SaveToFileViaFormat(file, &format);
    table.SaveToFileViaFormat(file, &format);
    EXPECT_EQ(TempFolder::Read(file), one + one);
}

TEST_F(Persistence, CompressionEventsLimitsAndStorageKinds)
{
    auto reverse = [](TzebCustomMemTable&, TStream& from, TStream& to) {
        TMemoryStream all;
        all.CopyFrom(from, 0);
        std::string bytes = all.ToString();
        std::reverse(bytes.begin(), bytes.end());
        to.WriteString(bytes);
    };
    format.OnCompress = reverse;
    format.OnDecompress = reverse;
    std::vector<TzebStorageType> kinds;
    table.OnSave = [&](TzebCustomMemTable&, TzebStorageType kind, TStream*) { kinds.push_back(kind); };
    std::vector<std::pair<int, TzebProgressCode>> progress;
    table.OnProgress = [&](TzebCustomMemTable&, int percent, TzebProgressCode code) { progress.emplace_back(percent, code); };
    table.OnLoad = table.OnSave;
    const std::string packed = Saved();
    EXPECT_EQ(progress, (std::vector<std::pair<int, TzebProgressCode>>{{0, mtpcSave}, {100, mtpcSave}}));
    format.OnCompress = nullptr;
    std::string plain = Saved();
    std::reverse(plain.begin(), plain.end());
    EXPECT_EQ(packed, plain);

    TempFolder folder;
    TFileStream(folder / "orte.dat", FileMode::Create).WriteString(packed);
    TzebMemTable copy;
    Fields copyFields(copy);
    copy.OnLoad = table.OnSave;
    copy.LoadLimit = 2;
    copy.Open();
    copy.LoadFromFileViaFormat(folder / "orte.dat", &format);
    EXPECT_EQ(copy.RecordCount(), 2);
    EXPECT_FALSE(copy.LoadedCompletely);
    EXPECT_EQ(kinds, (std::vector<TzebStorageType>{mtstStream, mtstStream, mtstFile}));
}

TEST_F(Persistence, SavingShowsEveryRecordAndLeavesTheFilterOn)
{
    table.SetFilter("Name = 'Hof'");
    table.SetFiltered(true);
    TMemoryStream stream(Saved());
    EXPECT_TRUE(table.Filtered());
    EXPECT_EQ(table.RecordCount(), 1);
    TzebMemTable copy;
    Fields copyFields(copy);
    copy.Open();
    copy.LoadFromStreamViaFormat(stream, &format);
    EXPECT_EQ(copy.RecordCount(), 3);
}

// Writes the header and the first record, then fails.
class BrokenFormat : public TBinaryTableFormat {
protected:
    void SaveData(TzebCustomMemTable&) override
    {
        WorkStream().WriteString("halb");
        throw EWriteError("Schreibfehler");
    }
    void LoadData(TzebCustomMemTable& table) override
    {
        table.Append();
        table.FieldByName("Name").SetAsString("halb");
        throw EReadError("Lesefehler");
    }
};

TEST_F(Persistence, AFormatFailingHalfwayLeavesEverythingAsItWas)
{
    TempFolder folder;
    const std::string file = folder / "orte.dat";
    table.SaveToFileViaFormat(file, &format);
    const std::string old = TempFolder::Read(file);
    table.SetFilter("Zahl > 1");
    table.SetFiltered(true);
    BrokenFormat broken;
    EXPECT_EQ(MessageOf([&] { table.SaveToFileViaFormat(file, &broken); }), "Schreibfehler");
    EXPECT_EQ(TempFolder::Read(file), old);
    EXPECT_TRUE(table.Filtered());
    EXPECT_EQ(table.Store().LockDepth(), 0);
    EXPECT_FALSE(table.ControlsDisabled());

    table.Persistent = true;
    table.EnableIndexes = true;
    EXPECT_EQ(MessageOf([&] { table.LoadFromFileViaFormat(file, &broken); }), "Lesefehler");
    EXPECT_TRUE(table.Persistent);
    EXPECT_TRUE(table.EnableIndexes);
    EXPECT_EQ(table.Store().LockDepth(), 0);
    EXPECT_FALSE(table.ControlsDisabled());
    EXPECT_EQ(table.State(), dsBrowse);
    EXPECT_EQ(table.RecordCount(), 2);
    // Loading values is over: read-only fields are guarded again.
    fields.name->SetReadOnly(true);
    table.Edit();
    EXPECT_EQ(MessageOf([&] { fields.name->SetAsString("y"); }), "Feld 'Name' ist schreibgeschützt");
    table.Cancel();
}

TEST_F(Persistence, DataBytesAndEmptying)
{
    table.SetFormFormat(&format);
    TMemoryStream data;
    EXPECT_FALSE(table.WriteFormData(data));
    EXPECT_EQ(data.Size(), 0);
    table.StoreDataOnForm = true;
    EXPECT_TRUE(table.WriteFormData(data));

    TzebMemTable loaded;
    Fields loadedFields(loaded);
    loaded.SetFormFormat(&format);
    loaded.SetAttachMaxCount(2);
    loaded.ReadFormData(data);
    EXPECT_FALSE(loaded.Active());
    loaded.Open();
    EXPECT_EQ(Rows(loaded), Rows(table));

    TzebMemTable attached;
    attached.SetAttachedTo(&loaded);
    attached.Open();
    std::vector<int> progress;
    loaded.ProgressFlags |= ProgressFlag(mtpcEmpty);
    loaded.OnProgress = [&](TzebCustomMemTable&, int percent, TzebProgressCode code) {
        if (code == mtpcEmpty)
            progress.push_back(percent);
    };
    const std::int32_t generation = loaded.Store().Generation();
    // A record being inserted on the attached table is cancelled.
    attached.Append();
    loaded.EmptyTable();
    EXPECT_EQ(attached.State(), dsBrowse);
    EXPECT_TRUE(loaded.IsEmpty());
    EXPECT_TRUE(attached.IsEmpty());
    EXPECT_EQ(attached.RecordCount(), 0);
    EXPECT_NE(loaded.Store().Generation(), generation);
    EXPECT_EQ(progress, (std::vector<int>{0, 100}));
}

}  // namespace
}  // namespace velmoran

namespace velmoran {
namespace {

// Where the saved definition of the first field keeps its size: after the magic, the name count,
// the four names and the definitions flag, past the type byte.
constexpr std::size_t kFirstSizeAt = 4 + 4 + (4 + 4) + (4 + 4) + (4 + 5) + (4 + 4) + 1 + 1;

std::string WithInt32At(std::string bytes, std::size_t at, std::int32_t value)
{
    std::memcpy(bytes.data() + at, &value, sizeof value);
    return bytes;
}

TEST_F(Persistence, DamagedFilesFailWithAMessageAndLeaveTheTableClosedAsItWas)
{
    const std::string saved = Saved();
    std::int32_t size = 0;
    std::memcpy(&size, saved.data() + kFirstSizeAt, sizeof size);
    ASSERT_EQ(size, 30) << "the layout of the saved definitions changed";

    // A table without field objects whose definitions a failed load must put back.
    auto bare = [] {
        auto t = std::make_unique<TzebMemTable>();
        t->FieldDefs().Add("Alt", ftInteger);
        t->IndexDefs().Add("AltIdx", "Alt");
        return t;
    };
    auto unchanged = [](TzebMemTable& t) {
        EXPECT_FALSE(t.Active());
        EXPECT_EQ(t.FieldCount(), 0);
        ASSERT_EQ(t.FieldDefs().Count(), 1);
        EXPECT_EQ(t.FieldDefs()[0].Name(), "Alt");
        EXPECT_EQ(t.IndexDefs().Count(), 1);
    };
    // Field sizes that once made a record of gigabytes, or a slot of negative width.
    for (const std::int32_t hostile : {2147483647, -1, -2147483647 - 1, kMaxFieldSize + 1}) {
        TMemoryStream stream(WithInt32At(saved, kFirstSizeAt, hostile));
        auto t = bare();
        const std::string message = MessageOf([&] { t->LoadFromStreamViaFormat(stream, &format); });
        EXPECT_EQ(message, "Die Felddefinition 'Name' hat die Größe " + std::to_string(hostile) + "; erlaubt sind 0 bis 65535.");
        unchanged(*t);
    }
    // A name count far beyond the file's end fails before any name is read.
    {
        TMemoryStream stream(WithInt32At(saved, 4, -1));
        auto t = bare();
        EXPECT_EQ(MessageOf([&] { t->LoadFromStreamViaFormat(stream, &format); }),
                  "Binärformat: 4294967295 Felder hinter dem Ende");
        unchanged(*t);
    }
    // A file cut short after its definitions: the table had opened with them, and closes again.
    {
        TMemoryStream stream(saved.substr(0, saved.size() - 20));
        auto t = bare();
        EXPECT_FALSE(MessageOf([&] { t->LoadFromStreamViaFormat(stream, &format); }).empty());
        unchanged(*t);
    }
    // Every byte damaged in two ways, and every length cut: an error with a message or a table,
    // never anything else (the sanitizer build sees every step).
    for (std::size_t at = 0; at <= saved.size(); ++at)
        for (int variant = 0; variant < 3; ++variant) {
            std::string damaged = saved;
            if (variant == 2)
                damaged.resize(at);
            else if (at < saved.size())
                damaged[at] = variant == 0 ? '\xFF' : '\x80';
            TMemoryStream stream(damaged);
            auto t = bare();
            try {
                t->LoadFromStreamViaFormat(stream, &format);
            } catch (const Exception&) {
                unchanged(*t);
            }
        }
}

TEST(DateFieldNumbers, DayNumbersAtTheEndsOfTheRangeReadWithoutOverflow)
{
    TzebMemTable table;
    auto& date = table.AddField<TDateField>("D");
    table.Open();
    table.Append();
    const std::int32_t lowest = -2147483647 - 1;
    date.SetData(&lowest);
    EXPECT_EQ(date.AsDateTime(), static_cast<double>(lowest) - kDateDelta);
    EXPECT_EQ(date.AsVariant().AsDateTime(), static_cast<double>(lowest) - kDateDelta);
    // A variant date beyond the largest day number is refused, not wrapped.
    std::byte native[4] = {};
    EXPECT_THROW(VariantToNative(date, TVariant::Date(4e9, dkDate), native), EConvertError);
    EXPECT_THROW(VariantToNative(date, TVariant::Date(-1e12, dkDate), native), EConvertError);
    table.Cancel();
}

}  // namespace
}  // namespace velmoran
