// Master/detail links: which records a detail shows as its master moves, a new detail record's
// master value, the link through the index fields, switching the source off and on, the master
// closing or going away, a master's bulk update, and refusing circles of masters of any length.
#include "PlacesTable.h"

#include <memory>

namespace velmoran {
namespace {

using testing::MessageOf;

// States (Kuerzel, Name) as the master, places (Name, Land) as the detail.
class MasterDetail : public ::testing::Test {
protected:
    void SetUp() override
    {
        kuerzel = &states.AddField<TStringField>("Kuerzel", 2);
        states.AddField<TStringField>("Name", 30);
        states.Open();
        for (const char* state : {"BW", "BY", "HE"}) {
            states.Append();
            kuerzel->SetAsString(state);
            states.Post();
        }
        name = &places.AddField<TStringField>("Name", 30);
        land = &places.AddField<TStringField>("Land", 2);
        places.Open();
        for (auto [place, state] : {std::pair{"Ulm", "BW"}, {"Passau", "BY"}, {"Aalen", "BW"}, {"Hof", "BY"}}) {
            places.Append();
            name->SetAsString(place);
            land->SetAsString(state);
            places.Post();
        }
        states.First();
    }
    void Link()
    {
        places.SetMasterSource(&source);
        places.SetMasterFields("Kuerzel");
        places.SetDetailFields("Land");
    }
    std::vector<std::string> Places()
    {
        std::vector<std::string> all;
        for (places.First(); !places.Eof(); places.Next())
            all.push_back(name->AsString());
        return all;
    }

    TzebMemTable states;
    TzebMemTable places;
    TDataSource source{&states};
    TStringField* kuerzel = nullptr;
    TStringField* name = nullptr;
    TStringField* land = nullptr;
};

TEST_F(MasterDetail, DetailFollowsTheMastersCurrentRecord)
{
    Link();
    EXPECT_EQ(places.GetDataSource(), &source);
    EXPECT_TRUE(places.IsFiltered());
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
    EXPECT_EQ(places.RecordCount(), 2);
    states.Next();
    EXPECT_EQ(name->AsString(), "Passau");
    EXPECT_EQ(Places(), (std::vector<std::string>{"Passau", "Hof"}));
    states.Next();
    EXPECT_TRUE(places.IsEmpty());

    // An edit of the master's key is followed once it is posted.
    states.First();
    states.Edit();
    kuerzel->SetAsString("BY");
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
    states.Post();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Passau", "Hof"}));
}

TEST_F(MasterDetail, NewDetailRecordStartsWithTheMastersValue)
{
    Link();
    states.Next();
    std::string seenByHandler;
    places.OnNewRecord = [&](TDataSet&) { seenByHandler = land->AsString(); };
    places.Append();
    EXPECT_EQ(seenByHandler, "BY");
    name->SetAsString("Landshut");
    places.Post();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Passau", "Hof", "Landshut"}));
}

// The master's and the detail's field lists need not be equally long: a new detail record takes
// the values of the fields both lists name and leaves the rest to the user.
TEST_F(MasterDetail, NewDetailRecordWithFieldListsOfDifferentLengths)
{
    places.SetMasterSource(&source);
    places.SetMasterFields("Kuerzel");
    places.SetDetailFields("Land;Name");
    states.Next();
    places.Append();
    EXPECT_EQ(land->AsString(), "BY");
    EXPECT_TRUE(name->IsNull());
    name->SetAsString("Landshut");
    places.Post();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Passau", "Hof", "Landshut"}));

    // The other way round: the master names one field more than the detail.
    places.SetDetailFields("Land");
    places.SetMasterFields("Kuerzel;Name");
    states.First();
    places.Append();
    EXPECT_EQ(land->AsString(), "BW");
    EXPECT_TRUE(name->IsNull());
    places.Cancel();
}

// A bulk update on the master holds its data events back, so the detail stays where it was; once
// the update ends the detail follows the master's moves again.
TEST_F(MasterDetail, DetailFollowsAgainAfterTheMastersBulkUpdate)
{
    Link();
    states.BeginBulkUpdate();
    states.Next();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
    states.EndBulkUpdate();
    states.First();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
    states.Next();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Passau", "Hof"}));
}

TEST_F(MasterDetail, WithoutDetailFieldsTheIndexFieldsLink)
{
    places.SetIndexFieldNames("Land;Name");
    places.SetMasterSource(&source);
    places.SetMasterFields("Kuerzel");
    EXPECT_EQ(Places(), (std::vector<std::string>{"Aalen", "Ulm"}));
    states.Next();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Hof", "Passau"}));
    // Back to the row order, which has no fields: the link no longer applies.
    places.SetIndexFieldNames("");
    EXPECT_FALSE(places.IsFiltered());
}

TEST_F(MasterDetail, SwitchedOffClosedOrGoneMastersShowEveryRecord)
{
    Link();
    const std::vector<std::string> all{"Ulm", "Passau", "Aalen", "Hof"};
    source.SetEnabled(false);
    EXPECT_EQ(Places(), all);
    source.SetEnabled(true);
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));

