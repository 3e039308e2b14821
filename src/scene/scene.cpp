#include "scene/scene.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "scene/inlining.h"

// The SSE2 run test compares a record's first 13 bytes (x, y, z, inUse) with one 16-byte load, and both paths
// write the six flags as one 4-byte and one 2-byte store.
static_assert(offsetof(CubeRecord, x) == 0 && offsetof(CubeRecord, y) == 4 && offsetof(CubeRecord, z) == 8,
              "a cube's position is its first 12 bytes");
static_assert(offsetof(CubeRecord, inUse) == 12, "inUse follows the position");
static_assert(offsetof(CubeRecord, faceExposed) + kSideCount <= sizeof(CubeRecord), "the flags lie in the record");
static_assert(sizeof(CubeRecord) >= 16, "one 16-byte load per record stays inside it");

// Face exposure runs every frame over every cube. On x86 it also takes rows of cubes sixteen at a time with SSE2,
// which every x64 compiler offers; anything else goes cube by cube, which BLOKKENVELD_SCALAR_MESH also selects so
// that it can be built and tested on x64.
#if !defined(BLOKKENVELD_SCALAR_MESH) && \
    (defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2))
#define BLOKKENVELD_SSE2_EXPOSURE 1
#include <emmintrin.h>
#endif

namespace {

constexpr int kPlaneCells = kGridSize * kGridSize;

// Every neighbour of a cell in 1..198 on all axes lies inside the grid, so its flags need no bounds checks.
inline bool NeighboursInGrid(int x, int y, int z) {
    return static_cast<unsigned>(x - 1) < kGridSize - 2 && static_cast<unsigned>(y - 1) < kGridSize - 2 &&
           static_cast<unsigned>(z - 1) < kGridSize - 2;
}

// A cube with a neighbour cell outside the grid: each neighbour is checked on its own.
unsigned ExposeEdgeCube(const Scene& scene, CubeRecord& cube, int x, int y, int z) {
    unsigned mask = 0;
    for (int side = 0; side < kSideCount; ++side) {
        const bool occupied =
            scene.Occupied(x + kSideOffset[side][0], y + kSideOffset[side][1], z + kSideOffset[side][2]);
        cube.faceExposed[side] = occupied ? 0 : 1;
        mask |= static_cast<unsigned>(!occupied) << side;
    }
    return mask;
}

#if defined(BLOKKENVELD_SSE2_EXPOSURE)

constexpr unsigned kAllSides = (1u << kSideCount) - 1;

// The usual case: six lookups without branches and one compare of all six against "occupied", which gives both the
// flag bytes and the mask.
// The neighbours' grid bytes in side order: -z, +x, +z, -x in low, +y, -y in high; sets the flags and returns the
// mask.
inline unsigned ExposeFromNeighbours(uint32_t low, uint32_t high, CubeRecord& cube) {
    const __m128i one = _mm_set1_epi8(1);
    const __m128i occupied = _mm_cmpeq_epi8(
        _mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(low)), _mm_cvtsi32_si128(static_cast<int>(high))), one);
    const __m128i flags = _mm_andnot_si128(occupied, one);
    const uint32_t flagsLow = static_cast<uint32_t>(_mm_cvtsi128_si32(flags));
    const uint16_t flagsHigh = static_cast<uint16_t>(_mm_extract_epi16(flags, 2));
    std::memcpy(cube.faceExposed, &flagsLow, sizeof(flagsLow));
    std::memcpy(cube.faceExposed + 4, &flagsHigh, sizeof(flagsHigh));
    return (static_cast<unsigned>(_mm_movemask_epi8(occupied)) & kAllSides) ^ kAllSides;
}

// The bytes of -z, the cube's own cell and +z in bytes 0 to 2 (byte 3 is the cell after +z).
inline uint32_t AlongZ(const uint8_t* cell) {
    uint32_t bytes;
    std::memcpy(&bytes, cell - 1, sizeof(bytes));
    return bytes & 0x00FF00FFu;
}

inline uint32_t AlongY(const uint8_t* cell) {
    return static_cast<uint32_t>(cell[kGridSize]) | static_cast<uint32_t>(cell[-kGridSize]) << 8;
}

// -z, +x, +z and -x in side order.
inline uint32_t AroundAlongZAndX(const uint8_t* cell) {
    return AlongZ(cell) | static_cast<uint32_t>(cell[kPlaneCells]) << 8 |
           static_cast<uint32_t>(cell[-kPlaneCells]) << 24;
}

inline unsigned ExposeInnerCube(const uint8_t* cell, CubeRecord& cube) {
    return ExposeFromNeighbours(AroundAlongZAndX(cell), AlongY(cell), cube);
}

