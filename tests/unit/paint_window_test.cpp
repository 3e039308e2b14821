#include <gtest/gtest.h>

#include "editor/panels/paint_layout.h"
#include "fake_platform.h"

namespace {

// The panel at (100, 40), shown, with a palette whose entry i is 0xFF000000 + i and the first frames run.
struct PanelRig : EditorRig {
    static constexpr int32_t kX = 100;
    static constexpr int32_t kY = 40;

    PanelRig() {
        editor->paintWindow.x = kX;
        editor->paintWindow.y = kY;
        for (int i = 0; i < kPaletteSize; ++i)
            editor->palette[i] = 0xFF000000u + static_cast<uint32_t>(i);
        editor->currentColour = editor->palette[0];
        RefreshCellColours(*editor);
        BuildPaletteQuads(*editor);
        BuildTextureQuads(*editor);
        Frame();
        editor->statusWindow.rect = {0, 0, 800, 600};
    }
    // A click at an offset from the panel's corner.
    void Press(int32_t dx, int32_t dy) { ClickAt(*this, kX + dx, kY + dy); }
    // Holds the left button down at an offset for the given frames of 16 ms.
    void HoldAt(int32_t dx, int32_t dy, int frames) {
        flags.cursorX = kX + dx;
        flags.cursorY = kY + dy;
        Hold(kKeyLeftButton);
        for (int i = 0; i < frames; ++i)
            Frame();
    }
};

}  // namespace

