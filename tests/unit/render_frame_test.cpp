#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "editor/view/draw_frame.h"
#include "editor/editor.h"
#include "files/file_system.h"
#include "render/glyph_text.h"
#include "render/render_frame.h"

namespace {

// Records every call as a line of text; pieces as "piece L,T,R,B @X,Y" (translation part).
class RecordingRenderer : public Renderer {
public:
    std::vector<std::string> calls;
    ClientRect client{0, 0, 800, 600};
    Material lastMaterial{};
    Vec3 light{}, eye{}, at{};
    std::vector<Matrix> pieceTransforms;

    void Clear(uint32_t colour) override { Log("clear " + Hex(colour)); }
    void BeginScene() override { Log("begin"); }
    void SetViewLight(Vec3 d) override { light = d, Log("light"); }
    void SetView(Vec3 e, Vec3 a) override { eye = e, at = a, Log("view"); }
    void SetWorld(const Matrix&) override { Log("world"); }
    void SetLighting(bool on) override { Log(on ? "lighting on" : "lighting off"); }
    void DisableLight() override { Log("light off"); }
    void SetMaterial(const Material& m) override { lastMaterial = m, Log("material"); }
    void SetWireframeFill(bool w) override { Log(w ? "fill wire" : "fill solid"); }
    void BindAtlas(bool b) override { Log(b ? "atlas" : "no atlas"); }
    void DrawColoured(const ColouredVertex*, int32_t n) override { Log("coloured " + std::to_string(n)); }
    void DrawTextured(const TexturedVertex*, int32_t n) override { Log("textured " + std::to_string(n)); }
    void DrawPaintColour(const PaintColourVertex*, int32_t n) override { Log("paint colour " + std::to_string(n)); }
    void DrawPaintTexture(const PaintTextureVertex*, int32_t n) override { Log("paint texture " + std::to_string(n)); }
    void DrawLines(const float (*)[3], int32_t n) override { Log("lines " + std::to_string(n)); }
    void BeginSprites() override { Log("sprites"); }
    void DrawPiece(const Matrix& t, const SourceRect& s) override {
        pieceTransforms.push_back(t);
        Log("piece " + std::to_string(s.left) + "," + std::to_string(s.top) + "," + std::to_string(s.right) + "," +
            std::to_string(s.bottom) + " @" + std::to_string(static_cast<int>(t.m[3][0])) + "," +
            std::to_string(static_cast<int>(t.m[3][1])));
    }
    void EndSprites() override { Log("end sprites"); }
    ClientRect MeasureClientRect() override { return Log("measure"), client; }
    void DrawText(const char* text, int32_t x, int32_t y, float r, float, float, float) override {
        Log(std::string("text '") + text + "' @" + std::to_string(x) + "," + std::to_string(y) +
            (r == 1.0f ? " white" : " black"));
    }
    void EndSceneAndPresent() override { Log("present"); }

    bool Has(const std::string& line) const {
        for (const std::string& call : calls)
            if (call == line)
                return true;
        return false;
    }
    size_t IndexOf(const std::string& line) const {
        for (size_t i = 0; i < calls.size(); ++i)
            if (calls[i] == line)
                return i;
        return calls.size();
    }

private:
    void Log(const std::string& line) { calls.push_back(line); }
    static std::string Hex(uint32_t v) {
        char text[16];
        std::snprintf(text, sizeof(text), "%08X", v);
        return text;
    }
};

struct FrameRig {
    std::unique_ptr<Editor> editor = std::make_unique<Editor>();
    RecordingRenderer renderer;
    RgbSetting background{300, 0, 0};
    RgbSetting wireframe{255, 0, 51};

    FrameRig() {
        editor->ResetScene();
        UpdateFaceExposure(editor->scene);
        BuildCubeMesh(editor->scene, editor->mesh);
        StdFileSystem files;
        LoadStartupPalette(*editor, files, "no-such-palette.bvp");
    }
    void Render() {
        renderer.calls.clear();
        renderer.pieceTransforms.clear();
        DrawEditorFrame(*editor, background, wireframe, renderer);
    }
};

}  // namespace