#else

inline unsigned ExposeInnerCube(const uint8_t* cell, CubeRecord& cube) {
    constexpr int kSideIndexStep[kSideCount] = {-1, kPlaneCells, 1, -kPlaneCells, kGridSize, -kGridSize};
    unsigned mask = 0;
    for (int side = 0; side < kSideCount; ++side) {
        const bool exposed = cell[kSideIndexStep[side]] != 1;
        cube.faceExposed[side] = exposed ? 1 : 0;
        mask |= static_cast<unsigned>(exposed) << side;
    }
    return mask;
}

#endif

#if defined(BLOKKENVELD_SSE2_EXPOSURE)

// Cubes in consecutive slots one cell apart along +z, as the rows of a model listed in grid order come, share their
// neighbour rows: one 16-byte load per side covers a run of up to sixteen of them. Runs along +x share nothing in
// the grid, but go without a conversion, a bounds check or a run test of their own per cube. Cubes in any other
// order take the single path.
constexpr int kRunCubes = 16;
static_assert(kExposureMarkBytes >= kExposureSlotBlock + kRunCubes, "a run marks sixteen slots at once");

// Steps along z or x from a run's first cube, added to its position.
struct RunSteps {
    alignas(16) float step[kRunCubes][4];
};

constexpr RunSteps MakeRunSteps(int axis, int sign) {
    RunSteps table{};
    for (int k = 0; k < kRunCubes; ++k)
        table.step[k][axis] = static_cast<float>(sign * k);
    return table;
}

constexpr RunSteps kRunSteps = MakeRunSteps(2, 1);

// The other ways a model's rows come: along +x when it was turned a quarter or built row by row along x, along -x
// after three turns, along -z after two or a flip front to back. Each with the step between its cubes' grid cells
// and the step of sixteen cubes.
struct RunWay {
    RunSteps steps;
    int cellStep;
    float sixteen[4];
};

constexpr RunWay kPlusX = {MakeRunSteps(0, 1), kPlaneCells, {kRunCubes, 0.0f, 0.0f, 0.0f}};
constexpr RunWay kMinusX = {MakeRunSteps(0, -1), -kPlaneCells, {-kRunCubes, 0.0f, 0.0f, 0.0f}};
constexpr RunWay kMinusZ = {MakeRunSteps(2, -1), -1, {0.0f, 0.0f, -kRunCubes, 0.0f}};

// What a run's first cube would look like in its record's first 13 bytes: x, y, z as floats and inUse = 1. The
// rest of that last lane is a normal float, so adding a step's 0 to it keeps it exact.
inline __m128 RunStart(int x, int y, int z) {
    return _mm_or_ps(_mm_cvtepi32_ps(_mm_setr_epi32(x, y, z, 0)),
                     _mm_castsi128_ps(_mm_setr_epi32(0, 0, 0, 0x3F800001)));
}

// All ones in bytes 0 to 12 when the cube is in use k steps (along +z unless told) from the run's start. Only
// whole-number positions continue a run; any other cube is left to the single path.
inline __m128i SameAsRun(const CubeRecord& cube, __m128 start, int k, const RunSteps& steps = kRunSteps) {
    const __m128 expected = _mm_add_ps(start, _mm_load_ps(steps.step[k]));
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(&cube)), _mm_castps_si128(expected));
}

inline bool AllSame(__m128i same) {
    return (_mm_movemask_epi8(same) & 0x1FFF) == 0x1FFF;
}

inline __m128i ExposedAlongRow(const uint8_t* neighbours) {
    const __m128i one = _mm_set1_epi8(1);
    return _mm_andnot_si128(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(neighbours)), one), one);
}

inline __m128i AddSide(__m128i higherSides, __m128i side) {
    return _mm_add_epi8(_mm_add_epi8(higherSides, higherSides), side);
}

// The flag bytes of two cubes of a run, eight bytes each (sides 0 to 5, then two zeros), are stored from the low or
// the high half.
inline void StoreLowFlags(CubeRecord& cube, __m128i pair) {
    const uint32_t low = static_cast<uint32_t>(_mm_cvtsi128_si32(pair));
    const uint16_t high = static_cast<uint16_t>(_mm_extract_epi16(pair, 2));
    std::memcpy(cube.faceExposed, &low, sizeof(low));
    std::memcpy(cube.faceExposed + 4, &high, sizeof(high));
}

inline void StoreHighFlags(CubeRecord& cube, __m128i pair) {
    const uint32_t low = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(pair, 8)));
    const uint16_t high = static_cast<uint16_t>(_mm_extract_epi16(pair, 6));
    std::memcpy(cube.faceExposed, &low, sizeof(low));
    std::memcpy(cube.faceExposed + 4, &high, sizeof(high));
}

