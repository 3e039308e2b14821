// What the browser shell asks of the page around the canvas: its state, its boxes, its title and menu bar.
// The page side lives in page.js.
#pragma once

#include <cstdint>

// The page is shown, has the focus, and no menu or box of the page is open.
bool PageActive();
// The page is hidden (another tab, a minimized window): no frames are drawn.
bool PageHidden();
// The canvas's top-left corner in page pixels.
void CanvasOrigin(int32_t& left, int32_t& top);
// The size of the canvas's element in whole pixels.
void CanvasElementSize(int32_t& width, int32_t& height);
// A question titled "確認" with Yes and No; the frame waits for the answer.
bool PageAskYesNo(const char* utf8Text);
// A message titled "エラー"; the program waits until it is closed.
void PageShowError(const char* utf8Text);
void PageSetTitle(const char* utf8Title);
void PageSetMenuItem(int commandId, bool enabled, bool checked);
// A frame was drawn; the page counts them and notes the time of the first.
void PageFrameDrawn();
