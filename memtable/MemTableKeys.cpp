// The table's key services: field lists, value and record comparison (locale-aware through the
// collator), key search, locate and lookup, and the choice of the current index.
#include "memtable/MemTable.h"

#include "platform/core/ScopeExit.h"
#include "platform/core/Text.h"
#include "platform/core/TextCollator.h"

#include <algorithm>
#include <cstring>

namespace velmoran {

namespace {

const char* const kInvalidLocale = "Ungültiges Gebietsschema";
const char* const kInvalidRecord = "Ungültiger Datensatz";
const char* const kSortIndexName = "__MT__SORT";

bool IndexableType(TFieldType type)
{
    switch (type) {
    case ftString:
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftAutoInc:
    case ftFixedChar:
    case ftWideString:
    case ftLargeint:
    case ftADT:
    case ftArray:
    case ftGuid:
        return true;
    default:
        return false;
    }
}

std::uint8_t OptionOfLetter(char letter)
{
    switch (UpperChar(letter)) {
    case 'C': return mtcoCaseInsensitive;
    case 'D': return mtcoDescending;
    case 'N': return mtcoIgnoreNullKey;
    case 'P': return mtcoPartialKey;
    case 'L': return mtcoIgnoreLocale;
    default: return 0;
    }
}

template <typename T>
int ThreeWay(T a, T b)
{
    return a < b ? -1 : a > b ? 1 : 0;
}

template <typename T>
T Read(const std::byte* at)
{
    T value{};
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Windows-1252 letters folded to lower case, for comparisons by character code.
unsigned char FoldAnsi(unsigned char c)
{
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 0x20);
    if (c == 0x8A || c == 0x8C || c == 0x8E)
        return static_cast<unsigned char>(c + 0x10);
    if (c == 0x9F)
        return 0xFF;
    return c;
}

// Windows-1252 texts by character code (unsigned bytes), optionally folded to lower case.
int CompareCodes(std::string_view a, std::string_view b, bool ignoreCase)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]);
        auto y = static_cast<unsigned char>(b[i]);
        if (ignoreCase) {
            x = FoldAnsi(x);
            y = FoldAnsi(y);
        }
        if (x != y)
            return x < y ? -1 : 1;
    }
    return ThreeWay(a.size(), b.size());
}

// A partial key compares the second text only as far as the first reaches.
template <typename Text>
void CutPartial(const Text& a, Text& b, std::uint8_t options, bool& fullMatch)
{
    if ((options & mtcoPartialKey) && a.size() != b.size()) {
        b = b.substr(0, std::min(a.size(), b.size()));
        fullMatch = false;
    }
}

}  // namespace

// A record of the store's form for keys and reading copies; freed with its blocks.
class TzebCustomMemTable::ScratchRecord {
public:
    explicit ScratchRecord(TzebCommon& store) : store_(store), record_(store.AllocateRecord()) {}
    ~ScratchRecord()
    {
        store_.FreeBlocks(record_);
        store_.FreeRecord(record_, false, false);
    }
    ScratchRecord(const ScratchRecord&) = delete;
    ScratchRecord& operator=(const ScratchRecord&) = delete;
    TzebRecord* get() const { return record_; }

private:
    TzebCommon& store_;
    TzebRecord* record_;
};

// ---- field lists ----

void TzebCustomMemTable::BuildFieldList(std::string_view names, TzebFieldList& list, std::uint8_t options)
{
    list.Clear();
    for (const std::string& part : SplitFieldNames(names)) {
        std::string_view name = part;
        std::uint8_t fieldOptions = options;
        std::size_t colon = part.find(':');
        if (colon != std::string::npos) {
            name = TrimView(std::string_view(part).substr(0, colon));
            for (char letter : std::string_view(part).substr(colon + 1)) {
                if (letter == ' ')
                    continue;
                std::uint8_t option = OptionOfLetter(letter);
                if (option == 0)
                    throw EDatabaseError("Ungültige Feldoption '" + std::string(1, letter) + "' in '" + part + "'");
                fieldOptions |= option;
            }
        }
        TField& field = FieldByName(name);
        if (!IndexableType(field.DataType()))
            throw EMemTableError("Über Feld '" + field.DisplayName() + "' kann kein Index angelegt werden");
        int offset = -1;
        if (field.IsDataField()) {
            if (field.FieldNo() >= 1 && field.FieldNo() <= store_->FieldCount())
                offset = store_->DataOffset(field.FieldNo());
        } else {
            RecalcOnIndex = true;
        }
        list.Add(&field, offset, fieldOptions);
    }
}