// How many of the cubes from `cubes` on (at most `limit`, the first `known` of them known to) sit one after another
// from `start` along the steps' axis; four at a time, most cubes cost a load and a compare.
inline int RunLength(const CubeRecord* cubes, int limit, __m128 start, int known, const RunSteps& steps = kRunSteps) {
    int length = known;
    while (length + 4 <= limit) {
        const __m128i same = _mm_and_si128(_mm_and_si128(SameAsRun(cubes[length], start, length, steps),
                                                         SameAsRun(cubes[length + 1], start, length + 1, steps)),
                                           _mm_and_si128(SameAsRun(cubes[length + 2], start, length + 2, steps),
                                                         SameAsRun(cubes[length + 3], start, length + 3, steps)));
        if (!AllSame(same))
            break;
        length += 4;
    }
    while (length < limit && AllSame(SameAsRun(cubes[length], start, length, steps)))
        ++length;
    return length;
}

// Sets the flags of `length` cubes (1 to 16) of a run from grid cell `cell` on and marks their slots from `marks`
// on. Everything is worked out for sixteen cells at once and written out side by side rather than in loops, so
// that every compiler keeps it in registers; only the stores depend on the length.
inline void ExposeRunPart(CubeRecord* cubes, int length, const uint8_t* cell, uint8_t* marks) {
    const __m128i minusZ = ExposedAlongRow(cell - 1);
    const __m128i plusX = ExposedAlongRow(cell + kPlaneCells);
    const __m128i plusZ = ExposedAlongRow(cell + 1);
    const __m128i minusX = ExposedAlongRow(cell - kPlaneCells);
    const __m128i plusY = ExposedAlongRow(cell + kGridSize);
    const __m128i minusY = ExposedAlongRow(cell - kGridSize);

    // Every cube's mask in its byte, bit n from side n. Slots past the run are marked too; they get their own marks
    // when their turn comes.
    __m128i masks = AddSide(minusY, plusY);
    masks = AddSide(masks, minusX);
    masks = AddSide(masks, plusZ);
    masks = AddSide(masks, plusX);
    masks = AddSide(masks, minusZ);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(marks), masks);

    // The six rows turned into eight flag bytes per cube, two cubes per register.
    const __m128i zero = _mm_setzero_si128();
    const __m128i sides01Low = _mm_unpacklo_epi8(minusZ, plusX);
    const __m128i sides01High = _mm_unpackhi_epi8(minusZ, plusX);
    const __m128i sides23Low = _mm_unpacklo_epi8(plusZ, minusX);
    const __m128i sides23High = _mm_unpackhi_epi8(plusZ, minusX);
    const __m128i sides45Low = _mm_unpacklo_epi8(plusY, minusY);
    const __m128i sides45High = _mm_unpackhi_epi8(plusY, minusY);
    const __m128i sides0123Of0 = _mm_unpacklo_epi16(sides01Low, sides23Low);  // cubes 0 to 3
    const __m128i sides0123Of4 = _mm_unpackhi_epi16(sides01Low, sides23Low);
    const __m128i sides0123Of8 = _mm_unpacklo_epi16(sides01High, sides23High);
    const __m128i sides0123Of12 = _mm_unpackhi_epi16(sides01High, sides23High);
    const __m128i sides45Of0 = _mm_unpacklo_epi16(sides45Low, zero);
    const __m128i sides45Of4 = _mm_unpackhi_epi16(sides45Low, zero);
    const __m128i sides45Of8 = _mm_unpacklo_epi16(sides45High, zero);
    const __m128i sides45Of12 = _mm_unpackhi_epi16(sides45High, zero);
    const __m128i pairs[8] = {
        _mm_unpacklo_epi32(sides0123Of0, sides45Of0),   _mm_unpackhi_epi32(sides0123Of0, sides45Of0),
        _mm_unpacklo_epi32(sides0123Of4, sides45Of4),   _mm_unpackhi_epi32(sides0123Of4, sides45Of4),
        _mm_unpacklo_epi32(sides0123Of8, sides45Of8),   _mm_unpackhi_epi32(sides0123Of8, sides45Of8),
        _mm_unpacklo_epi32(sides0123Of12, sides45Of12), _mm_unpackhi_epi32(sides0123Of12, sides45Of12)};
    switch (length) {
        case 16:
            StoreHighFlags(cubes[15], pairs[7]);
            [[fallthrough]];
        case 15:
            StoreLowFlags(cubes[14], pairs[7]);
            [[fallthrough]];
        case 14:
            StoreHighFlags(cubes[13], pairs[6]);
            [[fallthrough]];
        case 13:
            StoreLowFlags(cubes[12], pairs[6]);
            [[fallthrough]];
        case 12:
            StoreHighFlags(cubes[11], pairs[5]);
            [[fallthrough]];
        case 11:
            StoreLowFlags(cubes[10], pairs[5]);
            [[fallthrough]];
        case 10:
            StoreHighFlags(cubes[9], pairs[4]);
            [[fallthrough]];
        case 9:
            StoreLowFlags(cubes[8], pairs[4]);
            [[fallthrough]];
        case 8:
            StoreHighFlags(cubes[7], pairs[3]);
            [[fallthrough]];
        case 7:
            StoreLowFlags(cubes[6], pairs[3]);
            [[fallthrough]];
        case 6:
            StoreHighFlags(cubes[5], pairs[2]);
            [[fallthrough]];
        case 5:
            StoreLowFlags(cubes[4], pairs[2]);
            [[fallthrough]];
        case 4:
            StoreHighFlags(cubes[3], pairs[1]);
            [[fallthrough]];
        case 3:
            StoreLowFlags(cubes[2], pairs[1]);
            [[fallthrough]];
        case 2:
            StoreHighFlags(cubes[1], pairs[0]);
            [[fallthrough]];
        default:
            StoreLowFlags(cubes[0], pairs[0]);
    }
}

