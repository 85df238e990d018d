#include "player/single_instance/HandOverMessage.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace std::string_literals;

TEST(HandOverMessage, CopyDataRoundTrip)
{
    std::string const bytes = EncodeCopyData({ "/music/ä.flac", "b" });
    // kind 1, tag 0, 18 bytes: "/music/ä.flac" NUL "b" NUL NUL
    EXPECT_EQ(bytes.substr(0, 12), "\1\0\0\0\0\0\0\0\22\0\0\0"s);
    auto const message = ParseHandOverMessage(bytes);
    ASSERT_TRUE(message);
    EXPECT_EQ(message->Kind, THandOverKind::CopyData);
    EXPECT_EQ(message->Tag, 0u);
    EXPECT_EQ(message->Params, (std::vector<std::string> { "/music/ä.flac", "b" }));
}

TEST(HandOverMessage, MalformedMessages)
{
    struct TCase {
        char const* Name;
        std::string Bytes;
        std::optional<std::vector<std::string>> Params; // none: refused
    };
    std::string const header = "\1\0\0\0\0\0\0\0"s;
    TCase const cases[] = {
        { "short header", "\1\0\0"s, std::nullopt },
        { "unknown kind", "\3\0\0\0"s, std::nullopt },
        { "no byte count", header, std::nullopt },
        { "count beyond the data", header + "\5\0\0\0a\0\0"s, std::nullopt },
        { "count short of the data", header + "\2\0\0\0a\0\0"s, std::nullopt },
        { "huge count", header + "\xff\xff\xff\xff"s + "a\0\0"s, std::nullopt },
        { "restore with a tail", "\2\0\0\0x"s, std::nullopt },
        { "no data", header + "\0\0\0\0"s, std::vector<std::string> {} },
        { "unterminated text", header + "\4\0\0\0a\0bc"s, std::vector<std::string> { "a" } },
        { "stops at the empty text", header + "\6\0\0\0a\0\0b\0\0"s, std::vector<std::string> { "a" } },
    };
    for (TCase const& c : cases) {
        auto const message = ParseHandOverMessage(c.Bytes);
        EXPECT_EQ(message.has_value(), c.Params.has_value()) << c.Name;
        if (message && c.Params) {
            EXPECT_EQ(message->Params, *c.Params) << c.Name;
        }
    }
}

}
}
