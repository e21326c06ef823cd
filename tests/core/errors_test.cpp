#include "util/errors.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <system_error>

namespace sealwise {
namespace {

// What a job's failure becomes for the window: the core's own failure unchanged, anything else
// a system error carrying its text, nothing when the work ran through.
TEST(FailureOf, KeepsSealErrorsAndWrapsOtherExceptions) {
    EXPECT_FALSE(FailureOf([] {}));

    const auto own = FailureOf([] { throw SealError(Msg::FileChanged, "/tmp/a", "detail"); });
    ASSERT_TRUE(own);
    EXPECT_EQ(own->stringId(), Msg::FileChanged);
    EXPECT_EQ(own->argument(), "/tmp/a");

    const auto system =
        FailureOf([] { throw std::system_error(std::make_error_code(std::errc::io_error), "x"); });
    ASSERT_TRUE(system);
    EXPECT_EQ(system->stringId(), Msg::SystemError);
    EXPECT_NE(system->argument().find("x"), std::string::npos);

    const auto memory = FailureOf([] { throw std::bad_alloc(); });
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->stringId(), Msg::SystemError);
    EXPECT_FALSE(memory->argument().empty());
}

}  // namespace
}  // namespace sealwise
