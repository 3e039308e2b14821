#include "editor/editing/cell_slots.h"

#include <algorithm>

namespace {

constexpr uint32_t kEntryMask = kCellSlotEntries - 1;
constexpr int32_t kMostTaken = kCellSlotEntries / 4 * 3;
// A note that would search further than this leaves its cube to the next rebuild.
constexpr int kLongestNote = 64;

// Where the search for a cell starts: its grid index with the bits mixed (the finaliser of MurmurHash3), since
// cubes sit on a lattice that plain multiplicative hashing folds onto a few runs of the table.
uint32_t FirstEntry(const Cell& cell) {
    auto h = static_cast<uint32_t>(Scene::GridIndex(cell.x, cell.y, cell.z));
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h & kEntryMask;
}

uint32_t NextEntry(uint32_t entry) {
    return (entry + 1) & kEntryMask;
}

// Whether the slot holds an in-use cube standing at the cell: every slot the table gives is checked so.
bool SlotHoldsCell(const Scene& scene, int32_t slot, const Cell& cell) {
    if (slot > scene.highestUsedSlot)
        return false;
    const CubeRecord& cube = scene.cubes[slot];
    return cube.inUse != 0 && cube.x == static_cast<float>(cell.x) && cube.y == static_cast<float>(cell.y) &&
           cube.z == static_cast<float>(cell.z);
}

int32_t Search(const Scene& scene, const CellSlots& table, const Cell& cell) {
    for (uint32_t entry = FirstEntry(cell);; entry = NextEntry(entry)) {
        const int32_t slot = table.entries[entry];
        if (slot < 0)
            return -1;
        if (SlotHoldsCell(scene, slot, cell))
            return slot;
    }
}

// Every in-use cube inside the grid, and nothing else; at most kMaxCubes entries, so each finds an empty one.
void Rebuild(const Scene& scene, CellSlots& table) {
    table.Clear();
    for (int32_t slot = 0; slot <= scene.highestUsedSlot; ++slot) {
        const CubeRecord& cube = scene.cubes[slot];
        const Cell cell = CellOf(cube);
        if (cube.inUse == 0 || !Scene::InGrid(cell.x, cell.y, cell.z))
            continue;
        uint32_t entry = FirstEntry(cell);
        while (table.entries[entry] >= 0)
            entry = NextEntry(entry);
        table.entries[entry] = static_cast<int16_t>(slot);
        ++table.taken;
    }
}

}  // namespace

void CellSlots::Clear() {
    std::fill(entries, entries + kCellSlotEntries, int16_t{-1});
    taken = 0;
}

void NoteCellSlot(const Scene& scene, CellSlots& table, const Cell& cell, int32_t slot) {
    // An entry on the way whose slot is free, or is this slot, names no cube any more and is taken over, so that
    // adding and undoing at one cell does not lengthen its search.
    uint32_t entry = FirstEntry(cell);
    for (int step = 0; step < kLongestNote; ++step, entry = NextEntry(entry)) {
        const int32_t held = table.entries[entry];
        if (held >= 0 && held != slot && scene.cubes[held].inUse != 0)
            continue;
        if (held < 0) {
            if (table.taken >= kMostTaken)
                return;
            ++table.taken;
        }
        table.entries[entry] = static_cast<int16_t>(slot);
        return;
    }
}

void FindSlots(const Scene& scene, CellSlots& table, const Cell* cells, int count, int32_t* slots) {
    bool rebuilt = false;
    for (int i = 0; i < count; ++i) {
        const Cell& cell = cells[i];
        slots[i] = -1;
        if (scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] == 0)
            continue;
        slots[i] = Search(scene, table, cell);
        if (slots[i] < 0 && !rebuilt) {
            Rebuild(scene, table);
            rebuilt = true;
            slots[i] = Search(scene, table, cell);
        }
    }
}