TEST(RenderFrame, DrawsTheSceneInOrder) {
    FrameRig rig;
    rig.Render();
    rig.Render();  // the second frame has a measured status strip
    const std::vector<std::string> head = {"clear FF2C0000", "begin",       "light",      "view",
                                           "world",          "lighting on", "material",   "fill solid",
                                           "coloured 12",    "atlas",       "textured 0", "no atlas",
                                           "light off",      "lighting on", "material",   "fill wire",
                                           "coloured 12",    "textured 0",  "sprites",    "piece 0,0,158,503 @0,0"};
    ASSERT_GE(rig.renderer.calls.size(), head.size());
    EXPECT_EQ(std::vector<std::string>(rig.renderer.calls.begin(), rig.renderer.calls.begin() + head.size()), head);
    EXPECT_EQ(rig.renderer.calls.back(), "present");

    // The light shines from the eye towards the target.
    const Vec3 d = EyeDirection(rig.editor->camera);
    EXPECT_FLOAT_EQ(rig.renderer.light.x, -d.x);
    EXPECT_FLOAT_EQ(rig.renderer.light.y, -d.y);
    EXPECT_FLOAT_EQ(rig.renderer.at.x, 100.5f);
    EXPECT_NEAR(rig.renderer.eye.y, 100.5f + 8.0f * std::sin(0.7853981f), 1e-4);

    // The wireframe material is the wireframe colour over 255, in diffuse and ambient alike.
    EXPECT_FLOAT_EQ(rig.renderer.lastMaterial.ambient[0], 1.0f);
    EXPECT_FLOAT_EQ(rig.renderer.lastMaterial.ambient[2], 0.2f);
    EXPECT_FLOAT_EQ(rig.renderer.lastMaterial.diffuse[3], 1.0f);

    // Panel lists, the marker on palette cell 0, the strip, then the texts.
    const RecordingRenderer& r = rig.renderer;
    EXPECT_LT(r.IndexOf("paint colour 136"), r.IndexOf("paint texture 4"));
    EXPECT_TRUE(r.Has("piece 182,46,198,62 @25,78"));
    EXPECT_TRUE(r.Has("piece 158,58,160,76 @0,582"));
    EXPECT_TRUE(r.Has("piece 168,58,170,76 @798,582"));
    EXPECT_TRUE(r.Has("text '255' @131,264 white"));
    EXPECT_TRUE(r.Has("text '255' @131,296 white"));
    EXPECT_TRUE(r.Has("text 'キューブ数：1/10000' @4,584 black"));
    EXPECT_FALSE(r.Has("text 'これ以上作成できません' @200,584 black"));
    EXPECT_LT(r.IndexOf("measure"), r.IndexOf("piece 168,58,170,76 @798,582"));
}

TEST(RenderFrame, StatusStripLeftPartIsOneFrameLate) {
    FrameRig rig;
    rig.Render();
    // Before the first measure the rectangle is all zero: the left pieces sit above the client area.
    EXPECT_TRUE(rig.renderer.Has("piece 158,58,160,76 @0,-18"));
    EXPECT_TRUE(rig.renderer.Has("piece 168,58,170,76 @798,582"));
    rig.renderer.client = {0, 0, 1280, 900};
    rig.Render();
    EXPECT_TRUE(rig.renderer.Has("piece 158,58,160,76 @0,582"));
    EXPECT_TRUE(rig.renderer.Has("piece 168,58,170,76 @1278,882"));
    rig.Render();
    EXPECT_TRUE(rig.renderer.Has("piece 158,58,160,76 @0,882"));
    // The middle piece is stretched to the width between the two 2-pixel ends.
    bool stretched = false;
    for (const Matrix& m : rig.renderer.pieceTransforms)
        stretched |= m.m[0][0] == 1276.0f && m.m[3][0] == 2.0f;
    EXPECT_TRUE(stretched);
}

TEST(RenderFrame, PieceConditionsFollowTheEditorState) {
    FrameRig rig;
    Editor& editor = *rig.editor;
    editor.paintWindow.x = 100;
    editor.paintWindow.y = 40;
    editor.tool = EditTool::PickColour;
    editor.lightingSwitch = false;
    editor.undo.undoAvailable = true;
    editor.undo.redoAvailable = true;
    editor.undo.redoLatch = true;
    editor.paintWindow.pressedButton = kButtonLoadTexture;
    editor.textureMode = true;
    editor.textureColumn = 7;
    editor.textureRow = 2;
    rig.Render();
    const RecordingRenderer& r = rig.renderer;
    EXPECT_TRUE(r.Has("piece 227,0,250,23 @197,63"));
    EXPECT_FALSE(r.Has("piece 158,0,181,23 @125,63"));
    EXPECT_FALSE(r.Has("piece 158,23,181,46 @125,87"));  // lighting switch off
    EXPECT_TRUE(r.Has("piece 181,23,204,46 @149,87"));
    EXPECT_TRUE(r.Has("piece 273,23,296,46 @197,87"));   // undo enabled
    EXPECT_TRUE(r.Has("piece 250,23,273,46 @221,87"));   // redo pressed
    EXPECT_FALSE(r.Has("piece 296,23,319,46 @221,87"));  // not also enabled
    EXPECT_TRUE(r.Has("piece 233,46,268,60 @178,490"));
    EXPECT_TRUE(r.Has("piece 182,46,198,62 @237,390"));  // marker on atlas cell 7, 2
    EXPECT_TRUE(r.Has("lighting off"));
}

