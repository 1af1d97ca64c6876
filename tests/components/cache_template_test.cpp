// The resource cache: one build per key, reference counts, destruction at the last remove,
// and holds that give back what they got.
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

TEST(CacheTemplate, OneBuildPerKeyLivesUntilItsLastRemoveAndAHoldGivesBackWhatItGot)
{
    int builds = 0;
    CacheTemplate<Meshes> cache([&](const std::string& file) {
        ++builds;
        return Meshes{file, std::make_shared<int>()};
    });
    const std::string notFound = "CacheTemplate::remove - CacheTemplateEntry 'ship.lwo' not found";
    EXPECT_FATAL(cache.remove("ship.lwo"), notFound);
    Meshes& first = cache.get("ship.lwo");
    EXPECT_EQ(&cache.get("ship.lwo"), &first);
    const std::weak_ptr<int> resources = first.alive;
    cache.get("boat.lwo");  // a separate entry
    EXPECT_EQ(std::pair(builds, cache.count("ship.lwo")), std::pair(2, 2));
    cache.remove("ship.lwo");
    EXPECT_FALSE(resources.expired());
    cache.remove("ship.lwo");
    EXPECT_TRUE(resources.expired());
    EXPECT_EQ(std::pair(cache.count("ship.lwo"), cache.count("boat.lwo")), std::pair(0, 1));
    EXPECT_FATAL(cache.remove("ship.lwo"), notFound);
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
    // The hold's end gives the boat back.
    EXPECT_EQ(std::pair(cache.count("boat.lwo"), cache.count("ship.lwo")), std::pair(1, 1));
}

}  // namespace
}  // namespace mirva
