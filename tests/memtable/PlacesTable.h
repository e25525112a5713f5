// A table of places (name, state, inhabitants) shared by the index, search and filter suites,
// with the collation's default locale set to German for the suite's lifetime, so that no case
// depends on the machine's locale.
#pragma once

#include "memtable/MemTable.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TextCollator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace velmoran::testing {

inline std::string MessageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "<no error>";
}

struct Place {
    const char* Name;
    const char* Land;
    int Einwohner;  // 0: null
};

class PlacesTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        TextCollator::SetUserDefaultLocale("de_DE");
        name = &table.AddField<TStringField>("Name", 30);
        land = &table.AddField<TStringField>("Land", 2);
        einwohner = &table.AddField<TIntegerField>("Einwohner");
        table.Open();
    }
    void TearDown() override { TextCollator::SetUserDefaultLocale(""); }

    void Add(const Place& place)
    {
        table.Append();
        name->SetAsString(place.Name);
        land->SetAsString(place.Land);
        if (place.Einwohner != 0)
            einwohner->SetAsInteger(place.Einwohner);
        table.Post();
    }
    void Add(std::initializer_list<Place> places)
    {
        for (const Place& place : places)
            Add(place);
    }
    // The names in the current order from the first record; the current record is kept.
    std::vector<std::string> Names()
    {
        std::vector<std::string> all;
        TBookmark here = table.GetBookmark();
        for (table.First(); !table.Eof(); table.Next())
            all.push_back(name->AsString());
        if (table.BookmarkValid(here))
            table.GotoBookmark(here);
        return all;
    }
    // The records of the current index, straight from its list.
    std::vector<std::string> IndexNames()
    {
        std::vector<std::string> all;
        const TzebIndex& index = table.CurrentIndex();
        for (int i = 0; i < index.Count(); ++i)
            all.push_back(ReadName(index.At(i)));
        return all;
    }
    std::string ReadName(const TzebRecord* record)
    {
        const std::byte* entry = table.Store().FieldPointer(record, name->FieldNo());
        return Cp1252ToUtf8(reinterpret_cast<const char*>(entry + 1));
    }

    TzebMemTable table;
    TStringField* name = nullptr;
    TStringField* land = nullptr;
    TIntegerField* einwohner = nullptr;
};

}  // namespace velmoran::testing
