#include "files/object_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "files/text_lines.h"

namespace {

// Cube lines are short; the name line takes a whole path.
constexpr size_t kLineLimit = 255;
constexpr int32_t kLastCell = 7;

// A coordinate names the cell it truncates to, so 199.4 still lies in the last cell.
bool InGrid(float coordinate) {
    return coordinate >= 0.0f && coordinate < static_cast<float>(kGridSize);
}

// Two cubes in one cell would leave a cube behind in a cell the grid calls empty once one of them is deleted.
bool EachCellOnce(const std::vector<LoadedCube>& cubes) {
    std::vector<int32_t> cells;
    cells.reserve(cubes.size());
    for (const LoadedCube& cube : cubes)
        cells.push_back(Scene::GridIndex(static_cast<int>(cube.x), static_cast<int>(cube.y), static_cast<int>(cube.z)));
    std::sort(cells.begin(), cells.end());
    return std::adjacent_find(cells.begin(), cells.end()) == cells.end();
}

bool ReadCount(TextLines& lines, int32_t& count) {
    char line[kLineLimit + 1];
    const char* cursor = line;
    return lines.Next(line, sizeof(line)) && ScanInt(cursor, count);
}

// A cube stands in the cell its position truncates to, and is kept there: drawn, picked, exported and saved
// as that cell. Kept as written, 100.6 would be drawn between two cells and saved as 101, where another
// cube of the same file may stand.
bool ReadPosition(const char*& cursor, LoadedCube& cube) {
    if (!ScanReal(cursor, cube.x) || !ScanReal(cursor, cube.y) || !ScanReal(cursor, cube.z) || !InGrid(cube.x) ||
        !InGrid(cube.y) || !InGrid(cube.z))
        return false;
    cube.x = static_cast<float>(static_cast<int>(cube.x));
    cube.y = static_cast<float>(static_cast<int>(cube.y));
    cube.z = static_cast<float>(static_cast<int>(cube.z));
    return true;
}

bool ReadColouredCubes(TextLines& lines, int32_t count, std::vector<LoadedCube>& cubes) {
    char line[kLineLimit + 1];
    for (int32_t i = 0; i < count; ++i) {
        LoadedCube cube{};
        const char* cursor = line;
        if (!lines.Next(line, sizeof(line)) || !ReadPosition(cursor, cube) || !ScanHex(cursor, cube.colour))
            return false;
        cubes.push_back(cube);
    }
    return true;
}

bool ReadTexturedCubes(TextLines& lines, int32_t count, std::vector<LoadedCube>& cubes) {
    char line[kLineLimit + 1];
    for (int32_t i = 0; i < count; ++i) {
        LoadedCube cube{};
        cube.textured = true;
        cube.colour = kWhite;
        const char* cursor = line;
        if (!lines.Next(line, sizeof(line)) || !ReadPosition(cursor, cube) || !ScanInt(cursor, cube.cellColumn) ||
            !ScanInt(cursor, cube.cellRow))
            return false;
        if (cube.cellColumn < 0 || cube.cellColumn > kLastCell || cube.cellRow < 0 || cube.cellRow > kLastCell)
            return false;
        cubes.push_back(cube);
    }
    return true;
}

// "%.0f" of a whole-numbered coordinate, written without the C library so that no locale can reach it;
// a half rounds to the even neighbour, as printf rounds.
// Text written into room made beforehand: a copy of 10,000 cubes writes 40,000 numbers, and a character at a time
// into a buffer is many times faster than formatting each.
// The numbers 0 to 255 as text, and how long each is: the coordinates of a copy are such numbers, and copying a
// ready text of four bytes spares the branches of counting digits.
struct SmallNumber {
    char text[4];
    uint8_t length;
};
struct SmallNumbers {
    SmallNumber numbers[256];
    constexpr SmallNumbers() : numbers() {
        for (int value = 0; value < 256; ++value) {
            SmallNumber& number = numbers[value];
            number.length = value >= 100 ? 3 : value >= 10 ? 2 : 1;
            int rest = value;
            for (int digit = number.length - 1; digit >= 0; --digit) {
                number.text[digit] = static_cast<char>('0' + rest % 10);
                rest /= 10;
            }
        }
    }
};
const SmallNumbers kSmallNumbers;

// The bytes 0 to 255 as two hexadecimal digits each.
struct HexBytes {
    char pairs[256][2];
    constexpr HexBytes() : pairs() {
        for (int value = 0; value < 256; ++value) {
            pairs[value][0] = "0123456789abcdef"[value >> 4];
            pairs[value][1] = "0123456789abcdef"[value & 15];
        }
    }
};
const HexBytes kHexBytes;

class TextWriter {
public:
    TextWriter(std::string& text, size_t room) : text_(text), start_(text.size()) {
        text_.resize(start_ + room);
        at_ = &text_[start_];
    }
    ~TextWriter() { text_.resize(Written()); }
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Makes sure that the next count characters fit, doubling the room when they do not: the room given at the start
    // is what the lines usually take, and the string fills every character of it with zeros first.
    void Room(size_t count) {
        const size_t written = Written();
        if (text_.size() - written >= count)
            return;
        text_.resize(2 * text_.size() + count);
        at_ = &text_[written];
    }

