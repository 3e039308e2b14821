// The exports to other programs' formats: glTF, binary (.glb) or text (.gltf), Wavefront OBJ with its material
// library, and MagicaVoxel (.vox). Each takes the scene with its face-exposed flags as they stand and the atlas pixels
// (null when no atlas is loaded: textured cubes then count as white, as they are drawn), and gives bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/bitmap.h"
#include "files/png_encoder.h"
#include "scene/scene.h"

// The visible hull as a glTF 2.0 binary: one mesh of flat-shaded quads, centred, one cube one metre, y up, in
// glTF's right-handed frame (the grid's z turned around, so the model is not mirrored). Coloured faces carry
// vertex colours under one material; textured faces sample the atlas, embedded as a PNG, with nearest
// filtering. False only when the atlas is needed and cannot be encoded.
bool GltfBinary(const Scene& scene, const Image* atlas, PngEncoder& png, std::vector<uint8_t>& out);
// The same document as glTF 2.0's text form (.gltf): the JSON alone, its buffer embedded as a base64 data: URI, so
// that it is one file too. False only when the atlas is needed and cannot be encoded.
bool GltfText(const Scene& scene, const Image* atlas, PngEncoder& png, std::string& out);

// The three files of an OBJ export. The material library and the atlas are named after the .obj file.
struct ObjFiles {
    std::string obj;             // lines end in '\n'
    std::string mtl;             // lines end in '\n'
    std::vector<uint8_t> atlas;  // the atlas as a PNG; empty when no face shows it
};

// The visible hull with shared corners in the same frame as the glTF export, one material per colour as the
// Metasequoia export groups them and one for the atlas; baseName (a file name without extension) names the
// library and the atlas picture. False only when the atlas is needed and cannot be encoded.
bool ObjExport(const Scene& scene, const Image* atlas, PngEncoder& png, const std::string& baseName, ObjFiles& out);