// ---- comparison ----

int TzebCustomMemTable::CompareFieldValues(const TField& field, const std::byte* a, const std::byte* b,
                                           std::uint8_t options, bool* fullMatch) const
{
    bool full = true;
    int result = 0;
    const bool ignoreCase = (options & mtcoCaseInsensitive) != 0;
    if (OnCompareFields) {
        result = OnCompareFields(const_cast<TzebCustomMemTable&>(*this), field, a, b, field.DataType(), options, full);
        if (fullMatch)
            *fullMatch = full;
        return result;
    }
    try {
        switch (field.DataType()) {
        case ftString:
        case ftFixedChar:
        case ftGuid: {
            const auto width = static_cast<std::size_t>(field.DataSize());
            std::string_view x(reinterpret_cast<const char*>(a), ::strnlen(reinterpret_cast<const char*>(a), width));
            std::string_view y(reinterpret_cast<const char*>(b), ::strnlen(reinterpret_cast<const char*>(b), width));
            CutPartial(x, y, options, full);
            if (x == y)
                result = 0;
            else if (options & mtcoIgnoreLocale)
                result = CompareCodes(x, y, ignoreCase);
            else
                result = TextCollator::CompareAnsi(x, y, LocaleID(), ignoreCase);
            break;
        }
        case ftWideString: {
            auto wide = [&](const std::byte* v) {
                auto bytes = std::min<std::uint32_t>(Read<std::uint32_t>(v), static_cast<std::uint32_t>(field.Size() * 2));
                return std::u16string_view(reinterpret_cast<const char16_t*>(v + 4), bytes / 2);
            };
            std::u16string_view x = wide(a);
            std::u16string_view y = wide(b);
            CutPartial(x, y, options, full);
            // Ignoring the locale, wide texts compare in the user's default locale.
            result = x == y ? 0 : TextCollator::Compare(x, y, (options & mtcoIgnoreLocale) ? TextCollator::kUserDefault : LocaleID(), ignoreCase);
            break;
        }
        case ftSmallint:
            result = ThreeWay(Read<std::int16_t>(a), Read<std::int16_t>(b));
            break;
        case ftBoolean:
            result = ThreeWay(Read<std::int16_t>(a) != 0, Read<std::int16_t>(b) != 0);
            break;
        case ftWord:
            result = ThreeWay(Read<std::uint16_t>(a), Read<std::uint16_t>(b));
            break;
        case ftInteger:
        case ftAutoInc:
        case ftDate:
        case ftTime:
            result = ThreeWay(Read<std::int32_t>(a), Read<std::int32_t>(b));
            break;
        case ftLargeint:
            result = ThreeWay(Read<std::int64_t>(a), Read<std::int64_t>(b));
            break;
        case ftFloat:
        case ftCurrency:
        case ftDateTime:
            result = ThreeWay(Read<double>(a), Read<double>(b));
            break;
        case ftBCD: {
            auto x = BcdToCurrency(Read<TBcd>(a));
            auto y = BcdToCurrency(Read<TBcd>(b));
            result = x && y ? ThreeWay(*x, *y) : 0;
            break;
        }
        default:
            result = 0;
            break;
        }
    } catch (const ECollationError&) {
        throw EMemTableInvalidLocale(kInvalidLocale);
    }
    if (options & mtcoDescending)
        result = -result;
    if (fullMatch)
        *fullMatch = full;
    return result;
}

