#pragma once
// The vantor-tags command: argument parsing and the three modes (show, JSON,
// edit), writing to the given streams so tests can run it in-process.

#include <iosfwd>
#include <string>
#include <vector>

namespace vantor {

// Exit codes.
enum : int { tagsExitSuccess = 0, tagsExitFailure = 1, tagsExitUsage = 2 };

int RunTagsCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

} // namespace vantor
