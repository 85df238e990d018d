#pragma once

// The messages a second start sends to the running player over the instance socket, one
// message per connection, the sender closing its side when done. Integers are 32-bit
// little-endian.
//
//   copy-data:       kind 1, tag, byte count n, then n bytes: every argument followed by one
//                    NUL, and one more NUL at the end
//   ensure-restore:  kind 2 (bring the window to the front)
//
// The player answers every message with one integer: 1 when it handled it, else 0.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

enum class THandOverKind : uint32_t {
    CopyData = 1,
    EnsureRestore = 2,
};

struct THandOverMessage {
    THandOverKind Kind = THandOverKind::CopyData;
    uint32_t Tag = 0;
    std::vector<std::string> Params;
};

// The tag of a hand-over; a record with another tag is refused.
inline constexpr uint32_t kHandOverTag = 0;
// The longest message the player reads; a longer one is refused.
inline constexpr size_t kMaxHandOverSize = 4u << 20;

// Empty arguments are left out: they name no file and would end the list early.
std::string EncodeCopyData(std::vector<std::string> const& params, uint32_t tag = kHandOverTag);
std::string EncodeEnsureRestore();
std::string EncodeAnswer(uint32_t answer);

// A whole message as received. None when the kind is unknown, the header is short or the byte
// count differs from the data that follows. The arguments are the NUL-terminated texts up to
// the first empty one; text after the last NUL is not an argument.
std::optional<THandOverMessage> ParseHandOverMessage(std::string_view bytes);

}
