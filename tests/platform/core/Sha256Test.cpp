// SHA-256 against the digests the standard gives for its examples, and across the lengths at which
// the padding takes a second block.
#include "platform/core/FileCalls.h"
#include "platform/core/Sha256.h"

#include <gtest/gtest.h>

#include <string>

using namespace velmoran;

namespace {

std::string HexSha256(std::string_view bytes)
{
    return filecalls::HexText(Sha256(bytes));
}

}  // namespace

// The side names of long file names rest on it: a wrong round or padding would still give names,
// only ones that another name can share.
TEST(Sha256, GivesTheDigestsOfTheStandardsExamples)
{
    EXPECT_EQ(HexSha256(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexSha256("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HexSha256("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HexSha256(std::string(1'000'000, 'a')),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}
