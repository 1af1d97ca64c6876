#pragma once
// The two form readers of LWObject::Load and the steps they share. Internal to lightwave/.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "io/memory_pages.h"
#include "lightwave/chunk_reader.h"
#include "lightwave/lw_object.h"

namespace mirva {

// Polygons of more points than this are refused (LWO2 cannot write more; LWOB could).
constexpr int kMaxPolygonPoints = 1023;

// Reads the chunks of an "LWO2" form from the cursor up to `formEnd`.
void readLwo2(ChunkReader& in, std::size_t formEnd, LWObject& object);
// Reads the chunks of an older "LWOB" form.
void readLwob(ChunkReader& in, std::size_t formEnd, LWObject& object);

// Point reading shared by both forms: the vertex array becomes `count` default vertices
// at the positions read, in one pass that also takes the bounding box and keeps the
// largest squared distance from the origin in `radius` (`finish` takes its root).
void readPoints(ChunkReader& in, std::size_t count, LWObject& object);

// Cuts a polygon (point indices already checked) into the fan (p0, pk, pk+1) with the
// polygon's normal (P1 - P0) x (Pn-1 - P0), normalised, and adds that normal to each of
// its points. Polygons of fewer than three points make nothing. Returns the number of
// triangles made. The LWO2 reader makes room for a whole chunk's triangles first.
int addPolygon(LWObject& object, std::span<const std::uint32_t> points, std::int32_t surface);

// Capacity for `extra` more elements. Room is made for a whole chunk at once, so a big
// array is allocated once at its final size instead of growing step by step; growth
// beyond that is by half the capacity at least, so many small chunks stay linear.
template <typename T>
void reserveMore(std::vector<T>& array, std::size_t extra)
{
    const std::size_t needed = array.size() + extra;
    if (needed > array.capacity())
        array.reserve(std::max(needed, array.capacity() + array.capacity() / 2));
}

// The same for `extra` elements that will all be written, with their memory pages mapped
// at once. (For a mere upper bound `reserveMore` alone: pages mapped stay in memory.)
template <typename T>
void makeRoom(std::vector<T>& array, std::size_t extra)
{
    reserveMore(array, extra);
    prefaultPages(array.data() + array.size(), extra * sizeof(T));
}

// Surface colour of a COLR sub-chunk: each float component times 255, rounded, limited
// to 0..255; alpha 255.
std::uint32_t colourFromFloats(const Vector3& rgb);

}  // namespace mirva
