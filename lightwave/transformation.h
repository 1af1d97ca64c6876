#pragma once
// The rotation-and-scale part of a Transformation (io/transformation.h), built from
// heading, pitch, bank and three scales. Motions (envelope channels), scene items and
// the script's Transformation values all use it.
#include "io/transformation.h"
#include "lightwave/vector3.h"

namespace mirva {

// Rows 0-2 := Rb·Rp·Rh with each row r then scaled by the r-th scale: the bank rotation
// about Z, rows (cos b, sin b, 0), (-sin b, cos b, 0), (0, 0, 1); the pitch rotation about
// X, rows (1, 0, 0), (0, cos p, sin p), (0, -sin p, cos p); the heading rotation about Y,
// rows (cos h, 0, -sin h), (0, 1, 0), (sin h, 0, cos h). Angles in radians. A scale that
// is not at least 0.0001 (negative, smaller, not a number) becomes 0.0001, so the matrix
// never degenerates. Row 3 is left as it is.
void setRotationAndScale(Transformation& M, float heading, float pitch, float bank, float sx, float sy, float sz);

// The product a·b: the 3x3 parts multiplied, and the translation of a transformed by
// the 3x3 part of b plus the translation of b. A point goes through a, then through b,
// so a child's world matrix is multiply(child local, parent world).
Transformation multiply(const Transformation& a, const Transformation& b);

// The inverse of a transformation with any rotation, scale or shear: what takes a point of
// world space back into the space the transformation places. A singular 3x3 part (a scale
// of 0) has no inverse; it gives the rigid inverse instead, so callers never see NaNs.
Transformation inverse(const Transformation& M);

// p * R + t: a point through the whole transformation.
Vector3 transformPoint(const Transformation& M, const Vector3& p);
// p * R: a direction through the 3x3 part only.
Vector3 transformDirection(const Transformation& M, const Vector3& d);

}  // namespace mirva