const std::byte* TzebCustomMemTable::KeyEntry(const TzebRecord* record, const TzebFieldList::Entry& entry,
                                              std::vector<std::byte>& scratch) const
{
    const TField& field = *entry.Field;
    if (!field.IsDataField())
        return record->Data + store_->CalcFieldsStart() + field.CalcOffset();
    const int fieldNo = entry.FieldNo;
    const std::byte* at = store_->FieldPointer(record, fieldNo);
    if (!(store_->FieldFlags(fieldNo) & mtffOutOfRecord) || at[0] == std::byte{0})
        return at;
    const int slot = store_->OutOfRecordSlot(fieldNo);
    const std::byte* block = store_->OutOfRecordBlock(record, slot);
    if (!block) {
        if (record->SlotNumber == -1)
            throw EMemTableInvalidRecord(kInvalidRecord);
        const TzebRecord* stored = store_->RecordAt(record->SlotNumber);
        block = stored ? store_->OutOfRecordBlock(stored, slot) : nullptr;
    }
    const auto width = static_cast<std::size_t>(field.DataSize());
    scratch.assign(width + 1, std::byte{0});
    if (!block)
        return scratch.data();  // no value after all
    scratch[0] = std::byte{2};
    const std::byte* bytes = ZebBlockBytes(block);
    std::size_t count = ZebBlockSize(block);
    std::vector<std::byte> unpacked;
    if (store_->FieldFlags(fieldNo) & mtffCompressed) {
        unpacked = DecompressField(field, bytes, count);
        bytes = unpacked.data();
        count = unpacked.size();
    }
    std::memcpy(scratch.data() + 1, bytes, std::min(count, width));
    return scratch.data();
}

int TzebCustomMemTable::CompareKeys(const TzebFieldList& keys, const TzebRecord* a, const TzebRecord* b, int count,
                                    int mode, bool partial, bool ignoreNull, bool* fullMatch) const
{
    const int n = count < 0 ? keys.Count() : std::min(count, keys.Count());
    int result = 0;
    bool full = true;
    std::vector<std::byte> scratchA;
    std::vector<std::byte> scratchB;
    for (int i = 0; i < n; ++i) {
        const TzebFieldList::Entry& entry = keys[i];
        auto options = static_cast<std::uint8_t>(entry.Options | (partial ? mtcoPartialKey : 0));
        if (mode != 0)
            options = static_cast<std::uint8_t>(options & ~mtcoDescending);
        const std::byte* x = KeyEntry(a, entry, scratchA);
        const bool nullA = x[0] == std::byte{0};
        if (nullA && (ignoreNull || (options & mtcoIgnoreNullKey)))
            continue;
        const std::byte* y = KeyEntry(b, entry, scratchB);
        const bool nullB = y[0] == std::byte{0};
        if (!nullA && !nullB) {
            bool fieldFull = true;
            result = CompareFieldValues(*entry.Field, x + 1, y + 1, options, &fieldFull);
            full = full && fieldFull;
        } else if (nullA && nullB) {
            result = 0;
        } else {
            // Nulls come first; descending turns that round.
            result = nullA ? -1 : 1;
            if (options & mtcoDescending)
                result = -result;
        }
        const bool stop = mode == 0 ? result != 0
                          : mode == 1 ? result < 0
                          : mode == 2 ? result > 0
                          : mode == 3 ? result <= 0
                                      : result >= 0;
        if (stop)
            break;
    }
    if (fullMatch)
        *fullMatch = full;
    return result;
}

int TzebCustomMemTable::CompareWithTieBreak(const TzebFieldList& keys, const TzebRecord* a, const TzebRecord* b) const
{
    int result = CompareKeys(keys, a, b);
    if (result != 0)
        return result;
    if (a->Position < 0 && b->Position < 0)
        result = ThreeWay(a->SlotNumber, b->SlotNumber);
    else if (a->Position < 0)
        result = -1;
    else if (b->Position < 0)
        result = 1;
    if (keys.Count() > 0 && (keys[0].Options & mtcoDescending))
        result = -result;
    return result;
}

// ---- search ----

int TzebCustomMemTable::SearchKey(const TzebIndex& index, const TzebFieldList& keys, int count, const TzebRecord* key,
                                  bool first, bool nearest)
{
    const bool filtered = IsFilterActive();
    const int n = index.Count();
    ReportProgress(0, mtpcSearch);
    const ScopeExit done([this] { ReportProgress(100, mtpcSearch); });
    if (!index.IsRowOrder() && index.Ordered() && n >= 21) {
        int low = 0;
        int high = n - 1;
        int found = -1;
        while (low <= high) {
            int middle = low + (high - low) / 2;
            int result = CompareKeys(keys, key, index.At(middle), count);
            if (result == 0) {
                found = middle;
                break;
            }
            if (result < 0)
                high = middle - 1;
            else
                low = middle + 1;
        }
        if (found < 0)
            return nearest ? low : -1;
        auto equal = [&](int i) { return CompareKeys(keys, key, index.At(i), count) == 0; };
        if (first || filtered)
            while (found > 0 && equal(found - 1))
                --found;
        else
            while (found < n - 1 && equal(found + 1))
                ++found;
        if (filtered) {
            while (found < n && equal(found) && !AcceptRecord(index.At(found)))
                ++found;
            if (found >= n || !equal(found))
                return nearest ? found : -1;
        }
        return found;
    }
    return ScanKey(index, keys, count, key, nearest);
}