TEST(PaintWindow, CellRegionsIncludeTheirLowEdgesOnly) {
    struct Case {
        int32_t dx, dy;
        int32_t column, row;  // -1: nothing selected
        bool atlas;
    };
    const Case cases[] = {
        {25, 78, 0, 0, false},    {152, 205, 7, 7, false},  {153, 100, -1, -1, false}, {100, 206, -1, -1, false},
        {24, 100, -1, -1, false}, {41, 94, 1, 1, false},    {25, 318, 0, 0, true},     {152, 445, 7, 7, true},
        {153, 400, -1, -1, true}, {100, 446, -1, -1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        PanelRig rig;
        Editor& editor = *rig.editor;
        editor.paletteColumn = editor.paletteRow = 3;
        editor.textureColumn = editor.textureRow = 3;
        editor.textureMode = !c.atlas;
        rig.Press(c.dx, c.dy);
        const int32_t column = c.atlas ? editor.textureColumn : editor.paletteColumn;
        const int32_t row = c.atlas ? editor.textureRow : editor.paletteRow;
        EXPECT_EQ(column, c.column < 0 ? 3 : c.column);
        EXPECT_EQ(row, c.row < 0 ? 3 : c.row);
        if (c.column >= 0) {
            EXPECT_EQ(editor.textureMode, c.atlas);
            if (!c.atlas) {
                EXPECT_EQ(editor.currentColour, 0xFF000000u + static_cast<uint32_t>(c.column + 8 * c.row));
                EXPECT_EQ(editor.paintColourVertices[64 * 6].diffuse, editor.currentColour);  // the swatch
            } else {
                EXPECT_EQ(editor.paintTextureVertices[6].u, static_cast<float>(c.column) / 8);  // the preview
            }
        }
    }
}

TEST(PaintWindow, StepButtonStepsAtOnceThenTenASecondAfterAboutHalfASecond) {
    PanelRig rig;
    Editor& editor = *rig.editor;
    rig.Press(25 + 16 * 3, 78);  // entry 3: red 0
    ASSERT_EQ(editor.red, 0);
    rig.HoldAt(122, 269, 1);  // red plus
    EXPECT_EQ(editor.red, 1);
    EXPECT_EQ(editor.paintWindow.pressedButton, kButtonRedPlus);
    // 0.5 s at one unit a second before the fast rate starts, then a step every 0.1 s (four 25 ms frames).
    int frames = 0;
    while (editor.red == 1 && frames < 200) {
        rig.Frame(25);
        ++frames;
    }
    EXPECT_NEAR(frames * 0.025, 0.55, 0.03);
    const int32_t before = editor.red;
    for (int i = 0; i < 5000; ++i)  // five seconds, to the millisecond
        rig.Frame(1);
    EXPECT_NEAR(editor.red - before, 50, 1);
    // The step rebuilt the current colour into the selected entry, its cell and the swatch.
    const uint32_t colour = 0xFF000000u | static_cast<uint32_t>(editor.red) << 16 | 3u;
    EXPECT_EQ(editor.currentColour, colour);
    EXPECT_EQ(editor.palette[3], colour);
    EXPECT_EQ(editor.paintColourVertices[3 * 6].diffuse, colour);
    EXPECT_EQ(editor.paintColourVertices[67 * 6 + 1].x, static_cast<float>(PanelRig::kX + 52));  // blue 3: bar empty
    for (int i = 0; i < 3000; ++i)
        rig.Frame(16);
    EXPECT_EQ(editor.red, 255);
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(editor.paintWindow.repeatRate, 1);
}

// Each of the six step buttons moves its own component by one, in its own direction, and no other.
TEST(PaintWindow, EveryStepButtonStepsItsComponentOnly) {
    for (int button = 0; button < 6; ++button) {
        SCOPED_TRACE(button);
        PanelRig rig;
        Editor& editor = *rig.editor;
        editor.palette[9] = 0xFF645A50;  // 100, 90, 80
        rig.Press(25 + 16, 78 + 16);
        ASSERT_EQ(editor.red, 100);
        const PanelRect& hit = paint_layout::kButtons[button].hit;
        rig.HoldAt((hit.left + hit.right) / 2, (hit.top + hit.bottom) / 2, 1);
        const int step = button < 3 ? -1 : 1;
        const int component = button % 3;
        EXPECT_EQ(editor.red, 100 + (component == 0 ? step : 0));
        EXPECT_EQ(editor.green, 90 + (component == 1 ? step : 0));
        EXPECT_EQ(editor.blue, 80 + (component == 2 ? step : 0));
        EXPECT_EQ(editor.palette[9], 0xFF000000u | static_cast<uint32_t>(editor.red) << 16 |
                                         static_cast<uint32_t>(editor.green) << 8 | static_cast<uint32_t>(editor.blue));
    }
}

TEST(PaintWindow, BarsFollowTheCursorInStepsOfFourUpTo255) {
    PanelRig rig;
    Editor& editor = *rig.editor;
    rig.HoldAt(60, 270, 1);  // grab the red bar
    ASSERT_EQ(editor.paintWindow.sliderGrab, 1);
    const struct {
        int32_t dx;
        int32_t red;
        float end;
    } moves[] = {{116, 255, 116}, {115, 252, 115}, {300, 255, 116}, {52, 0, 52}, {-40, 0, 52}, {60, 32, 60}};
    for (const auto& m : moves) {
        SCOPED_TRACE(m.dx);
        rig.flags.cursorX = PanelRig::kX + m.dx;
        rig.flags.cursorY = 500;  // the grab lasts wherever the cursor goes
        rig.Frame();
        EXPECT_EQ(editor.red, m.red);
        EXPECT_EQ(editor.paintColourVertices[65 * 6 + 5].x, PanelRig::kX + m.end);
        EXPECT_EQ(editor.currentColour >> 16 & 0xFF, static_cast<uint32_t>(m.red));
    }
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(editor.paintWindow.sliderGrab, 0);
}

TEST(PaintWindow, FileButtonsActWhenReleasedOverAnyButtonAndNotAfterLeavingThem) {
    PanelRig rig;
    Editor& editor = *rig.editor;
    rig.HoldAt(130, 215, 3);                // load palette
    rig.flags.cursorX = PanelRig::kX + 85;  // over another button: the press goes on
    rig.Frame();
    EXPECT_TRUE(rig.platform.sentMessages.empty());
    rig.Release(kKeyLeftButton);
    rig.Frame();
    ASSERT_EQ(rig.platform.sentMessages.size(), 1u);
    EXPECT_EQ(rig.platform.sentMessages[0], kPaletteLoadMessage);
    rig.Frame();
    EXPECT_EQ(rig.platform.sentMessages.size(), 1u);

    rig.HoldAt(95, 455, 2);  // load texture, then off every button and back
    rig.flags.cursorX = PanelRig::kX + 10;
    rig.Frame();
    rig.flags.cursorX = PanelRig::kX + 95;
    rig.Frame();
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_EQ(rig.platform.sentMessages.size(), 1u);

    rig.Press(95, 235);  // save palette
    rig.Frame();
    EXPECT_EQ(rig.platform.sentMessages.back(), kPaletteSaveMessage);

    // Reset to white asks first.
    rig.platform.answerYes = false;
    rig.Press(95, 215);
    rig.Frame();
    EXPECT_EQ(editor.palette[5], 0xFF000005u);
    rig.platform.answerYes = true;
    rig.Press(95, 215);
    rig.Frame();
    EXPECT_EQ(editor.palette[5], kWhite);
    EXPECT_EQ(editor.currentColour, kWhite);
    EXPECT_EQ(editor.paintColourVertices[5 * 6].diffuse, kWhite);
}

TEST(PaintWindow, ToolsSwitchesAndUndoButtonsOnlyWhileShown) {
    for (bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        PanelRig rig;
        Editor& editor = *rig.editor;
        editor.paintWindow.shown = shown;
        rig.Press(100, 30);  // the PickColour tool
        rig.Press(30, 50);   // the lighting switch
        rig.Press(80, 60);   // the wireframe switch
        EXPECT_EQ(editor.tool, shown ? EditTool::PickColour : EditTool::Add);
        EXPECT_EQ(editor.lightingSwitch, !shown);
        EXPECT_EQ(editor.wireframeSwitch, !shown);
        EXPECT_TRUE(editor.facesSwitch);
        // Hidden or not, and available or not, the view never gets these presses.
        rig.Press(100, 50);
        EXPECT_EQ(editor.scene.liveCubeCount, 1);
        EXPECT_FALSE(editor.undo.undoLatch);
    }
}

TEST(PaintWindow, TitleStripDragStopsAtTheClientEdges) {
    PanelRig rig;
    Editor& editor = *rig.editor;
    rig.HoldAt(50, 5, 1);
    ASSERT_TRUE(editor.paintWindow.dragging);
    const struct {
        int32_t x, y;
        float panelX, panelY;
    } moves[] = {{160, 55, 110, 50}, {10, 0, 0, 0}, {900, 700, 800 - 158, 600 - 519}};
    for (const auto& m : moves) {
        rig.flags.cursorX = m.x;
        rig.flags.cursorY = m.y;
        rig.Frame();
        EXPECT_EQ(editor.paintWindow.x, m.panelX);
        EXPECT_EQ(editor.paintWindow.y, m.panelY);
    }
    EXPECT_EQ(editor.paintColourVertices[0].x, 800 - 158 + 25.0f);  // the geometry moved along
    // Leaving the client area does not end the drag; the idle pass leaves the latch alone while dragging.
    rig.Release(kKeyLeftButton);
    rig.Frame();
    EXPECT_FALSE(editor.paintWindow.dragging);
}
