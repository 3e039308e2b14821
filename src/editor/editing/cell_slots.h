// Which slot holds the cube at a cell, without a pass over the 10,000 slots: a mirrored paint or delete looks up
// the cubes at the clicked cell's images. An open-addressed table of slots keyed by cell; every slot it gives is
// checked against the slot's record, so the table may fall behind the scene (a file loaded, a box added, cubes
// deleted or undone) and still never gives a wrong slot. A cell the grid says is occupied but the table cannot find
// is looked up again after the table is rebuilt from the scene.
#pragma once

#include <cstdint>

#include "editor/editing/mirror.h"
#include "scene/scene.h"

// Three entries per slot at least, a power of two: the table is rebuilt before three quarters of it are taken, so a
// search always ends at an empty entry within a few steps.
constexpr int kCellSlotEntries = 32768;

struct CellSlots {
    int16_t entries[kCellSlotEntries];  // a slot, or -1 for an empty entry
    int32_t taken = 0;                  // entries not empty, the ones of cubes gone since included

    CellSlots() { Clear(); }
    void Clear();
};

// Notes the slot of a cube just put at a cell. When the table is too full to take it, it is left out: the first
// search for it rebuilds the table.
void NoteCellSlot(const Scene& scene, CellSlots& table, const Cell& cell, int32_t slot);

// The slot of the in-use cube at each cell (-1 where there is none); the cells lie inside the grid.
void FindSlots(const Scene& scene, CellSlots& table, const Cell* cells, int count, int32_t* slots);
