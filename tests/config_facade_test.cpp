#include <gtest/gtest.h>

#include "config/config_facade.h"

namespace {

// Every facade reaches the single instances that getInstance hands out.
TEST(ConfigFacadeTest, StoresAreSingleInstances)
{
    EXPECT_EQ(WebConfigStore::getInstance(), WebConfigStore::getInstance());
    EXPECT_EQ(PonConfigStore::getInstance(), PonConfigStore::getInstance());
    EXPECT_EQ(OnuProfileStore::getInstance(), OnuProfileStore::getInstance());
    EXPECT_EQ(OmciMibStore::getInstance(), OmciMibStore::getInstance());
    EXPECT_EQ(TpmConfigStore::getInstance(), TpmConfigStore::getInstance());
    EXPECT_EQ(EponInfoReader::getInstance(), EponInfoReader::getInstance());
}

}  // namespace
