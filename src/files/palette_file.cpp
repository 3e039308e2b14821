// Reading and writing palette files, and the paint panel's cell, swatch, bar, atlas and preview quads
// built from the palette, the colour components and the current atlas cell.
#include "files/palette_file.h"

#include <cstdio>
#include <cstring>

#include "editor/editor.h"
#include "editor/paint_window.h"

namespace {

constexpr int kLineCapacity = 260;  // 259 characters and the terminator
constexpr int kPaletteRows = 8;
constexpr int kVerticesPerQuad = 6;
constexpr int kSwatchQuad = 64;
constexpr int kFirstBarQuad = 65;
constexpr int kPreviewQuad = 1;
constexpr float kAtlasCellFraction = 0.125f;

// Offsets from the panel's top-left corner, in pixels.
constexpr int kCellsLeft = 25;
constexpr int kCellsTop = 78;
constexpr int kCellPitch = 16;
constexpr int kSwatchLeft = 25, kSwatchTop = 210, kSwatchRight = 73, kSwatchBottom = 258;
constexpr int kBarLeft = 52;
constexpr int kBarTops[3] = {264, 280, 296};
constexpr int kBarHeight = 12;
constexpr int kAtlasLeft = 25, kAtlasTop = 318, kAtlasRight = 153, kAtlasBottom = 446;
constexpr int kPreviewLeft = 25, kPreviewTop = 450, kPreviewRight = 73, kPreviewBottom = 498;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One line of at most 259 characters. The rest of a longer line is read away so that it cannot
// pose as the next row. False at the end of the file.
bool ReadLine(std::FILE* file, char (&line)[kLineCapacity]) {
    if (std::fgets(line, kLineCapacity, file) == nullptr)
        return false;
    if (std::strchr(line, '\n') == nullptr) {
        int c;
        do {
            c = std::fgetc(file);
        } while (c != '\n' && c != EOF);
    }
    return true;
}

bool FirstWordIsMagic(const char* line) {
    while (IsSpace(*line))
        ++line;
    const char* end = line;
    while (*end != '\0' && !IsSpace(*end))
        ++end;
    const size_t length = static_cast<size_t>(end - line);
    return length == sizeof(kPaletteMagic) - 1 && std::memcmp(line, kPaletteMagic, length) == 0;
}

// Scans up to eight whitespace-separated hexadecimal numbers into the row's entries. The first item that is
// not a number ends the scan; entries from there on keep what they held. A number too long for 32 bits keeps
// its low 32 bits, so that leading zeros never matter.
void ScanRow(const char* line, uint32_t* entries) {
    for (int column = 0; column < kPaletteColumns; ++column) {
        while (IsSpace(*line))
            ++line;
        if (line[0] == '0' && (line[1] == 'x' || line[1] == 'X') && HexDigit(line[2]) >= 0)
            line += 2;
        if (HexDigit(*line) < 0)
            return;
        uint32_t value = 0;
        for (int digit = HexDigit(*line); digit >= 0; digit = HexDigit(*++line))
            value = (value << 4) | static_cast<uint32_t>(digit);
        entries[column] = value;
    }
}

void TakeComponentsFrom(Editor& editor, uint32_t colour) {
    const ColourParts parts = SplitColour(colour);
    editor.red = parts.red;
    editor.green = parts.green;
    editor.blue = parts.blue;
}

// Two triangles, (left, top) (right, top) (left, bottom) and (left, bottom) (right, top) (right, bottom).
template <typename Vertex>
void SetQuadPosition(Vertex* quad, float left, float top, float right, float bottom) {
    const float xs[kVerticesPerQuad] = {left, right, left, left, right, right};
    const float ys[kVerticesPerQuad] = {top, top, bottom, bottom, top, bottom};
    for (int i = 0; i < kVerticesPerQuad; ++i) {
        quad[i].x = xs[i];
        quad[i].y = ys[i];
        quad[i].z = 0.0f;
        quad[i].rhw = 1.0f;
    }
}

template <typename Vertex>
void SetQuadColour(Vertex* quad, uint32_t colour) {
    for (int i = 0; i < kVerticesPerQuad; ++i)
        quad[i].diffuse = colour;
}

void SetQuadTexture(PaintTextureVertex* quad, float u0, float v0, float u1, float v1) {
    const float us[kVerticesPerQuad] = {u0, u1, u0, u0, u1, u1};
    const float vs[kVerticesPerQuad] = {v0, v0, v1, v1, v0, v1};
    for (int i = 0; i < kVerticesPerQuad; ++i) {
        quad[i].u = us[i];
        quad[i].v = vs[i];
    }
}

float Offset(float origin, int pixels) {
    return origin + static_cast<float>(pixels);
}

}  // namespace

