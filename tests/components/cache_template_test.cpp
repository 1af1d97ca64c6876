// The resource cache: one build per key, reference counts, destruction at the last remove.
#include <memory>

#include <gtest/gtest.h>

#include "components/cache_template.h"
#include "tests/support/fatal.h"

namespace mirva {
namespace {

// Resources that record their own destruction.
struct Meshes {
    std::string file;
    std::shared_ptr<int> alive;
};

class CacheTemplateTest : public testing::Test {
protected:
    int builds = 0;
    std::weak_ptr<int> lastBuilt;
    CacheTemplate<Meshes> cache{[this](const std::string& file) {
        ++builds;
        Meshes meshes{file, std::make_shared<int>(builds)};
        lastBuilt = meshes.alive;
        return meshes;
    }};
};

TEST_F(CacheTemplateTest, OneBuildPerKeyLivesUntilItsLastRemoveAndAHoldGivesBackWhatItGot)
{
    EXPECT_FATAL(cache.remove("ship.lwo"), "CacheTemplate::remove - CacheTemplateEntry 'ship.lwo' not found");
    Meshes& first = cache.get("ship.lwo");
    EXPECT_EQ(&cache.get("ship.lwo"), &first);
    EXPECT_EQ(first.file, "ship.lwo");
    const std::weak_ptr<int> resources = lastBuilt;
    cache.get("boat.lwo");  // a separate entry
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(cache.count("ship.lwo"), 2);
    cache.remove("ship.lwo");
    EXPECT_FALSE(resources.expired());
    EXPECT_EQ(cache.count("ship.lwo"), 1);
    cache.remove("ship.lwo");
    EXPECT_TRUE(resources.expired());
    EXPECT_EQ(cache.count("ship.lwo"), 0);
    EXPECT_EQ(cache.count("boat.lwo"), 1);
    EXPECT_FATAL(cache.remove("ship.lwo"), "CacheTemplate::remove - CacheTemplateEntry 'ship.lwo' not found");
    cache.get("ship.lwo");  // built again
    EXPECT_EQ(builds, 3);
    // A hold gives back what it got once and only that.
    {
        CacheHold<Meshes> hold(cache);
        hold.release();  // holds nothing yet: nothing to give back
        EXPECT_EQ(hold.acquire("ship.lwo").file, "ship.lwo");
        EXPECT_EQ(cache.count("ship.lwo"), 2);
        hold.acquire("boat.lwo");  // gives the ship back first
        EXPECT_EQ(cache.count("ship.lwo"), 1);
        hold.release();
        hold.release();
        EXPECT_EQ(cache.count("boat.lwo"), 1);
        hold.acquire("boat.lwo");
    }
    EXPECT_EQ(cache.count("boat.lwo"), 1);  // the hold's end gives it back
    EXPECT_EQ(cache.count("ship.lwo"), 1);
}

}  // namespace
}  // namespace mirva
