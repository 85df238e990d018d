#pragma once

#include <string_view>

namespace vantor {

// The version 2.3 id of a version 2.2 frame id (compared exactly), or empty when the id has
// no counterpart (the frame then keeps its 3-character id and is not written back).
std::string_view ConvertFrameId22To23(std::string_view Id22);

} // namespace vantor