TEST(RenderFrame, SwitchesAndPanelsCanBeTurnedOff) {
    FrameRig rig;
    Editor& editor = *rig.editor;
    editor.facesSwitch = false;
    editor.wireframeSwitch = false;
    editor.paintWindow.shown = false;
    editor.statusWindow.shown = false;
    rig.Render();
    const std::vector<std::string> expected = {"clear FF2C0000", "begin",       "light",  "view",
                                               "world",          "lighting on", "present"};
    EXPECT_EQ(rig.renderer.calls, expected);
    EXPECT_EQ(editor.statusWindow.rect.right, 0);  // hidden: not measured
}

// Guide lines are drawn after the faces in the wireframe's look, also with the wireframe and the lighting off.
TEST(RenderFrame, GuideLinesTakeTheWireframeLookWithoutTheWireframe) {
    FrameRig rig;
    rig.editor->mirror.on[0] = true;
    MakeGuideLines(rig.editor->mirror, rig.editor->mesh.extent, nullptr, rig.editor->guides);
    rig.editor->wireframeSwitch = rig.editor->lightingSwitch = false;
    rig.Render();
    const std::vector<std::string>& calls = rig.renderer.calls;
    const size_t at = std::min(rig.renderer.IndexOf("lines 6"), calls.size() - 2);
    EXPECT_EQ(std::vector<std::string>(calls.begin() + at - 4, calls.begin() + at + 2),
              (std::vector<std::string>{"no atlas", "light off", "lighting on", "material", "lines 6", "sprites"}));
    EXPECT_FLOAT_EQ(rig.renderer.lastMaterial.ambient[2], 0.2f);  // the wireframe colour
    // Black lines on the black background would not show: they are drawn halfway to white.
    rig.background = rig.wireframe = RgbSetting{0, 0, 0};
    rig.Render();
    EXPECT_FLOAT_EQ(rig.renderer.lastMaterial.ambient[0], 127.0f / 255.0f);
}

TEST(RenderFrame, TextsUseTheCurrentColourAndTheLiveCount) {
    FrameRig rig;
    Editor& editor = *rig.editor;
    editor.currentColour = 0x00050A64;
    editor.scene.liveCubeCount = 37;
    editor.cannotCreate = true;
    rig.Render();
    rig.Render();
    EXPECT_TRUE(rig.renderer.Has("text '  5' @131,264 white"));
    EXPECT_TRUE(rig.renderer.Has("text ' 10' @131,280 white"));
    EXPECT_TRUE(rig.renderer.Has("text '100' @131,296 white"));
    EXPECT_EQ(editor.red, 5);
    EXPECT_EQ(editor.blue, 100);
    EXPECT_TRUE(rig.renderer.Has("text 'キューブ数：37/10000' @4,584 black"));
    EXPECT_TRUE(rig.renderer.Has("text 'これ以上作成できません' @200,584 black"));
}

// Every text a frame draws must be in the glyph atlas, or it would silently lose characters.
TEST(RenderFrame, GlyphAtlasCoversEveryTextDrawn) {
    FrameRig rig;
    Editor& editor = *rig.editor;
    editor.currentColour = 0xFF123456;
    editor.scene.liveCubeCount = 9876;
    editor.cannotCreate = true;
    rig.Render();
    rig.Render();
    uint32_t codes[kMaxGlyphs];
    GlyphAtlas atlas;
    atlas.glyphCount = GlyphCodePoints(codes);
    for (int32_t i = 0; i < atlas.glyphCount; ++i)
        atlas.glyphs[i] = {codes[i], 0, 0, 8, 14, i < 12 ? 7 : 14};
    int texts = 0;
    for (const std::string& call : rig.renderer.calls) {
        if (call.rfind("text '", 0) != 0)
            continue;
        ++texts;
        const std::string text = call.substr(6, call.find("' @") - 6);
        GlyphQuad quads[kMaxTextGlyphs];
        const char* cursor = text.c_str();
        int32_t characters = 0;
        while (NextCodePoint(cursor) != 0)
            ++characters;
        EXPECT_EQ(LayoutText(atlas, text.c_str(), 4, 0, quads), characters) << text;
    }
    EXPECT_EQ(texts, 5);
    // The pen moves by each glyph's advance: "1/" puts the slash one digit further on.
    GlyphQuad quads[kMaxTextGlyphs];
    ASSERT_EQ(LayoutText(atlas, "キ1/", 10, 5, quads), 3);
    EXPECT_EQ(quads[1].x, 10 + 14);
    EXPECT_EQ(quads[2].x, 10 + 14 + 7);
    EXPECT_EQ(quads[2].y, 5);
}