// The first two cubes from `cubes` on are known to start a run along +z from `start` at grid cell `cell`; it goes
// on for at most `limit` slots. Sets the flags of the whole run, sixteen cubes at a time, marks its slots from
// `marks` on and returns its length.
inline int ExposeRun(CubeRecord* cubes, int limit, __m128 start, const uint8_t* cell, uint8_t* marks) {
    const __m128 sixteenAlongZ = _mm_setr_ps(0.0f, 0.0f, static_cast<float>(kRunCubes), 0.0f);
    int done = 0;
    int length = RunLength(cubes, limit < kRunCubes ? limit : kRunCubes, start, 2);
    for (;;) {
        ExposeRunPart(cubes + done, length, cell + done, marks + done);
        done += length;
        if (length < kRunCubes || done == limit)
            return done;
        start = _mm_add_ps(start, sixteenAlongZ);
        length = RunLength(cubes + done, limit - done < kRunCubes ? limit - done : kRunCubes, start, 0);
        if (length == 0)
            return done;
    }
}

// The first two cubes from `cubes` on are known to start a run the other way `way` from `start` at grid cell `cell`;
// it goes on for at most `limit` slots. Sets the flags of the run and marks its slots from `marks` on; returns its
// length. The run's cubes share no 16-byte rows of the grid, but their cells a step apart need no conversion or
// bounds check each, and two cubes are set at a time.
inline int ExposeRunOtherWay(const RunWay& way,
                             CubeRecord* cubes,
                             int limit,
                             __m128 start,
                             const uint8_t* cell,
                             uint8_t* marks) {
    int length = RunLength(cubes, limit < kRunCubes ? limit : kRunCubes, start, 2, way.steps);
    for (int part = length; part == kRunCubes && length < limit; length += part) {
        start = _mm_add_ps(start, _mm_loadu_ps(way.sixteen));
        part = RunLength(cubes + length, limit - length < kRunCubes ? limit - length : kRunCubes, start, 0, way.steps);
    }
    const int step = way.cellStep;
    int k = 0;
    for (; k + 2 <= length; k += 2) {
        const uint8_t* at = cell + k * step;
        const __m128i one = _mm_set1_epi8(1);
        const __m128i occupied = _mm_cmpeq_epi8(
            _mm_setr_epi32(static_cast<int>(AroundAlongZAndX(at)), static_cast<int>(AlongY(at)),
                           static_cast<int>(AroundAlongZAndX(at + step)), static_cast<int>(AlongY(at + step))),
            one);
        const __m128i flags = _mm_andnot_si128(occupied, one);
        StoreLowFlags(cubes[k], flags);
        StoreHighFlags(cubes[k + 1], flags);
        // Sides 0 to 5 of the first cube in bits 0 to 5, of the second in bits 8 to 13: both marks in one store.
        const auto both = static_cast<uint16_t>(~static_cast<unsigned>(_mm_movemask_epi8(occupied)) & 0x3F3Fu);
        std::memcpy(marks + k, &both, sizeof(both));
    }
    if (k < length) {
        const uint8_t* at = cell + k * step;
        marks[k] = static_cast<uint8_t>(ExposeFromNeighbours(AroundAlongZAndX(at), AlongY(at), cubes[k]));
    }
    return length;
}