    void Char(char c) { *at_++ = c; }
    void Text(const char* text) {
        while (*text != '\0')
            *at_++ = *text++;
    }
    // A whole number in decimal, as "%ld" writes it: its digits counted first, then written from the last one back
    // in place (a loop that copied them from a scratch buffer became a call to memmove for every number).
    void Integer(long value) {
        if (value >= 0 && value < 256) {
            const SmallNumber& number = kSmallNumbers.numbers[value];
            std::memcpy(at_, number.text, sizeof(number.text));
            at_ += number.length;
            return;
        }
        unsigned long magnitude =
            value < 0 ? 0ul - static_cast<unsigned long>(value) : static_cast<unsigned long>(value);
        if (value < 0)
            *at_++ = '-';
        int digits = 1;
        for (unsigned long rest = magnitude; rest >= 10; rest /= 10)
            ++digits;
        at_ += digits;
        char* digit = at_;
        do {
            *--digit = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
    }
    // In lower-case hexadecimal without leading zeros, as "%x" writes it.
    void Hex(uint32_t value) {
        if ((value >> 28) != 0) {  // every colour the program makes has its alpha: eight digits, two a byte
            for (int byte = 3; byte >= 0; --byte, value >>= 8)
                std::memcpy(at_ + 2 * byte, kHexBytes.pairs[value & 0xFFu], 2);
            at_ += 8;
            return;
        }
        int digits = 1;
        for (uint32_t rest = value; rest >= 16; rest >>= 4)
            ++digits;
        at_ += digits;
        char* digit = at_;
        do {
            *--digit = "0123456789abcdef"[value & 15u];
            value >>= 4;
        } while (value != 0);
    }
    // A cube's coordinate, rounded to the nearest whole number; cubes stand on whole cells, whose coordinates need
    // no rounding call.
    void Coordinate(float value) {
        const long whole = static_cast<long>(value);
        Integer(static_cast<float>(whole) == value ? whole : std::lrint(value));
    }

private:
    size_t Written() const { return static_cast<size_t>(at_ - text_.data()); }

    std::string& text_;
    size_t start_;
    char* at_;
};

}  // namespace

bool ParseObjectFile(const uint8_t* data, size_t size, ObjectFileContents& out) {
    TextLines lines(data, size);
    char line[kLineLimit + 1];
    if (!lines.Next(line, sizeof(line)) || !FirstWordIs(line, kObjectMagic))
        return false;
    int32_t colouredFlag = 0, texturedFlag = 0;
    const char* cursor = line;
    if (!lines.Next(line, sizeof(line)) || !ScanInt(cursor, colouredFlag) || !ScanInt(cursor, texturedFlag))
        return false;

    ObjectFileContents contents;
    int32_t total = 0;
    if (colouredFlag != 0) {
        int32_t count = 0;
        if (!ReadCount(lines, count) || count < 0 || count > kMaxCubes)
            return false;
        total = count;
        contents.cubes.reserve(static_cast<size_t>(count));
        if (!ReadColouredCubes(lines, count, contents.cubes))
            return false;
    }
    if (texturedFlag != 0) {
        contents.texturedSection = true;
        // The whole line is the name, as long as a path can be: every name the program writes reads back.
        if (!lines.Next(contents.textureName, sizeof(contents.textureName)))
            return false;
        int32_t count = 0;
        if (!ReadCount(lines, count) || count < 0 || count > kMaxCubes - total)
            return false;
        if (!ReadTexturedCubes(lines, count, contents.cubes))
            return false;
    }
    if (!EachCellOnce(contents.cubes))
        return false;
    out = std::move(contents);
    return true;
}

bool ObjectFileHoldsTooMany(const uint8_t* data, size_t size) {
    TextLines lines(data, size);
    char line[kLineLimit + 1];
    int32_t colouredFlag = 0, texturedFlag = 0;
    const char* cursor = line;
    if (!lines.Next(line, sizeof(line)) || !FirstWordIs(line, kObjectMagic) || !lines.Next(line, sizeof(line)) ||
        !ScanInt(cursor, colouredFlag) || !ScanInt(cursor, texturedFlag))
        return false;
    int64_t total = 0;
    int32_t count = 0;
    if (colouredFlag != 0) {
        if (!ReadCount(lines, count) || count < 0)
            return false;
        if (count > kMaxCubes)
            return true;
        total = count;
        for (int32_t i = 0; i < count; ++i) {
            if (!lines.Next(line, sizeof(line)))
                return false;
        }
    }
    char name[kPathCapacity];
    if (texturedFlag != 0 && lines.Next(name, sizeof(name)) && ReadCount(lines, count) && count >= 0)
        total += count;
    return total > kMaxCubes;
}

std::string ObjectFileText(const Scene& scene, const char* textureName) {
    const int32_t low[3] = {0, 0, 0};
    const int32_t high[3] = {kGridSize - 1, kGridSize - 1, kGridSize - 1};
    std::string text;
    WriteObjectFileText(text, scene, textureName, low, high);
    return text;
}

void WriteObjectFileText(std::string& text,
                         const Scene& scene,
                         const char* textureName,
                         const int32_t (&low)[3],
                         const int32_t (&high)[3]) {
    std::vector<int32_t> slots;
    int32_t coloured = 0;
    for (int textured = 0; textured < 2; ++textured) {
        for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
            const CubeRecord& cube = scene.cubes[slot];
            const Cell cell = CellOf(cube);
            if (cube.inUse == 0 || (cube.textured != 0) != (textured != 0) || cell.x < low[0] || cell.x > high[0] ||
                cell.y < low[1] || cell.y > high[1] || cell.z < low[2] || cell.z > high[2])
                continue;
            slots.push_back(slot);
            coloured += textured == 0 ? 1 : 0;
        }
    }
    WriteObjectFileText(text, scene, textureName, slots.data(), coloured, static_cast<int32_t>(slots.size()) - coloured,
                        low);
}

