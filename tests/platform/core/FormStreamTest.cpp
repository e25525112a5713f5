// The form-value stream: integer sizes at their limits, values read back as written, property
// lists handed to a handler with unknown ones skipped, and damaged streams that must fail with the
// read error rather than loop or allocate.
#include "platform/core/FormStream.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Stream.h"

#include <gtest/gtest.h>

#include <limits>
#include <map>

using namespace velmoran;

namespace {

std::string Written(const std::function<void(TFormWriter&)>& write)
{
    TMemoryStream stream;
    TFormWriter writer(stream);
    write(writer);
    return stream.ToString();
}

}  // namespace

TEST(FormStreamIntegers, TakeTheSmallestSizeThatHoldsThemAndReadBack)
{
    struct Case {
        std::int32_t value;
        TValueType type;
        std::size_t bytes;
    };
    const Case cases[] = {
        {0, TValueType::vaInt8, 2},          {127, TValueType::vaInt8, 2},
        {-128, TValueType::vaInt8, 2},       {128, TValueType::vaInt16, 3},
        {-129, TValueType::vaInt16, 3},      {32767, TValueType::vaInt16, 3},
        {-32768, TValueType::vaInt16, 3},    {32768, TValueType::vaInt32, 5},
        {std::numeric_limits<std::int32_t>::max(), TValueType::vaInt32, 5},
        {std::numeric_limits<std::int32_t>::min(), TValueType::vaInt32, 5},
        {0x0000FFFF, TValueType::vaInt32, 5},
    };
    for (const Case& c : cases) {
        const std::string bytes = Written([&](TFormWriter& w) { w.WriteInteger(c.value); });
        EXPECT_EQ(bytes.size(), c.bytes) << c.value;
        TMemoryStream stream(bytes);
        TFormReader reader(stream);
        EXPECT_EQ(reader.NextValue(), c.type) << c.value;
        EXPECT_EQ(reader.ReadInteger(), c.value);
    }
}

TEST(FormStreamValues, ReadBackInOrder)
{
    TMemoryStream stream;
    TFormWriter writer(stream);
    writer.WriteListBegin();
    writer.WriteString("Säurekapazität");
    writer.WriteBinary(std::string("\0\1\2", 3));
    writer.WriteBoolean(true);
    writer.WriteBoolean(false);
    writer.WriteString("");
    writer.WriteListEnd();
    stream.SetPosition(0);
    TFormReader reader(stream);
    reader.ReadListBegin();
    EXPECT_EQ(reader.ReadString(), "Säurekapazität");
    EXPECT_EQ(reader.ReadBinary(), std::string("\0\1\2", 3));
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_EQ(reader.ReadString(), "");
    EXPECT_TRUE(reader.EndOfList());
    reader.ReadListEnd();
}

TEST(FormStreamProperties, AreHandedBackByNameAndUnknownOnesSkipped)
{
    TMemoryStream stream;
    TFormWriter writer(stream);
    writer.WriteListBegin();
    writer.WritePropName("ColCount");
    writer.WriteInteger(3);
    writer.WritePropName("Unbekannt");
    writer.WriteListBegin();
    writer.WriteListBegin();
    writer.WriteString("tief");
    writer.WriteBinary("xy");
    writer.WriteListEnd();
    writer.WriteInteger(70000);
    writer.WriteListEnd();
    writer.WritePropName("Name");
    writer.WriteString("KSGrid");
    writer.WriteListEnd();
    stream.SetPosition(0);

    std::map<std::string, std::string> taken;
    TFormReader reader(stream);
    reader.ReadProperties([&](const std::string& name, TFormReader& r) {
        if (name == "ColCount")
            taken[name] = std::to_string(r.ReadInteger());
        else if (name == "Name")
            taken[name] = r.ReadString();
        else
            return false;
        return true;
    });
    EXPECT_EQ(taken, (std::map<std::string, std::string>{{"ColCount", "3"}, {"Name", "KSGrid"}}));
    EXPECT_EQ(stream.Position(), stream.Size());
}

TEST(FormStreamDamage, RaisesTheReadError)
{
    // A value read where the list ends.
    {
        TMemoryStream stream(Written([](TFormWriter& w) {
            w.WriteListBegin();
            w.WriteInteger(1);
            w.WriteListEnd();
        }));
        TFormReader reader(stream);
        reader.ReadListBegin();
        reader.ReadInteger();
        EXPECT_THROW(reader.ReadInteger(), EReadError);
    }
    // A stream cut inside a string.
    {
        std::string bytes = Written([](TFormWriter& w) { w.WriteString("pH-Wert im Belebungsbecken"); });
        bytes.resize(bytes.size() - 5);
        TMemoryStream stream(bytes);
        TFormReader reader(stream);
        EXPECT_THROW(reader.ReadString(), EReadError);
    }
    // A length that promises more than the stream holds, and an unknown type byte.
    {
        TMemoryStream stream(std::string("\x05\xff\xff\xff\x7f", 5));
        EXPECT_THROW(TFormReader(stream).ReadString(), EReadError);
        TMemoryStream unknown(std::string("\x33", 1));
        EXPECT_THROW(TFormReader(unknown).SkipValue(), EReadError);
    }
    // A property list without its end, and a list that never closes while being skipped.
    {
        std::string bytes = Written([](TFormWriter& w) {
            w.WriteListBegin();
            w.WritePropName("A");
            w.WriteInteger(1);
        });
        TMemoryStream stream(bytes);
        EXPECT_THROW(TFormReader(stream).ReadProperties([](const std::string&, TFormReader&) { return false; }),
                     EReadError);
        TMemoryStream open(std::string(1000, '\x01'));
        EXPECT_THROW(TFormReader(open).SkipValue(), EReadError);
    }
    // A type that does not match what the reader asks for.
    {
        TMemoryStream stream(Written([](TFormWriter& w) { w.WriteString("7"); }));
        EXPECT_THROW(TFormReader(stream).ReadInteger(), EReadError);
    }
}
