// The browser build's plain C++: keys, buttons and the wheel as the page reports them, the menu bar's commands and
// states, and the edge list its renderer draws the wireframe with.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "editor/editor.h"
#include "editor/platform.h"
#include "render/webgl/line_indices.h"
#include "resource_ids.h"
#include "web/browser_input.h"
#include "web/menu_commands.h"

TEST(BrowserInput, KeysAndButtonsArePolledByTheirWindowsCodes) {
    BrowserInput input;
    // keyCode values as browsers give them: Ctrl 17, Z 90, the left arrow 37.
    EXPECT_EQ(input.Key(17, true), kKeyControl);
    input.Key(90, true);
    input.Key(37, true);
    EXPECT_TRUE(input.Down(kKeyControl));
    EXPECT_TRUE(input.Down(kKeyZ));
    EXPECT_TRUE(input.Down(kKeyLeft));
    input.Key(90, false);
    EXPECT_FALSE(input.Down(kKeyZ));
    EXPECT_TRUE(input.Down(kKeyControl));

    input.Button(kDomLeftButton, true);
    input.Button(kDomRightButton, true);
    input.Button(kDomMiddleButton, true);
    EXPECT_TRUE(input.Down(kKeyLeftButton));
    EXPECT_TRUE(input.Down(kKeyRightButton));
    EXPECT_TRUE(input.Down(kKeyMiddleButton));
    input.Button(kDomRightButton, false);
    EXPECT_FALSE(input.Down(kKeyRightButton));
    EXPECT_TRUE(input.Down(kKeyMiddleButton));

    // A key an input method is composing, and codes beyond a byte, are nothing.
    EXPECT_EQ(input.Key(229, true), 0);
    EXPECT_EQ(input.Key(0, true), 0);
    EXPECT_EQ(input.Key(300, true), 0);
    EXPECT_FALSE(input.Down(0));

    // Losing the focus loses the key-ups: nothing is held afterwards.
    input.ReleaseAll();
    EXPECT_FALSE(input.Down(kKeyControl));
    EXPECT_FALSE(input.Down(kKeyLeftButton));
    EXPECT_FALSE(input.Down(kKeyMiddleButton));
}

TEST(BrowserInput, WheelCountsNotchesAsWindowsDoes) {
    BrowserInput input;
    // Away from the user is positive, as the wheel message has it: a page delta of -100 pixels is one notch.
    EXPECT_EQ(input.Wheel(-100.0, kWheelPixels), 1);
    EXPECT_EQ(input.Wheel(100.0, kWheelPixels), -1);
    EXPECT_EQ(input.Wheel(300.0, kWheelPixels), -3);
    EXPECT_EQ(input.Wheel(-3.0, kWheelLines), 1);
    EXPECT_EQ(input.Wheel(2.0, kWheelPages), -2);
    // Short steps add up to a notch in the same direction, and start afresh when the direction turns.
    EXPECT_EQ(input.Wheel(-53.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-53.0, kWheelPixels), 1);
    EXPECT_EQ(input.Wheel(60.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-60.0, kWheelPixels), 0);
    EXPECT_EQ(input.Wheel(-40.0, kWheelPixels), 1);
    input.ReleaseAll();
    EXPECT_EQ(input.Wheel(-99.0, kWheelPixels), 0);
    // A flood of travel is held at the wheel message's 16 bits.
    EXPECT_EQ(input.Wheel(-1e9, kWheelPixels), 32767);
}

TEST(MenuCommands, OnlyTheEditorsOwnCommandsAreOffered) {
    auto editor = std::make_unique<Editor>();
    for (int command : kMenuCommands) {
        const MenuItemState state = MenuStateOf(*editor, command, false, false);
        const bool offered =
            command == ID_OPTIONS_RESET_CAMERA || command == ID_VIEW_PAINT_WINDOW || command == ID_VIEW_STATUS_WINDOW;
        EXPECT_EQ(state.enabled, offered) << command;
        // A greyed command does nothing even when the page asks for it.
        if (!offered) {
            EXPECT_FALSE(RunMenuCommand(*editor, command, false, false)) << command;
        }
    }
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_UNDO, true, false).enabled, true);
    EXPECT_EQ(MenuStateOf(*editor, ID_OPTIONS_REDO, true, false).enabled, false);
    EXPECT_FALSE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
}

TEST(MenuCommands, ViewItemsToggleThePanelsAndCarryTheirCheckMarks) {
    auto editor = std::make_unique<Editor>();
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, false, false).checked);
    EXPECT_TRUE(RunMenuCommand(*editor, ID_VIEW_PAINT_WINDOW, false, false));
    EXPECT_FALSE(editor->paintWindow.shown);
    EXPECT_FALSE(MenuStateOf(*editor, ID_VIEW_PAINT_WINDOW, false, false).checked);
    EXPECT_TRUE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, ID_VIEW_STATUS_WINDOW, false, false));
    EXPECT_FALSE(editor->statusWindow.shown);
    EXPECT_TRUE(RunMenuCommand(*editor, ID_VIEW_STATUS_WINDOW, false, false));
    EXPECT_TRUE(MenuStateOf(*editor, ID_VIEW_STATUS_WINDOW, false, false).checked);

    editor->camera.yaw = 1.0f;
    editor->camera.masterZoom = 50.0;
    EXPECT_TRUE(RunMenuCommand(*editor, ID_OPTIONS_RESET_CAMERA, false, false));
    EXPECT_EQ(editor->camera.yaw, kStartYaw);
    EXPECT_EQ(editor->camera.masterZoom, kStartMasterZoom);

    EXPECT_TRUE(RunMenuCommand(*editor, ID_OPTIONS_UNDO, true, true));
    EXPECT_TRUE(editor->undo.undoRequest);
    EXPECT_FALSE(editor->undo.redoRequest);
    EXPECT_TRUE(RunMenuCommand(*editor, ID_OPTIONS_REDO, true, true));
    EXPECT_TRUE(editor->undo.redoRequest);
}

// Every edge of every triangle, once per triangle, as the wireframe fill draws them; none joins two triangles.
TEST(LineIndices, EachTriangleGivesItsThreeEdges) {
    constexpr int kTriangles = 21845;  // as many as a chunk of the mesh holds
    static uint16_t indices[kTriangles * kLineIndicesPerTriangle];
    ASSERT_EQ(BuildTriangleEdges(kTriangles, indices), kTriangles * kLineIndicesPerTriangle);
    for (int t : {0, 1, 7, kTriangles - 1}) {
        std::set<std::pair<int, int>> edges;
        for (int k = 0; k < kLineIndicesPerTriangle; k += 2) {
            const int a = indices[t * kLineIndicesPerTriangle + k], b = indices[t * kLineIndicesPerTriangle + k + 1];
            EXPECT_EQ(a / 3, t);
            EXPECT_EQ(b / 3, t);
            edges.insert({std::min(a, b), std::max(a, b)});
        }
        EXPECT_EQ(edges,
                  (std::set<std::pair<int, int>>{{3 * t, 3 * t + 1}, {3 * t + 1, 3 * t + 2}, {3 * t, 3 * t + 2}}));
    }
    EXPECT_EQ(indices[kTriangles * kLineIndicesPerTriangle - 1], 3 * (kTriangles - 1));
}