int TzebCustomMemTable::ScanKey(const TzebIndex& index, const TzebFieldList& keys, int count, const TzebRecord* key,
                                bool nearest)
{
    const bool filtered = IsFilterActive();
    const int n = index.Count();
    const bool recalc = RecalcOnIndex && HasCalcFields();
    for (int i = 0; i < n; ++i) {
        TzebRecord* record = index.At(i);
        if (recalc)
            GetCalcFields(reinterpret_cast<TRecordBuffer>(record));
        int result = CompareKeys(keys, key, record, count);
        if (result == 0 && (!filtered || AcceptRecord(record)))
            return i;
        if (nearest && result < 0)
            return i;
        if (i % 100 == 99)
            ReportProgress(static_cast<int>(static_cast<long long>(i) * 100 / n), mtpcSearch);
    }
    return nearest ? n : -1;
}

TzebSortedIndex* TzebCustomMemTable::FindSearchIndex(const TzebFieldList& keys)
{
    for (int i = indexes_.Count() - 1; i >= 1; --i) {
        auto& index = static_cast<TzebSortedIndex&>(indexes_[i]);
        if (!index.Ordered() || index.KeyFields().Count() < keys.Count())
            continue;
        bool usable = true;
        for (int k = 0; k < keys.Count() && usable; ++k) {
            const auto& wanted = keys[k];
            const auto& have = index.KeyFields()[k];
            // Without the locale a case-sensitive order does not keep case variants together.
            usable = wanted.Field == have.Field &&
                     !((wanted.Options & mtcoCaseInsensitive) && !(have.Options & mtcoCaseInsensitive) &&
                       (have.Options & mtcoIgnoreLocale));
        }
        if (usable)
            return &index;
    }
    if (!AutoAddIndexes || !currentIndex_->Ordered() || currentIndex_->Count() < 21)
        return nullptr;
    std::string names;
    for (int k = 0; k < keys.Count(); ++k)
        names += (k ? ";" : "") + keys[k].Field->FieldName();
    auto& added = indexes_.Add(std::make_unique<TzebSortedIndex>(*this, TzebIndexes::kAutoPrefix + names, names, 0));
    added.Rebuild();
    return &added;
}

int TzebCustomMemTable::SearchCurrent(TzebFieldList keys, const TzebRecord* key, bool first, bool nearest)
{
    TzebIndex& current = *currentIndex_;
    if (!current.Ordered() || current.Count() < 21)
        return SearchKey(current, keys, keys.Count(), key, first, nearest);
    TzebSortedIndex* index = FindSearchIndex(keys);
    if (!index) {
        // The current order is by other fields: bisecting it would miss records.
        ReportProgress(0, mtpcSearch);
        const ScopeExit done([this] { ReportProgress(100, mtpcSearch); });
        return ScanKey(current, keys, keys.Count(), key, nearest);
    }
    index->KeyFields().OrOptionsInto(keys);
    int position = SearchKey(*index, keys, keys.Count(), key, first, nearest);
    if (index == &current || position < 0)
        return position;
    // A place in another index is translated into the current one.
    if (position >= index->Count())
        return nearest ? current.Count() : -1;
    return current.IndexOfRecord(index->At(position));
}

int TzebCustomMemTable::SearchValues(std::string_view keyFields, const TVariant& values, TLocateOptions options)
{
    std::uint8_t keyOptions = 0;
    if (options & loCaseInsensitive)
        keyOptions |= mtcoCaseInsensitive;
    if (options & loPartialKey)
        keyOptions |= mtcoPartialKey;
    TzebFieldList keys;
    BuildFieldList(keyFields, keys, keyOptions);
    if (keys.Count() == 0)
        throw EMemTableError("Es muss mindestens ein Feld angegeben sein");
    std::vector<TVariant> list;
    if (values.IsArray()) {
        for (const TVariant& element : values.Elements())
            if (element.IsArray())
                throw EMemTableError("Die Werteliste hat eine ungültige Zahl von Dimensionen");
        list = values.Elements();
    } else {
        if (keys.Count() > 1)
            throw EMemTableError("Mehr Felder als Werte");
        list.push_back(values);
    }
    TzebCommon::Guard guard(*store_);
    ScratchRecord key(*store_);
    TzebFieldList used;
    for (int i = 0; i < keys.Count() && i < static_cast<int>(list.size()); ++i) {
        WriteVariant(key.get(), *keys[i].Field, list[static_cast<std::size_t>(i)]);
        used.Add(keys[i].Field, keys[i].DataOffset, keys[i].Options);
    }
    return SearchCurrent(used, key.get(), true, false);
}