// Whether the next cube may continue a run along either way of x or z: one test and one branch, as every cube that
// starts no run comes here.
inline bool NextAlongXOrZ(const CubeRecord& cube, const CubeRecord& next) {
    const float dx = next.x - cube.x;
    const float dz = next.z - cube.z;
    return dx * dx + dz * dz == 1.0f;
}

// The run the other ways that starts at a cube in grid cell (x, y, z) at `cell`, with `left` slots from it to the
// block's end: its length once its flags are set, 0 when there is none. Kept out of line, so that the single path,
// which cubes in no order take, keeps its registers.
BLOKKENVELD_NOINLINE int
ExposeRunOtherWayFrom(CubeRecord* cubes, int left, int x, int y, int z, const uint8_t* cell, uint8_t* marks) {
    // The room before the grid's edge: a run stops before 0 and 199, whose neighbour lies outside the grid.
    const RunWay* way = &kMinusZ;
    int limit = z;
    if (cubes[1].x == cubes->x + 1.0f) {
        way = &kPlusX;
        limit = kGridSize - 1 - x;
    } else if (cubes[1].x == cubes->x - 1.0f) {
        way = &kMinusX;
        limit = x;
    }
    if (limit > left)
        limit = left;
    const __m128 start = RunStart(x, y, z);
    if (limit < 2 || !AllSame(SameAsRun(cubes[1], start, 1, way->steps)))
        return 0;
    return ExposeRunOtherWay(*way, cubes, limit, start, cell, marks);
}

#endif

}  // namespace

void UpdateFaceExposureOfSlots(Scene& scene, int first, int end, uint8_t* marks) {
    CubeRecord* cube = scene.cubes + first;
    CubeRecord* const stop = scene.cubes + end;
    uint8_t* mark = marks;
    while (cube != stop) {
        if (cube->inUse != 1) {
            *mark++ = cube->inUse != 0 ? kMarkReadFlags : 0;
            ++cube;
            continue;
        }
        const int x = static_cast<int>(cube->x);
        const int y = static_cast<int>(cube->y);
        const int z = static_cast<int>(cube->z);
        if (!NeighboursInGrid(x, y, z)) {
            *mark++ = static_cast<uint8_t>(ExposeEdgeCube(scene, *cube, x, y, z));
            ++cube;
            continue;
        }
        const uint8_t* cell = scene.grid + Scene::GridIndex(x, y, z);
#if defined(BLOKKENVELD_SSE2_EXPOSURE)
        // A run needs the next slot to hold the cube one cell on along z, either way along x, or back along z: one
        // test turns most others away.
        if (cube + 1 != stop && NextAlongXOrZ(*cube, cube[1])) {
            int length = 0;
            if (cube[1].z == cube->z + 1.0f) {
                const __m128 start = RunStart(x, y, z);
                // A run stops before z = 199, whose +z neighbour lies outside the grid.
                int limit = kGridSize - 1 - z;
                if (limit > stop - cube)
                    limit = static_cast<int>(stop - cube);
                if (limit > 1 && AllSame(SameAsRun(cube[1], start, 1)))
                    length = ExposeRun(cube, limit, start, cell, mark);
            } else {
                length = ExposeRunOtherWayFrom(cube, static_cast<int>(stop - cube), x, y, z, cell, mark);
            }
            if (length > 0) {
                cube += length;
                mark += length;
                continue;
            }
        }
#endif
        *mark++ = static_cast<uint8_t>(ExposeInnerCube(cell, *cube));
        ++cube;
    }
}

void UpdateFaceExposure(Scene& scene) {
    uint8_t marks[kExposureMarkBytes];
    for (int first = 0; first <= scene.highestUsedSlot; first += kExposureSlotBlock) {
        const int end = scene.highestUsedSlot - first >= kExposureSlotBlock ? first + kExposureSlotBlock
                                                                            : scene.highestUsedSlot + 1;
        UpdateFaceExposureOfSlots(scene, first, end, marks);
    }
}

bool SceneExtent(const Scene& scene, float (&low)[3], float (&high)[3]) {
    bool any = false;
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        if (cube.inUse == 0)
            continue;
        const float at[3] = {cube.x, cube.y, cube.z};
        for (int axis = 0; axis < 3; ++axis) {
            // A cube at cell c fills c to c + 1.
            low[axis] = any ? std::min(low[axis], at[axis]) : at[axis];
            high[axis] = any ? std::max(high[axis], at[axis] + 1.0f) : at[axis] + 1.0f;
        }
        any = true;
    }
    return any;
}
