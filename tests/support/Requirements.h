#pragma once

// Tests that need something of the machine (a display, an outside tool, a way to make a
// write fail) skip without it. CI provides all of these, so there such a skip means the
// test did not run where it must: it fails instead (CI=true, as CI services set it).

#include <cstdlib>
#include <string_view>

#include <gtest/gtest.h>

namespace vantor::testing {

inline bool RunningOnCi()
{
    char const* ci = std::getenv("CI");
    return ci && std::string_view(ci) == "true";
}

}

// Skips the test, or fails it on CI; use in place of GTEST_SKIP() (it returns too). One
// statement, as GTEST_SKIP() expands to, so it needs no braces around it.
#define VANTOR_SKIP_UNLESS_CI(why)                                                                                     \
    return ::testing::internal::AssertHelper(::vantor::testing::RunningOnCi()                                          \
                   ? ::testing::TestPartResult::kFatalFailure                                                          \
                   : ::testing::TestPartResult::kSkip,                                                                 \
               __FILE__, __LINE__,                                                                                     \
               ::vantor::testing::RunningOnCi() ? "Missing although CI provides it:" : "Skipped") =                    \
               ::testing::Message() << (why)
