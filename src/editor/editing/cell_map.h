// A map of grid cells that moves, mirrors or turns them: each output axis takes one input axis, maybe negated, plus
// an offset. The selection's move, flips and quarter turn are such maps, and the undo history keeps one for a whole
// action instead of a record for each cube it moved.
#pragma once

#include <cstdint>

#include "scene/scene.h"

struct CellMap {
    // Output axis i takes input axis from[i] times sign[i]: a matrix of -1, 0 and 1, kept whole so that mapping a
    // cell is nine multiplications in registers.
    int32_t m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    int32_t offset[3] = {0, 0, 0};

    // Output axis `axis` takes input axis `from`, negated when sign is -1.
    void Take(int axis, int from, int32_t sign) {
        for (int in = 0; in < 3; ++in)
            m[axis][in] = in == from ? sign : 0;
    }
    Cell operator()(const Cell& c) const {
        return {m[0][0] * c.x + m[0][1] * c.y + m[0][2] * c.z + offset[0],
                m[1][0] * c.x + m[1][1] * c.y + m[1][2] * c.z + offset[1],
                m[2][0] * c.x + m[2][1] * c.y + m[2][2] * c.z + offset[2]};
    }
    // The cell that maps to c: the matrix is a signed permutation, its inverse its transpose.
    Cell Inverse(const Cell& c) const {
        const int32_t d[3] = {c.x - offset[0], c.y - offset[1], c.z - offset[2]};
        return {m[0][0] * d[0] + m[1][0] * d[1] + m[2][0] * d[2], m[0][1] * d[0] + m[1][1] * d[1] + m[2][1] * d[2],
                m[0][2] * d[0] + m[1][2] * d[1] + m[2][2] * d[2]};
    }
    // The matrix in nine bits, three an output axis (the input axis, and 4 when negated), for a record that keeps
    // the map.
    uint32_t PackedAxes() const {
        uint32_t bits = 0;
        for (int axis = 0; axis < 3; ++axis) {
            for (int in = 0; in < 3; ++in) {
                if (m[axis][in] != 0)
                    bits |= (static_cast<uint32_t>(in) | (m[axis][in] < 0 ? 4u : 0u)) << (3 * axis);
            }
        }
        return bits;
    }
    static CellMap Unpacked(uint32_t axes, const int32_t (&offsets)[3]) {
        CellMap map;
        for (int axis = 0; axis < 3; ++axis) {
            const uint32_t bits = axes >> (3 * axis);
            map.Take(axis, static_cast<int>(bits & 3u), (bits & 4u) != 0 ? -1 : 1);
            map.offset[axis] = offsets[axis];
        }
        return map;
    }
};
