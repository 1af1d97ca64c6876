#pragma once
// `mirva inspect` for LightWave objects and scenes.
#include <string>

namespace mirva {

// Points, triangles, bounds, surfaces (names, colours, triangle counts) and vertex maps.
void inspectObject(const std::string& fileName);
// Scene settings and every item: kind, identifier, name, parent and world matrix at
// `seconds`.
void inspectScene(const std::string& fileName, float seconds);

}  // namespace mirva
