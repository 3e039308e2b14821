#include "files/metasequoia.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "fake_platform.h"
#include "file_fixtures.h"

namespace {

struct ExportRig {
    std::unique_ptr<Scene> scene = EmptyScene();
    CubeRecord& Add(int slot, float x, float y, float z, uint32_t colour = kWhite) {
        CubeRecord& cube = PlaceCube(*scene, slot, x, y, z);
        cube.colour = colour;
        return cube;
    }
    std::string Export() {
        UpdateFaceExposure(*scene);
        return MetasequoiaText(*scene, "tex.bmp");
    }
};

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const size_t start = text.find(from);
    return start == std::string::npos ? "" : text.substr(start, text.find(to, start) - start);
}

}  // namespace

TEST(Metasequoia, OneWhiteCubeWholeDocument) {
    ExportRig rig;
    rig.Add(0, 100, 100, 100);
    const std::string uv = " UV(0.00000 0.00000 1.00000 0.00000 1.00000 1.00000 0.00000 1.00000)\n";
    EXPECT_EQ(rig.Export(),
              "Metasequoia Document\nFormat Text Ver 1.0\n\nScene {\n\tpos 0.0000 0.0000 1500.0000\n"
              "\tlookat 0.0000 0.0000 0.0000\n\thead -0.5236\n\tpich 0.5236\n\tortho 0\n\tzoom2 4.2859\n"
              "\tamb 0.250 0.250 0.250\n}\nMaterial 1 {\n\t\"mat1\" shader(3) col(1.000 1.000 1.000 1.000) dif(0.800) "
              "amb(0.600) emi(0.000) spc(0.000) power(5.00)\n}\nObject \"obj1\" {\n\tvisible 15\n\tlocking 0\n"
              "\tshading 1\n\tfacet 59.5\n\tcolor 0.898 0.498 0.698\n\tcolor_type 0\n\tvertex 8 {\n"
              "\t\t0.0000 0.0000 0.0000\n\t\t10.0000 0.0000 0.0000\n\t\t0.0000 10.0000 0.0000\n"
              "\t\t10.0000 10.0000 0.0000\n\t\t0.0000 0.0000 10.0000\n\t\t10.0000 0.0000 10.0000\n"
              "\t\t0.0000 10.0000 10.0000\n\t\t10.0000 10.0000 10.0000\n\t}\n\tface 6 {\n"
              "\t\t4 V(2 6 4 0) M(0)" +
                  uv + "\t\t4 V(6 7 5 4) M(0)" + uv + "\t\t4 V(7 3 1 5) M(0)" + uv + "\t\t4 V(3 2 0 1) M(0)" + uv +
                  "\t\t4 V(3 7 6 2) M(0)" + uv + "\t\t4 V(0 4 5 1) M(0)" + uv + "\t}\n}\nEof");
}

TEST(Metasequoia, TouchingCubesShareCornersAndHideTheirCommonSide) {
    ExportRig rig;
    rig.Add(0, 100, 100, 100);
    rig.Add(1, 101, 100, 100);
    rig.Add(2, 0, 0, 0);  // at the grid's corner: the lattice starts at 0
    rig.Add(3, 199, 199, 199);
    rig.scene->cubes[2].inUse = 0;
    const std::string text = rig.Export();
    EXPECT_NE(text.find("\tvertex 20 {\n"), std::string::npos);
    EXPECT_NE(text.find("\tface 16 {\n"), std::string::npos);
    EXPECT_NE(text.find("\t\t1000.0000 1000.0000 1000.0000\n\t}\n"), std::string::npos);  // corner (200, 200, 200)
}

TEST(Metasequoia, MaterialsByFirstAppearanceAndTheTextureCellsUvs) {
    ExportRig rig;
    rig.Add(0, 10, 10, 10, 0xFF80FF00);
    CubeRecord& textured = rig.Add(1, 20, 20, 20);
    textured.textured = 1;
    textured.cellColumn = 2;
    textured.cellRow = 5;
    rig.Add(2, 30, 30, 30, 0x0080FF00);  // differs only in alpha: a material of its own
    rig.Add(3, 40, 40, 40, 0xFF80FF00);  // seen before
    const std::string text = rig.Export();
    EXPECT_EQ(Between(text, "Material", "Object"),
              "Material 3 {\n"
              "\t\"mat1\" shader(3) col(0.502 1.000 0.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
              "power(5.00)\n"
              "\t\"mat2\" shader(3) col(1.000 1.000 1.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
              "power(5.00) tex(\"tex.bmp\")\n"
              "\t\"mat3\" shader(3) col(0.502 1.000 0.000 1.000) dif(0.800) amb(0.600) emi(0.000) spc(0.000) "
              "power(5.00)\n}\n");
    EXPECT_EQ(Count(text, "M(0)"), 12u);
    EXPECT_EQ(Count(text, "M(1) UV(0.25000 0.62500 0.37500 0.62500 0.37500 0.75000 0.25000 0.75000)\n"), 6u);
    EXPECT_EQ(Count(text, "M(2)"), 6u);

    // Every component value prints as "%.3f" of it over 255 would.
    for (int v = 0; v < 256; ++v) {
        ExportRig one;
        one.Add(0, 5, 5, 5, 0xFF000000u | static_cast<uint32_t>(v) << 16);
        char expected[16];
        std::snprintf(expected, sizeof(expected), "col(%.3f ", v / 255.0);
        EXPECT_NE(one.Export().find(expected), std::string::npos) << v;
    }
}

TEST(Metasequoia, AnEmptySceneWritesEmptyChunks) {
    ExportRig rig;
    const std::string text = rig.Export();
    EXPECT_NE(text.find("Material 0 {\n}\n"), std::string::npos);
    EXPECT_NE(text.find("\tvertex 0 {\n\t}\n\tface 0 {\n\t}\n}\nEof"), std::string::npos);
}