bool TzebCustomMemTable::Locate(std::string_view keyFields, const TVariant& values, TLocateOptions options)
{
    CheckBrowseMode();
    int position = SearchValues(keyFields, values, options);
    if (position < 0)
        return false;
    DoBeforeScroll();
    cursor_ = position;
    Resync();
    DoAfterScroll();
    return true;
}

TVariant TzebCustomMemTable::Lookup(std::string_view keyFields, const TVariant& values, std::string_view resultFields)
{
    CheckBrowseMode();
    int position = SearchValues(keyFields, values, 0);
    if (position < 0)
        return TVariant::Null();
    std::vector<TField*> fields;
    for (const std::string& name : SplitFieldNames(resultFields))
        fields.push_back(&FieldByName(name));
    // The found record is read through a copy in the calculated-fields state; the cursor stays.
    ScratchRecord copy(*store_);
    store_->CopyRecord(currentIndex_->At(position), copy.get());
    auto* buffer = reinterpret_cast<TRecordBuffer>(copy.get());
    GetCalcFields(buffer);
    const TDataSetState savedState = State();
    const TRecordBuffer savedBuffer = CalcBuffer();
    const ScopeExit restore([&] {
        SetState(savedState);
        SetCalcBuffer(savedBuffer);
    });
    SetState(dsCalcFields);
    SetCalcBuffer(buffer);
    if (fields.size() == 1)
        return fields.front()->AsVariant();
    std::vector<TVariant> result;
    for (TField* field : fields)
        result.push_back(field->AsVariant());
    return TVariant(std::move(result));
}

// ---- indexes ----

void TzebCustomMemTable::ReportProgress(int percent, TzebProgressCode code)
{
    if (OnProgress && (ProgressFlags & ProgressFlag(code)))
        OnProgress(*this, percent, code);
}

void TzebCustomMemTable::RebuildIndexes()
{
    indexes_.RemoveSorted();
    currentIndex_ = &indexes_.RowOrder();
    indexFields_.Clear();
    for (int i = 0; i < indexDefs_.Count(); ++i) {
        const TIndexDef& def = indexDefs_[i];
        if (Trim(def.Name).empty() || Trim(def.Fields).empty())
            throw EMemTableError("Der Indexdefinition fehlt der Name oder die Feldliste");
        indexes_.Add(std::make_unique<TzebSortedIndex>(*this, def.Name, def.Fields, CompareOptionsOf(def.Options)))
            .Rebuild();
    }
}

void TzebCustomMemTable::MatchIndexesToDefinitions()
{
    for (int i = indexes_.Count() - 1; i >= 0; --i) {
        TzebIndex* index = &indexes_[i];
        if (index->IsRowOrder() || index->Name() == kSortIndexName || indexDefs_.Find(index->Name()))
            continue;
        // An order chosen by field names is named after them and has no definition.
        if (index->Name() == static_cast<TzebSortedIndex*>(index)->KeyFieldNames())
            continue;
        if (index == currentIndex_)
            SwitchToIndex(indexes_.RowOrder());
        indexes_.Remove(index);
    }
    for (int i = 0; i < indexDefs_.Count(); ++i) {
        const TIndexDef& def = indexDefs_[i];
        if (indexes_.Find(def.Name) || Trim(def.Name).empty() || Trim(def.Fields).empty())
            continue;
        indexes_.Add(std::make_unique<TzebSortedIndex>(*this, def.Name, def.Fields, CompareOptionsOf(def.Options)))
            .SetOrdered(false);
    }
}

