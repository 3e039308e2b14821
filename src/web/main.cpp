// Entry point of the browser build: settings, the canvas's WebGL context and the graphics resources, the artwork
// and palette that came with the page, the file named in the page's address, then the page's messages and one idle
// pass per animation frame for as long as the page lives and has something to draw.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <vector>

#include "editor/document/document.h"
#include "editor/panels/paint_window.h"
#include "editor/panels/panel_artwork.h"
#include "files/bitmap.h"
#include "render/webgl/glyph_baker.h"
#include "web/page.h"
#include "web/shell.h"

Editor gEditor;
ShellFlags gShellFlags;
Settings gSettings;
ColourDialogState gColourDialog;
WebGlRenderer gRenderer;
BrowserInput gInput;
TouchInput gTouch{gInput};

namespace {

constexpr char kCanvas[] = "#view";
// The text font: 10 points at the 96 pixels per inch of the page's pixels, (10 x 96) / 72 truncated.
constexpr int32_t kFontPoints = 10;
constexpr int32_t kPixelsPerInch = 96;

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE gContext = 0;
int32_t gWidth = 0;
int32_t gHeight = 0;

// WebGL 2 where the browser has it, else WebGL 1; no antialiasing, no alpha: the device draws neither.
bool CreateContext() {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = 0;
    attributes.depth = 1;
    attributes.stencil = 0;
    attributes.antialias = 0;
    attributes.premultipliedAlpha = 0;
    attributes.preserveDrawingBuffer = 0;
    attributes.majorVersion = 2;
    gContext = emscripten_webgl_create_context(kCanvas, &attributes);
    if (gContext <= 0) {
        attributes.majorVersion = 1;
        gContext = emscripten_webgl_create_context(kCanvas, &attributes);
    }
    return gContext > 0 && emscripten_webgl_make_context_current(gContext) == EMSCRIPTEN_RESULT_SUCCESS;
}

bool ReadPanelFile(Language language, Image& image) {
    std::vector<uint8_t> bytes;
    return gFiles.ReadAll(PanelFileOf(language), bytes) && DecodeBitmap(bytes.data(), bytes.size(), image);
}

// The text font, the panel and the editor's atlas on the context; false when the font or the panel cannot be made.
bool LoadGraphicsResources() {
    GlyphAtlas glyphs;
    std::vector<uint32_t> pixels;
    int32_t margin = 0;
    const int32_t pixelHeight = (kFontPoints * kPixelsPerInch) / 72;
    if (!BakeGlyphAtlas(pixelHeight, glyphs, pixels, margin) || !gRenderer.LoadGlyphs(glyphs, pixels.data(), margin))
        return false;
    if (!LoadPanelImage())
        return false;
    if (!gEditor.atlas.pixels.empty())
        gRenderer.LoadAtlas(gEditor.atlas);
    return true;
}

void SetUpForSize(int32_t width, int32_t height) {
    gRenderer.SetClientSize(width, height);
    SetViewSize(gEditor.view, width, height);
    gRenderer.SetProjection(gEditor.view.projection);
}

// A lost context takes every object with it; once the browser gives it back, all is made again.
EM_BOOL OnContextLost(int, const void*, void*) {
    gRenderer.Forget();
    return 1;
}

EM_BOOL OnContextRestored(int, const void*, void*) {
    emscripten_webgl_make_context_current(gContext);
    if (gRenderer.Create())
        LoadGraphicsResources();
    SetUpForSize(gWidth, gHeight);
    return 1;
}

// Settings written before the user's files had a folder of their own name a kept palette or texture by its bare
// name: that name now means the user's file when the program's folder has none of it.
template <size_t N>
void FindKeptFile(char (&name)[N]) {
    char program[kPathCapacity], user[kPathCapacity];
    if (name[0] == '\0' || IsAbsolutePath(name) || !ResolvePath(name, kProgramDirectory, program) ||
        !ResolvePath(name, kUserDirectory, user) || gFiles.FileExists(program) || !gFiles.FileExists(user))
        return;
    std::snprintf(name, N, "%s", user);
}

// clang-format off
EM_ASYNC_JS(void, WaitForAnimationFrame, (), { await new Promise(resolve => requestAnimationFrame(resolve)); });
// clang-format on

}  // namespace

bool LoadPanelImage() {
    static PanelFallbackNotice fallback;
    Image image;
    if (!ReadPanelArtwork(CurrentLanguage(), ReadPanelFile, image, &fallback))
        return false;
    if (fallback.tellNow)
        PageNotice(TextOf(TextId::PanelFallback));
    return gRenderer.LoadPanel(image);
}

bool FollowCanvasSize() {
    int32_t width = 0, height = 0;
    CanvasElementSize(width, height);
    if (width == gWidth && height == gHeight)
        return false;
    gWidth = width;
    gHeight = height;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    SetUpForSize(width, height);
    PlacePaintWindow(gEditor, width, height);
    return true;
}

int main(int argc, char** argv) {
    PagePublishTexts();
    ReadSettings(SettingsStore(), gSettings, gEditor);
    char asked[4];
    PageAddressLanguage(asked, sizeof(asked));
    TakeAddressLanguage(SettingsStore(), gSettings, asked);
    SetLanguage(gSettings.language);
    PageSetLanguage(gSettings.language);
    FindKeptFile(gSettings.paletteName);
    FindKeptFile(gSettings.textureName);
    // The atlas is decoded once, here and whenever another is loaded; the context is given it from memory.
    LoadSettingsAtlas(gEditor, gFiles, Atlas(), gSettings, kProgramDirectory);
    CanvasElementSize(gWidth, gHeight);
    emscripten_set_canvas_element_size(kCanvas, gWidth, gHeight);
    if (!CreateContext()) {
        PageShowError(TextOf(TextId::WebGlFailed));
        return 0;
    }
    if (!gRenderer.Create()) {
        PageShowError(TextOf(TextId::WebGlFailed));
        return 0;
    }
    SetUpForSize(gWidth, gHeight);
    if (!LoadGraphicsResources()) {
        PageShowError(TextOf(TextId::InitialisationFailed));
        return 0;
    }
    LoadStartupPalette(gEditor, gFiles, gSettings.paletteName);
    // The kept settings may put the panel anywhere; it starts inside the canvas.
    PlacePaintWindow(gEditor, gWidth, gHeight);
    emscripten_set_webglcontextlost_callback(kCanvas, nullptr, 0, OnContextLost);
    emscripten_set_webglcontextrestored_callback(kCanvas, nullptr, 0, OnContextRestored);
    InstallInputCallbacks();
    // The file named in the page's address stands for the command line.
    if (argc > 1)
        OpenCommandLineFile(Document(), argv[1]);
    SyncMenuBar();
    // Messages first, then the idle pass, as the Windows program's loop takes what is waiting before it draws. The
    // first frame is drawn before a scene left unsaved by an earlier page is offered back. With no frame due the loop
    // rests until the page wakes it.
    for (bool offered = false;; offered = true) {
        WaitForAnimationFrame();
        WakeOnPageEvents();
        DispatchPageMessages();
        IdlePass();
        if (!offered)
            OfferScenesLeftBehind();
        RestUntilWoken();
    }
}
