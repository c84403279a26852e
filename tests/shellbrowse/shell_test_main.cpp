// COM for every test of the shell toolbox, as the setup has it from start-up.
#include <gtest/gtest.h>

#include "tests/shellbrowse/shell_test_support.h"

namespace {
const ::testing::Environment* const com_environment =
    ::testing::AddGlobalTestEnvironment(new stampwell::testing::ComEnvironment);
}  // namespace