TzebSortedIndex* TzebCustomMemTable::AddIndex(const std::string& name, const std::string& fields, std::uint8_t options,
                                              TzebChangeStatuses shown)
{
    if (Trim(name).empty() || Trim(fields).empty())
        throw EMemTableError("Der Indexdefinition fehlt der Name oder die Feldliste");
    if (indexes_.Find(name))
        throw EDatabaseError("Index '" + name + "' existiert bereits");
    if (!indexDefs_.Find(name)) {
        std::uint8_t defOptions = 0;
        defOptions |= (options & mtcoUnique) ? ixUnique : 0;
        defOptions |= (options & mtcoDescending) ? ixDescending : 0;
        defOptions |= (options & mtcoCaseInsensitive) ? ixCaseInsensitive : 0;
        defOptions |= (options & mtcoNonMaintained) ? ixNonMaintained : 0;
        indexDefs_.Add(name, fields, defOptions);
    }
    if (!Active())
        return nullptr;
    auto& index = indexes_.Add(std::make_unique<TzebSortedIndex>(*this, name, fields, options, shown));
    try {
        index.Rebuild();
    } catch (...) {
        indexes_.Remove(&index);
        indexDefs_.Remove(name);
        throw;
    }
    return &index;
}

void TzebCustomMemTable::DeleteIndex(const std::string& name)
{
    TzebIndex* index = indexes_.Find(name);
    if (index && !index->IsRowOrder()) {
        if (index == currentIndex_)
            SwitchToIndex(indexes_.RowOrder());
        indexes_.Remove(index);
    }
    indexDefs_.Remove(name);
}

void TzebCustomMemTable::Sort()
{
    CheckActive();
    if (TzebIndex* old = indexes_.Find(kSortIndexName)) {
        if (old == currentIndex_)
            SwitchToIndex(indexes_.RowOrder());
        indexes_.Remove(old);
    }
    auto& index = indexes_.Add(std::make_unique<TzebSortedIndex>(*this, kSortIndexName, SortFields, SortOptions));
    index.SetOrdered(false);
    SwitchToIndex(index);
}

void TzebCustomMemTable::SetIndexName(const std::string& name)
{
    if (!Active()) {
        indexName_ = name;
        indexFieldNames_.clear();
        return;
    }
    if (Trim(name).empty()) {
        SwitchToIndex(indexes_.RowOrder());
        return;
    }
    TzebIndex* index = indexes_.Find(name);
    if (!index)
        throw EDatabaseError("Index '" + name + "' nicht gefunden");
    SwitchToIndex(*index);
}

void TzebCustomMemTable::SetIndexFieldNames(const std::string& names)
{
    if (!Active()) {
        indexFieldNames_ = names;
        indexName_.clear();
        return;
    }
    if (Trim(names).empty()) {
        SwitchToIndex(indexes_.RowOrder());
        return;
    }
    TzebSortedIndex* index = indexes_.FindByFieldNames(names);
    if (!index) {
        // An order no index has yet gets one of its own, named after its fields.
        index = &indexes_.Add(std::make_unique<TzebSortedIndex>(*this, names, names, 0));
        index->SetOrdered(false);
    }
    try {
        SwitchToIndex(*index);
    } catch (...) {
        if (index != currentIndex_ && !indexDefs_.Find(index->Name()))
            indexes_.Remove(index);
        throw;
    }
}

void TzebCustomMemTable::ApplyIndexSelection()
{
    if (!indexFieldNames_.empty())
        SetIndexFieldNames(std::string(indexFieldNames_));
    else if (!indexName_.empty())
        SetIndexName(std::string(indexName_));
}

void TzebCustomMemTable::SwitchToIndex(TzebIndex& index)
{
    CheckBrowseMode();
    const TBookmark current = GetBookmark();
    if (!index.Ordered()) {
        if (index.IsRowOrder())
            index.SetOrdered(true);
        else
            static_cast<TzebSortedIndex&>(index).Rebuild();
    }
    if (index.IsRowOrder()) {
        indexName_.clear();
        indexFieldNames_.clear();
        indexFields_.Clear();
    } else {
        auto& sorted = static_cast<TzebSortedIndex&>(index);
        indexName_ = sorted.Name();
        indexFieldNames_ = sorted.KeyFieldNames();
        sorted.KeyFields().CopyTo(indexFields_);
    }
    currentIndex_ = &index;
    cursor_ = std::min(cursor_, index.Count() - 1);
    int position = -1;
    if (const TzebRecord* record = store_->FindRecord(current.Slot, current.UniqueNumber))
        position = index.IndexOfRecord(record);
    if (position >= 0 && AcceptRecord(index.At(position))) {
        cursor_ = position;
        Resync();
    } else {
        First();
    }
}

}  // namespace velmoran
