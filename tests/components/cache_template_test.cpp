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

TEST_F(CacheTemplateTest, TwoGetsOfOneKeyBuildOnceAndCountTwo)
{
    Meshes& first = cache.get("ship.lwo");
    Meshes& second = cache.get("ship.lwo");
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(first.file, "ship.lwo");
    EXPECT_EQ(cache.count("ship.lwo"), 2);
}

TEST_F(CacheTemplateTest, TheLastRemoveDestroysTheResources)
{
    cache.get("ship.lwo");
    cache.get("ship.lwo");
    const std::weak_ptr<int> resources = lastBuilt;
    cache.remove("ship.lwo");
    EXPECT_FALSE(resources.expired());
    EXPECT_EQ(cache.count("ship.lwo"), 1);
    cache.remove("ship.lwo");
    EXPECT_TRUE(resources.expired());
    EXPECT_EQ(cache.count("ship.lwo"), 0);
    // A later get builds again.
    cache.get("ship.lwo");
    EXPECT_EQ(builds, 2);
}

TEST_F(CacheTemplateTest, KeysAreSeparateEntries)
{
    cache.get("a.lwo");
    cache.get("b.lwo");
    EXPECT_EQ(builds, 2);
    cache.remove("a.lwo");
    EXPECT_EQ(cache.count("b.lwo"), 1);
}

TEST_F(CacheTemplateTest, RemovingAKeyThatWasNeverGotIsFatal)
{
    EXPECT_FATAL(cache.remove("ghost.lwo"), "CacheTemplate::remove - CacheTemplateEntry 'ghost.lwo' not found");
    cache.get("ship.lwo");
    cache.remove("ship.lwo");
    EXPECT_FATAL(cache.remove("ship.lwo"), "CacheTemplate::remove - CacheTemplateEntry 'ship.lwo' not found");
}

TEST_F(CacheTemplateTest, AHoldGivesBackWhatItGotOnceAndOnlyThat)
{
    cache.get("ship.lwo");
    {
        CacheHold<Meshes> hold(cache);
        hold.release();  // holds nothing yet: nothing to give back
        EXPECT_EQ(hold.acquire("ship.lwo").file, "ship.lwo");
        EXPECT_EQ(cache.count("ship.lwo"), 2);
        hold.acquire("boat.lwo");  // gives the ship back first
        EXPECT_EQ(cache.count("ship.lwo"), 1);
        hold.release();
        hold.release();
        EXPECT_EQ(cache.count("boat.lwo"), 0);
        hold.acquire("boat.lwo");
    }
    EXPECT_EQ(cache.count("boat.lwo"), 0);  // the hold's end gives it back
    EXPECT_EQ(cache.count("ship.lwo"), 1);
}

}  // namespace
}  // namespace mirva