bool LoadPaletteFile(Editor& editor, const char* path) {
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return false;
    char line[kLineCapacity];
    if (!ReadLine(file, line) || !FirstWordIsMagic(line)) {
        std::fclose(file);
        return false;
    }
    // A file that ends early leaves its missing rows as they were.
    for (int row = 0; row < kPaletteRows && ReadLine(file, line); ++row)
        ScanRow(line, &editor.palette[row * kPaletteColumns]);
    std::fclose(file);

    RefreshCellColours(editor);
    editor.currentColour = editor.palette[0];
    TakeComponentsFrom(editor, editor.currentColour);
    BuildPaletteQuads(editor);
    return true;
}

bool WritePaletteFile(const Editor& editor, const char* path) {
    // Text mode: the line ends on disk are the platform's own, which the reader accepts either way.
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr)
        return false;
    bool written = std::fprintf(file, "%s\n", kPaletteMagic) > 0;
    for (int row = 0; row < kPaletteRows; ++row) {
        const uint32_t* e = &editor.palette[row * kPaletteColumns];
        written =
            written &&
            std::fprintf(file, "%x %x %x %x %x %x %x %x\n", static_cast<unsigned>(e[0]), static_cast<unsigned>(e[1]),
                         static_cast<unsigned>(e[2]), static_cast<unsigned>(e[3]), static_cast<unsigned>(e[4]),
                         static_cast<unsigned>(e[5]), static_cast<unsigned>(e[6]), static_cast<unsigned>(e[7])) > 0;
    }
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

void LoadStartupPalette(Editor& editor, const char* path) {
    if (!LoadPaletteFile(editor, path)) {
        ResetPaletteToWhite(editor);
        editor.currentColour = editor.palette[0];
        TakeComponentsFrom(editor, editor.currentColour);
        BuildPaletteQuads(editor);
    }
    BuildTextureQuads(editor);
}

void ResetPaletteToWhite(Editor& editor) {
    for (uint32_t& entry : editor.palette)
        entry = kWhite;
    RefreshCellColours(editor);
}

void RefreshCellColours(Editor& editor) {
    for (int entry = 0; entry < kPaletteSize; ++entry)
        SetQuadColour(&editor.paintColourVertices[entry * kVerticesPerQuad], editor.palette[entry]);
}

void BuildPaletteQuads(Editor& editor) {
    const float x = editor.paintWindow.x;
    const float y = editor.paintWindow.y;
    PaintColourVertex* vertices = editor.paintColourVertices;

    for (int row = 0; row < kPaletteRows; ++row) {
        for (int column = 0; column < kPaletteColumns; ++column) {
            const int left = kCellsLeft + kCellPitch * column;
            const int top = kCellsTop + kCellPitch * row;
            SetQuadPosition(&vertices[(row * kPaletteColumns + column) * kVerticesPerQuad], Offset(x, left),
                            Offset(y, top), Offset(x, left + kCellPitch), Offset(y, top + kCellPitch));
        }
    }

    PaintColourVertex* swatch = &vertices[kSwatchQuad * kVerticesPerQuad];
    SetQuadPosition(swatch, Offset(x, kSwatchLeft), Offset(y, kSwatchTop), Offset(x, kSwatchRight),
                    Offset(y, kSwatchBottom));
    SetQuadColour(swatch, editor.currentColour);

    const int32_t components[3] = {editor.red, editor.green, editor.blue};
    for (int bar = 0; bar < 3; ++bar) {
        PaintColourVertex* quad = &vertices[(kFirstBarQuad + bar) * kVerticesPerQuad];
        SetQuadPosition(quad, Offset(x, kBarLeft), Offset(y, kBarTops[bar]), BarEnd(x, components[bar]),
                        Offset(y, kBarTops[bar] + kBarHeight));
        SetQuadColour(quad, kBarColour);
    }
}

void BuildTextureQuads(Editor& editor) {
    const float x = editor.paintWindow.x;
    const float y = editor.paintWindow.y;
    PaintTextureVertex* atlas = editor.paintTextureVertices;
    SetQuadPosition(atlas, Offset(x, kAtlasLeft), Offset(y, kAtlasTop), Offset(x, kAtlasRight),
                    Offset(y, kAtlasBottom));
    SetQuadColour(atlas, kWhite);
    SetQuadTexture(atlas, 0.0f, 0.0f, 1.0f, 1.0f);

    PaintTextureVertex* preview = &editor.paintTextureVertices[kPreviewQuad * kVerticesPerQuad];
    SetQuadPosition(preview, Offset(x, kPreviewLeft), Offset(y, kPreviewTop), Offset(x, kPreviewRight),
                    Offset(y, kPreviewBottom));
    SetQuadColour(preview, kWhite);
    const float column = static_cast<float>(editor.textureColumn);
    const float row = static_cast<float>(editor.textureRow);
    SetQuadTexture(preview, column * kAtlasCellFraction, row * kAtlasCellFraction, (column + 1.0f) * kAtlasCellFraction,
                   (row + 1.0f) * kAtlasCellFraction);
}
