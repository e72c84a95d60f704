#include <gtest/gtest.h>

#include "world/session.h"
#include "world/world.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "math/game_random.h"
#include "physics/ship.h"
#include "world/globe_mesh.h"
#include "world/level.h"
#include "world/particle.h"
#include "world/pickup.h"
#include "world/ragdoll.h"
#include "world/texture_loader.h"
#include "world/world_draw.h"

// This program only looks: nothing here may write the tables.

namespace {

// The game's progress and world in play, as the game holds them.
Session session;
World world;

std::size_t residentPages(const void* begin, std::size_t bytes)
{
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const auto start = reinterpret_cast<std::uintptr_t>(begin) & ~(page - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(begin) + bytes;
    const std::size_t pages = (end - start + page - 1) / page;
    std::vector<unsigned char> flags(pages);
    if (mincore(reinterpret_cast<void*>(start), end - start, flags.data()) != 0) {
        ADD_FAILURE() << "mincore failed";
        return pages;
    }
    std::size_t resident = 0;
    for (unsigned char f : flags) {
        resident += f & 1;
    }
    return resident;
}

long residentBytes()
{
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    long size = 0, resident = 0;
    if (f == nullptr || std::fscanf(f, "%ld %ld", &size, &resident) != 2) {
        ADD_FAILURE() << "cannot read /proc/self/statm";
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace

TEST(GlobalTables, MiniGlobeHeightMapsStayUntouchedZeroPages)
{
    static_assert(sizeof miniGlobes > 100u * 1024 * 1024);
    const std::size_t total = residentPages(miniGlobes, sizeof miniGlobes);
    // Construction writes only the few fields around each height map.
    EXPECT_LE(total, 3u * miniGlobeCount);
    EXPECT_LE(residentPages(globe.heightMap, sizeof globe.heightMap), 2u);
    EXPECT_LT(residentBytes(), 64L * 1024 * 1024);
}

TEST(GlobalTables, StartValues)
{
    for (const Pickup& p : world.pickups) {
        ASSERT_EQ(p.position.lengthSquared() + p.velocity.lengthSquared(), 0.0f);
        ASSERT_EQ(p.colour.r + p.colour.g + p.colour.b + p.colour.a, 0.0f);
    }
    for (const Particle& p : world.particles) {
        ASSERT_EQ(p.position.lengthSquared() + p.velocity.lengthSquared(), 0.0f);
        ASSERT_EQ(p.colour.r + p.colour.g + p.colour.b, 0.0f);
        ASSERT_EQ(p.size, 0.45f);
    }
    for (int k = 0; k < skySpriteCount; ++k) {
        ASSERT_EQ(skyPositions[k].lengthSquared(), 0.0f);
        ASSERT_EQ(skyColours[k].r + skyColours[k].g + skyColours[k].b, 0.0f);
    }
    for (const MiniGlobe& m : miniGlobes) {
        ASSERT_EQ(m.mesh.radius, 0.1f);
        ASSERT_NEAR(m.mesh.baseVertices[0].y, 0.1f, 1e-7f);
        ASSERT_EQ(m.mesh.faces[19][2], 6);
        ASSERT_EQ(m.displayList, 0);
    }
    EXPECT_EQ(globe.radius, 0.0f);
    EXPECT_EQ(ragdollCrowd[14999].position.lengthSquared(), 0.0f);
    EXPECT_EQ(ragdollTemplate[0].lengthSquared(), 0.0f);
    EXPECT_EQ(world.ship.body.position.y, 50.0f);

    EXPECT_EQ(session.levelNumber, 0);
    EXPECT_EQ(session.collectedCount, 2000);
    EXPECT_EQ(session.levelTime, 0.0f);
    EXPECT_EQ(gameRandom().randState, 1u);
    EXPECT_EQ(worldFirstDraw, 1);
    EXPECT_EQ(world.particleCount, 0);
    EXPECT_EQ(world.particleHead, 0);
}