    // While the master's controls are off the detail stays; enabling them catches up.
    places.First();
    states.DisableControls();
    states.Next();
    EXPECT_EQ(name->AsString(), "Ulm");
    states.EnableControls();
    EXPECT_EQ(name->AsString(), "Passau");

    // Closed, the master chooses nothing; open again (and empty), it has no key to match.
    states.Close();
    EXPECT_EQ(Places(), all);
    states.Open();
    EXPECT_TRUE(places.IsEmpty());
    states.Append();
    kuerzel->SetAsString("BW");
    states.Post();
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));

    auto other = std::make_unique<TzebMemTable>();
    other->AddField<TStringField>("Kuerzel", 2);
    other->Open();
    source.SetDataSet(other.get());
    EXPECT_TRUE(places.IsEmpty());
    other.reset();
    EXPECT_EQ(source.DataSet(), nullptr);
    EXPECT_EQ(Places(), all);

    auto gone = std::make_unique<TDataSource>(&states);
    places.SetMasterSource(gone.get());
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
    gone.reset();
    EXPECT_EQ(places.MasterSource(), nullptr);
    EXPECT_EQ(Places(), all);
}

TEST_F(MasterDetail, UnknownMasterFieldKeepsThePreviousLink)
{
    Link();
    EXPECT_EQ(MessageOf([&] { places.SetMasterFields("Bundesland"); }), "Feld 'Bundesland' nicht gefunden");
    EXPECT_EQ(places.MasterFields(), "Kuerzel");
    EXPECT_EQ(Places(), (std::vector<std::string>{"Ulm", "Aalen"}));
}

// Each table follows the next; the last would follow the first.
// A master whose fields come from its definitions makes new field objects each time it opens;
// the detail links to the new ones.
TEST(MasterDetailReopened, TheLinkFollowsTheMastersNewFields)
{
    TzebMemTable states;
    states.FieldDefs().Add("Kuerzel", ftString, 2);
    TzebMemTable places;
    auto& name = places.AddField<TStringField>("Name", 30);
    auto& land = places.AddField<TStringField>("Land", 2);
    places.Open();
    for (auto [place, state] : {std::pair{"Ulm", "BW"}, {"Passau", "BY"}, {"Hof", "BY"}}) {
        places.Append();
        name.SetAsString(place);
        land.SetAsString(state);
        places.Post();
    }
    TDataSource source{&states};
    places.SetMasterSource(&source);
    places.SetMasterFields("Kuerzel");
    places.SetDetailFields("Land");
    for (const char* state : {"BW", "BY"}) {
        states.Open();
        states.Append();
        states.FieldByName("Kuerzel").SetAsString(state);
        states.Post();
        places.First();
        EXPECT_EQ(name.AsString(), state == std::string("BW") ? "Ulm" : "Passau") << state;
        EXPECT_EQ(places.RecordCount(), state == std::string("BW") ? 1 : 2) << state;
        states.Close();
    }
}

TEST(MasterDetailCircles, AreRefusedWhateverTheirLength)
{
    TzebMemTable a, b, c;
    for (TzebMemTable* table : {&a, &b, &c}) {
        table->AddField<TIntegerField>("N");
        table->Open();
        table->Append();
        table->FieldByName("N").SetAsInteger(1);
        table->Post();
    }
    TDataSource sourceA(&a), sourceB(&b), sourceC(&c), unbound;
    const std::string refused = "Eine Master/Detail-Beziehung einer Datenmenge auf sich selbst ist nicht zulässig";
    EXPECT_EQ(MessageOf([&] { a.SetMasterSource(&sourceA); }), refused);
    b.SetMasterSource(&sourceA);
    b.SetMasterFields("N");
    b.SetDetailFields("N");
    EXPECT_EQ(MessageOf([&] { a.SetMasterSource(&sourceB); }), refused);
    c.SetMasterSource(&sourceB);
    c.SetMasterFields("N");
    c.SetDetailFields("N");
    EXPECT_EQ(MessageOf([&] { a.SetMasterSource(&sourceC); }), refused);
    // Closing the circle from the source's side is refused as well.
    a.SetMasterSource(&unbound);
    EXPECT_EQ(MessageOf([&] { unbound.SetDataSet(&c); }), refused);
    EXPECT_EQ(unbound.DataSet(), nullptr);
    EXPECT_EQ(a.MasterSource(), &unbound);

    // The chain still moves from its head without end-less recursion.
    a.First();
    EXPECT_EQ(c.RecordCount(), 1);
    EXPECT_FALSE(LeadsTo(&a, &c));
    EXPECT_TRUE(LeadsTo(&c, &a));
}

}  // namespace
}  // namespace velmoran
