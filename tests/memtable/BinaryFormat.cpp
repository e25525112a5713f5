// The binary table format of the tests and of mtquery.
#include "BinaryFormat.h"

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

const char kMagic[4] = {'M', 'T', 'B', '1'};

template <typename T>
void Put(TStream& stream, T value)
{
    stream.WriteBuffer(&value, sizeof value);
}

template <typename T>
T Get(TStream& stream)
{
    T value{};
    stream.ReadBuffer(&value, sizeof value);
    return value;
}

void PutText(TStream& stream, std::string_view text)
{
    Put(stream, static_cast<std::uint32_t>(text.size()));
    stream.WriteString(text);
}

std::int64_t Remaining(TStream& stream)
{
    return stream.Size() - stream.Position();
}

// A count of entries of at least `bytesEach` bytes must fit in what remains of the stream.
std::uint32_t GetCount(TStream& stream, std::int64_t bytesEach, const char* what)
{
    const auto count = Get<std::uint32_t>(stream);
    if (count > Remaining(stream) / bytesEach)
        throw EReadError("Binärformat: " + std::to_string(count) + " " + what + " hinter dem Ende");
    return count;
}

std::string GetText(TStream& stream)
{
    const auto size = Get<std::uint32_t>(stream);
    if (size > Remaining(stream))
        throw EReadError("Binärformat: Länge " + std::to_string(size) + " hinter dem Ende");
    std::string text(size, '\0');
    stream.ReadBuffer(text.data(), size);
    return text;
}

std::vector<int> SavedFields(const std::vector<int>& map)
{
    std::vector<int> saved;
    for (int i : map)
        if (i >= 0)
            saved.push_back(i);
    return saved;
}

}  // namespace

// ---- saving ----

void TBinaryTableFormat::SaveDefinitions(TzebCustomMemTable& table)
{
    TStream& out = WorkStream();
    out.WriteBuffer(kMagic, sizeof kMagic);
    const std::vector<int> saved = SavedFields(FieldMap());
    Put(out, static_cast<std::uint32_t>(saved.size()));
    for (int i : saved)
        PutText(out, table.Fields()[i].FieldName());
    const bool definitions = Option(sfoDefinitions).Flag1;
    Put(out, static_cast<std::uint8_t>(definitions));
    if (definitions)
        for (int i : saved) {
            const TField& field = table.Fields()[i];
            Put(out, static_cast<std::uint8_t>(field.DataType()));
            Put(out, static_cast<std::int32_t>(field.Size()));
            Put(out, static_cast<std::uint8_t>(field.Required()));
        }
    const bool indexes = Option(sfoIndexDefinitions).Flag1;
    Put(out, static_cast<std::uint8_t>(indexes));
    if (indexes) {
        Put(out, static_cast<std::uint32_t>(table.IndexDefs().Count()));
        for (int i = 0; i < table.IndexDefs().Count(); ++i) {
            PutText(out, table.IndexDefs()[i].Name);
            PutText(out, table.IndexDefs()[i].Fields);
            Put(out, table.IndexDefs()[i].Options);
        }
    }
}

void TBinaryTableFormat::SaveData(TzebCustomMemTable& table)
{
    TStream& out = WorkStream();
    const std::vector<int> saved = SavedFields(FieldMap());
    const TBookmark place = table.GetBookmark();
    int count = 0;
    table.SavedCompletely = true;
    for (table.First(); !table.Eof(); table.Next()) {
        if (table.SaveLimit >= 0 && count >= table.SaveLimit) {
            table.SavedCompletely = false;
            break;
        }
        bool accept = true;
        if (table.OnSaveRecord)
            table.OnSaveRecord(table, accept);
        if (!accept)
            continue;
        Put(out, std::uint8_t{1});
        for (int i : saved) {
            TField& field = table.Fields()[i];
            if (table.OnSaveField)
                table.OnSaveField(table, i, field);
            Put(out, static_cast<std::uint8_t>(!field.IsNull()));
            if (field.IsNull())
                continue;
            if (auto* blob = dynamic_cast<TBlobField*>(&field)) {
                PutText(out, blob->AsBytes());
            } else {
                std::string native(static_cast<std::size_t>(field.DataSize()), '\0');
                field.GetData(native.data());
                PutText(out, native);
            }
        }
        ++count;
    }
    Put(out, std::uint8_t{0});
    if (table.BookmarkValid(place))
        table.GotoBookmark(place);
}

// ---- loading ----

void TBinaryTableFormat::BeforeLoad(TzebCustomMemTable& table)
{
    structure_.reset();
    TzebCustomStreamFormat::BeforeLoad(table);
}

