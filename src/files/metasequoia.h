// The Metasequoia export (.mqo): the visible hull of the cubes as one object, corners shared between
// touching cubes, one material per colour and one for the texture atlas.
#pragma once

#include <string>

#include "scene/scene.h"

// The document for the in-use cubes of slots 0 to the highest used slot, using their face-exposed flags as
// they stand. Lines end in '\n'; the text ends with "Eof" and no line end. Working memory grows with the
// number of exposed faces, not with the grid.
std::string MetasequoiaText(const Scene& scene, const char* textureName);
