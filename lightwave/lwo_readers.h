#pragma once
// The two form readers of LWObject::Load and the steps they share. Internal to lightwave/.
#include <cstdint>
#include <vector>

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
// at the positions read.
void readPoints(ChunkReader& in, std::size_t count, LWObject& object);

// Cuts a polygon (point indices already checked) into the fan (p0, pk, pk+1) with the
// polygon's normal (P1 - P0) x (Pn-1 - P0), normalised, and adds that normal to each of
// its points. Polygons of fewer than three points make nothing. Returns the number of
// triangles made.
int addPolygon(LWObject& object, const std::vector<std::uint32_t>& points, std::int32_t surface);

// Surface colour of a COLR sub-chunk: each float component times 255, rounded, limited
// to 0..255; alpha 255.
std::uint32_t colourFromFloats(const Vector3& rgb);

}  // namespace mirva