namespace {

// A scene file of cubes: cubeAt(i) gives the i-th, the first `coloured` of them coloured, the next `textured`
// textured, each with the fields x, y, z, colour, cellColumn and cellRow; positions are counted from origin.
template <typename CubeAt>
void WriteCubesText(std::string& text,
                    const char* textureName,
                    int32_t coloured,
                    int32_t textured,
                    const int32_t (&origin)[3],
                    const CubeAt& cubeAt) {
    // The longest line: three coordinates of at most 11 characters, a colour of 8 or two cells, spaces, a line end.
    // A line of a cube in the grid counted from a cell of the grid is at most 24: coordinates of -199 to 199.
    constexpr size_t kLongestCubeLine = 3 * 12 + 24 + 2;
    constexpr size_t kUsualCubeLine = 24;
    text.clear();  // its room stays, for the next text of the same size
    TextWriter out(text, 64 + std::strlen(textureName) + static_cast<size_t>(coloured + textured) * kUsualCubeLine);
    out.Text(kObjectMagic);
    out.Char('\n');
    out.Char(coloured > 0 ? '1' : '0');
    out.Char(' ');
    out.Char(textured > 0 ? '1' : '0');
    out.Char('\n');
    const auto position = [&out, &origin](const auto& cube) {
        out.Room(kLongestCubeLine);
        out.Coordinate(cube.x - static_cast<float>(origin[0]));
        out.Char(' ');
        out.Coordinate(cube.y - static_cast<float>(origin[1]));
        out.Char(' ');
        out.Coordinate(cube.z - static_cast<float>(origin[2]));
        out.Char(' ');
    };
    if (coloured > 0) {
        out.Integer(coloured);
        out.Char('\n');
        for (int32_t i = 0; i < coloured; ++i) {
            const auto& cube = cubeAt(i);
            position(cube);
            out.Hex(cube.colour);
            out.Char('\n');
        }
    }
    if (textured > 0) {
        out.Room(std::strlen(textureName) + 16);  // the name line and the count's
        out.Text(textureName);
        out.Char('\n');
        out.Integer(textured);
        out.Char('\n');
        for (int32_t i = coloured; i < coloured + textured; ++i) {
            const auto& cube = cubeAt(i);
            position(cube);
            out.Integer(cube.cellColumn);
            out.Char(' ');
            out.Integer(cube.cellRow);
            out.Char('\n');
        }
    }
}

}  // namespace

void WriteObjectFileText(std::string& text,
                         const Scene& scene,
                         const char* textureName,
                         const int32_t* slots,
                         int32_t coloured,
                         int32_t textured,
                         const int32_t (&origin)[3]) {
    WriteCubesText(text, textureName, coloured, textured, origin,
                   [&](int32_t i) -> const CubeRecord& { return scene.cubes[slots[i]]; });
}

void WriteObjectFileText(std::string& text,
                         const PackedCube* cubes,
                         int32_t coloured,
                         int32_t textured,
                         const char* textureName) {
    const int32_t origin[3] = {0, 0, 0};
    WriteCubesText(text, textureName, coloured, textured, origin,
                   [cubes](int32_t i) -> const PackedCube& { return cubes[i]; });
}
