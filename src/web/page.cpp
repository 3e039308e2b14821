#include "web/page.h"

#include <emscripten.h>

namespace {

// clang-format off
EM_JS(int, PageActiveJs, (), { return Blokkenveld.active() ? 1 : 0; });
EM_JS(int, PageHiddenJs, (), { return document.hidden ? 1 : 0; });
EM_JS(void, CanvasOriginJs, (int32_t* left, int32_t* top), {
    const r = Blokkenveld.canvas.getBoundingClientRect();
    HEAP32[left >> 2] = Math.round(r.left);
    HEAP32[top >> 2] = Math.round(r.top);
});
EM_JS(void, CanvasElementSizeJs, (int32_t* width, int32_t* height), {
    const r = Blokkenveld.canvas.getBoundingClientRect();
    HEAP32[width >> 2] = Math.max(1, Math.floor(r.width));
    HEAP32[height >> 2] = Math.max(1, Math.floor(r.height));
});
EM_ASYNC_JS(int, PageAskJs, (const char* text), { return (await Blokkenveld.ask(UTF8ToString(text))) ? 1 : 0; });
EM_ASYNC_JS(void, PageErrorJs, (const char* text), { await Blokkenveld.error(UTF8ToString(text)); });
EM_JS(void, PageTitleJs, (const char* title), { document.title = UTF8ToString(title); });
EM_JS(void, PageMenuItemJs, (int command, int enabled, int checked), {
    Blokkenveld.menu.setItem(command, enabled != 0, checked != 0);
});
EM_JS(void, PageFrameDrawnJs, (), { Blokkenveld.frameDrawn(); });

// clang-format on

}  // namespace

bool PageActive() {
    return PageActiveJs() != 0;
}

bool PageHidden() {
    return PageHiddenJs() != 0;
}

void CanvasOrigin(int32_t& left, int32_t& top) {
    CanvasOriginJs(&left, &top);
}

void CanvasElementSize(int32_t& width, int32_t& height) {
    CanvasElementSizeJs(&width, &height);
}

bool PageAskYesNo(const char* utf8Text) {
    return PageAskJs(utf8Text) != 0;
}

void PageShowError(const char* utf8Text) {
    PageErrorJs(utf8Text);
}

void PageSetTitle(const char* utf8Title) {
    PageTitleJs(utf8Title);
}

void PageSetMenuItem(int commandId, bool enabled, bool checked) {
    PageMenuItemJs(commandId, enabled ? 1 : 0, checked ? 1 : 0);
}

void PageFrameDrawn() {
    PageFrameDrawnJs();
}