void TBinaryTableFormat::AfterLoad(TzebCustomMemTable& table)
{
    std::unique_ptr<Structure> structure = std::move(structure_);
    try {
        TzebCustomStreamFormat::AfterLoad(table);
    } catch (...) {
        if (!Failed() || !structure)
            throw;
    }
    if (!Failed() || !structure)
        return;
    table.Close();
    CopyFieldDefs(structure->FieldDefs, table.FieldDefs());
    table.IndexDefs() = structure->IndexDefs;
}

void TBinaryTableFormat::LoadDefinitions(TzebCustomMemTable& table)
{
    TStream& in = WorkStream();
    char magic[sizeof kMagic];
    in.ReadBuffer(magic, sizeof magic);
    if (std::memcmp(magic, kMagic, sizeof kMagic) != 0)
        throw EReadError("Binärformat: unbekannte Kennung");
    // A name takes its length at least; a definition six bytes; an index two lengths and its options.
    const auto count = GetCount(in, 4, "Felder");
    loadedNames_.clear();
    for (std::uint32_t i = 0; i < count; ++i)
        loadedNames_.push_back(GetText(in));
    TFieldDefs defs;
    if (Get<std::uint8_t>(in)) {
        if (static_cast<std::int64_t>(loadedNames_.size()) * 6 > Remaining(in))
            throw EReadError("Binärformat: Felddefinitionen hinter dem Ende");
        for (const std::string& name : loadedNames_) {
            const auto type = static_cast<TFieldType>(Get<std::uint8_t>(in));
            const auto size = Get<std::int32_t>(in);
            defs.Add(name, type, size, Get<std::uint8_t>(in) != 0);
        }
    }
    TIndexDefs indexDefs;
    if (Get<std::uint8_t>(in)) {
        const auto indexes = GetCount(in, 9, "Indexe");
        for (std::uint32_t i = 0; i < indexes; ++i) {
            std::string name = GetText(in);
            std::string fields = GetText(in);
            indexDefs.Add(std::move(name), std::move(fields), Get<std::uint8_t>(in));
        }
    }
    // A closed table without field objects takes the saved structure.
    if (!table.Active() && table.FieldCount() == 0 && Option(sfoDefinitions).Flag2 && defs.Count() > 0) {
        // Kept to put back when the load fails: the table then stays closed and as it was.
        structure_ = std::make_unique<Structure>();
        CopyFieldDefs(table.FieldDefs(), structure_->FieldDefs);
        structure_->IndexDefs = table.IndexDefs();
        CopyFieldDefs(defs, table.FieldDefs());
        if (Option(sfoIndexDefinitions).Flag2)
            for (int i = 0; i < indexDefs.Count(); ++i)
                if (!table.IndexDefs().Find(indexDefs[i].Name))
                    table.IndexDefs().Add(indexDefs[i].Name, indexDefs[i].Fields, indexDefs[i].Options);
        table.Open();
        DetermineLoadFieldFlags(table);
    }
    MapLoadedFields(table);
}

void TBinaryTableFormat::MapLoadedFields(TzebCustomMemTable& table)
{
    loadedTargets_.assign(loadedNames_.size(), -1);
    for (std::size_t j = 0; j < loadedNames_.size(); ++j)
        for (int i : SavedFields(FieldMap()))
            if (SameFieldName(table.Fields()[i].FieldName(), loadedNames_[j]))
                loadedTargets_[j] = i;
}

int TBinaryTableFormat::LoadFieldCount(TzebCustomMemTable&)
{
    return static_cast<int>(std::count_if(loadedTargets_.begin(), loadedTargets_.end(), [](int i) { return i >= 0; }));
}

void TBinaryTableFormat::LoadData(TzebCustomMemTable& table)
{
    TStream& in = WorkStream();
    int count = 0;
    table.LoadedCompletely = true;
    while (Get<std::uint8_t>(in) == 1) {
        if (table.LoadLimit >= 0 && count >= table.LoadLimit) {
            table.LoadedCompletely = false;
            return;
        }
        table.Append();
        for (std::size_t j = 0; j < loadedNames_.size(); ++j) {
            const bool present = Get<std::uint8_t>(in) != 0;
            const std::string value = present ? GetText(in) : std::string();
            if (loadedTargets_[j] < 0)
                continue;
            TField& field = table.Fields()[loadedTargets_[j]];
            if (auto* blob = dynamic_cast<TBlobField*>(&field)) {
                blob->SetAsBytes(value);
            } else if (!present) {
                field.Clear();
            } else {
                if (value.size() != static_cast<std::size_t>(field.DataSize()))
                    throw EReadError("Binärformat: Wert von Feld " + field.FieldName() + " passt nicht");
                field.SetData(value.data());
            }
            if (table.OnLoadField)
                table.OnLoadField(table, loadedTargets_[j], field);
        }
        bool accept = true;
        if (table.OnLoadRecord)
            table.OnLoadRecord(table, accept);
        if (accept) {
            table.Post();
            ++count;
        } else {
            table.Cancel();
        }
    }
}

}  // namespace velmoran
