#include "editor/editing/undo_history.h"

#include <algorithm>

#include "editor/editor.h"

namespace {

void PlaceCube(Scene& scene, const UndoEntry& entry) {
    CubeRecord& cube = scene.cubes[entry.slot];
    cube.x = entry.x;
    cube.y = entry.y;
    cube.z = entry.z;
    cube.colour = entry.colourBefore;
    cube.textured = entry.texturedBefore;
    cube.cellColumn = entry.cellColumnBefore;
    cube.cellRow = entry.cellRowBefore;
    cube.inUse = 1;
    scene.grid[Scene::GridIndex(static_cast<int>(entry.x), static_cast<int>(entry.y), static_cast<int>(entry.z))] = 1;
    ++scene.liveCubeCount;
}

void RemoveCube(Scene& scene, const UndoEntry& entry) {
    scene.cubes[entry.slot].inUse = 0;
    scene.grid[Scene::GridIndex(static_cast<int>(entry.x), static_cast<int>(entry.y), static_cast<int>(entry.z))] = 0;
    --scene.liveCubeCount;
}

// Gives a painted cube one side of its paint record; the cell only matters for a textured cube.
void ApplyPaint(CubeRecord& cube, uint32_t colour, uint8_t textured, int32_t cellColumn, int32_t cellRow) {
    cube.colour = colour;
    cube.textured = textured;
    if (textured != 0) {
        cube.cellColumn = cellColumn;
        cube.cellRow = cellRow;
    }
}

void UndoOne(Scene& scene, int32_t kind, int32_t slot, UndoEntry& entry) {
    switch (kind) {
        case kUndoAdd:
            // The cube is as the add left it (every later edit has been taken back first): it is kept here for a
            // redo, as adding a box of thousands did not have to write it out.
            entry = EntryFor(slot, scene.cubes[slot]);
            RemoveCube(scene, entry);
            break;
        case kUndoDelete:
            PlaceCube(scene, entry);
            break;
        case kUndoPaint:
            ApplyPaint(scene.cubes[entry.slot], entry.colourBefore, entry.texturedBefore, entry.cellColumnBefore,
                       entry.cellRowBefore);
            break;
    }
}

void RedoOne(Scene& scene, int32_t kind, const UndoEntry& entry) {
    switch (kind) {
        case kUndoAdd:
            PlaceCube(scene, entry);
            break;
        case kUndoDelete:
            RemoveCube(scene, entry);
            break;
        case kUndoPaint:
            ApplyPaint(scene.cubes[entry.slot], entry.colourAfter, entry.texturedAfter, entry.cellColumnAfter,
                       entry.cellRowAfter);
            break;
    }
}

// The oldest action that can be undone is forgotten, and the ring's room it took is free again.
void DropOldestAction(UndoHistory& history) {
    const int32_t oldest = (history.ringPosition - history.depth + kUndoCapacity) % kUndoCapacity;
    history.keptEdits -= history.actionEdits[oldest];
    --history.depth;
}

// The cubes of the moved edits after a mapped one taken by its map (forward) or back by the inverse: every cell they
// leave is emptied before any is taken, since a cube may move into a cell another one leaves.
void ApplyMapped(Scene& scene, const UndoHistory& history, int32_t mappedAt, bool forward) {
    const UndoEntry& mapped = history.entries[mappedAt];
    const int32_t offsets[3] = {static_cast<int32_t>(mapped.x), static_cast<int32_t>(mapped.y),
                                static_cast<int32_t>(mapped.z)};
    const CellMap map = CellMap::Unpacked(mapped.colourBefore, offsets);
    for (int32_t i = 1; i <= mapped.slot; ++i) {
        const Cell cell = CellOf(scene.cubes[history.slots[EditPosition(mappedAt, i)]]);
        scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 0;
    }
    for (int32_t i = 1; i <= mapped.slot; ++i) {
        CubeRecord& cube = scene.cubes[history.slots[EditPosition(mappedAt, i)]];
        const Cell cell = forward ? map(CellOf(cube)) : map.Inverse(CellOf(cube));
        cube.x = static_cast<float>(cell.x);
        cube.y = static_cast<float>(cell.y);
        cube.z = static_cast<float>(cell.z);
        scene.grid[Scene::GridIndex(cell.x, cell.y, cell.z)] = 1;
    }
}

}  // namespace

void BeginAction(UndoHistory& history) {
    history.actionOpen = true;
    history.openEdits = 0;
}

void RecordEditMakingRoom(UndoHistory& history, UndoKind kind, const UndoEntry& entry) {
    if (!history.actionOpen) {
        BeginAction(history);
        RecordEdit(history, kind, entry);
        EndAction(history);
        return;
    }
    if (history.openEdits == 0) {
        // What could have been redone goes, and with 100 actions kept the oldest makes room for this one.
        history.redoAvailable = false;
        history.redoLimit = history.depth;
        if (history.depth == kUndoCapacity)
            DropOldestAction(history);
    }
    // The oldest actions give up their edits until this one fits; it always does, being at most kMaxCubes.
    while (history.keptEdits == kUndoEditCapacity && history.depth > 0)
        DropOldestAction(history);
    const int32_t at = StoreEdit(history, kind, entry.slot);
    if (kind != kUndoAdd)
        history.entries[at] = entry;
}

namespace {

// Each slot as an edit of kind that keeps only its slot, as many as fit in one run before the ring wraps or older
// actions must give way.
void RecordSlots(UndoHistory& history, UndoKind kind, const int32_t* slots, int32_t count) {
    int32_t done = 0;
    while (done < count) {
        if (!EditFitsOpenAction(history)) {
            UndoEntry entry{};
            entry.slot = slots[done++];
            RecordEditMakingRoom(history, kind, entry);
            continue;
        }
        const int32_t at = history.nextEdit;
        const int32_t run = std::min({count - done, kUndoEditCapacity - history.keptEdits, kUndoEditCapacity - at});
        for (int32_t i = 0; i < run; ++i) {
            history.kinds[at + i] = kind;
            history.slots[at + i] = slots[done + i];
        }
        MoveEditEnd(history, run);
        history.openEdits += run;
        done += run;
    }
}

}  // namespace

void RecordAdds(UndoHistory& history, const int32_t* slots, int32_t count) {
    RecordSlots(history, kUndoAdd, slots, count);
}

void RecordMapped(UndoHistory& history, const CellMap& map, const int32_t* slots, int32_t count) {
    UndoEntry mapped{};
    mapped.slot = count;
    mapped.x = static_cast<float>(map.offset[0]);
    mapped.y = static_cast<float>(map.offset[1]);
    mapped.z = static_cast<float>(map.offset[2]);
    mapped.colourBefore = map.PackedAxes();
    RecordEdit(history, kUndoMapped, mapped);
    RecordSlots(history, kUndoMoved, slots, count);
}

void EndAction(UndoHistory& history) {
    history.actionOpen = false;
    if (history.openEdits == 0)
        return;
    const int32_t position = history.ringPosition;
    history.actionEdits[position] = history.openEdits;
    history.actionFirst[position] = EditPosition(history.nextEdit, -history.openEdits);
    history.ringPosition = (position + 1) % kUndoCapacity;
    ++history.depth;
    history.redoLimit = history.depth;
    history.undoAvailable = true;
    history.redoAvailable = false;
    history.openEdits = 0;
}

void UndoTriggerStep(UndoHistory& history,
                     bool ctrlDown,
                     bool zDown,
                     bool yDown,
                     bool zDownBefore,
                     bool yDownBefore,
                     bool ignoreNextClick) {
    if (zDown && !zDownBefore && ctrlDown && !ignoreNextClick) {
        if (history.undoAvailable && !history.redoLatch) {
            history.undoLatch = true;
            history.doUndo = true;
            history.busy = true;
        }
    } else if (yDown && !yDownBefore && ctrlDown && !ignoreNextClick) {
        if (history.redoAvailable && !history.undoLatch) {
            history.redoLatch = true;
            history.doRedo = true;
            history.busy = true;
        }
    } else if (!zDown && !yDown) {
        if (history.undoRequest) {
            history.doUndo = true;
            history.busy = true;
            history.undoRequest = false;
        } else if (history.redoRequest) {
            history.doRedo = true;
            history.busy = true;
            history.redoRequest = false;
        } else {
            history.busy = false;
        }
    }
}

void UndoApplyStep(Editor& editor) {
    UndoHistory& history = editor.undo;
    Scene& scene = editor.scene;
    // A request that cannot be served is dropped here, not kept for later: a refused menu undo must not be
    // carried out by a frame in which undo has become possible again.
    const bool undoRequested = history.doUndo;
    const bool redoRequested = history.doRedo;
    history.doUndo = false;
    history.doRedo = false;
    // An undone or redone edit changes the scene as much as the edit did: after a save, the file no longer
    // holds what is shown, and New, Open, a drop or closing must ask before it is thrown away.
    if ((undoRequested && history.undoAvailable) || (redoRequested && history.redoAvailable))
        editor.modified = true;
    if (undoRequested && history.undoAvailable) {
        history.redoAvailable = true;
        --history.depth;
        if (history.depth <= 0) {
            history.undoAvailable = false;
            history.depth = 0;
        }
        history.ringPosition = (history.ringPosition + kUndoCapacity - 1) % kUndoCapacity;
        // An action's edits are taken back newest first.
        // An action's edits are the last ones kept: they end where the next edit would go.
        const int32_t count = history.actionEdits[history.ringPosition];
        for (int32_t i = count - 1; i >= 0; --i) {
            const int32_t at = EditPosition(history.actionFirst[history.ringPosition], i);
            if (history.kinds[at] == kUndoMapped)
                ApplyMapped(scene, history, at, false);
            else
                UndoOne(scene, history.kinds[at], history.slots[at], history.entries[at]);
        }
        MoveEditEnd(history, -count);
    }
    if (redoRequested && history.redoAvailable) {
        ++history.depth;
        history.undoAvailable = true;
        if (history.depth >= history.redoLimit) {
            history.redoAvailable = false;
            history.depth = history.redoLimit;
        }
        const int32_t count = history.actionEdits[history.ringPosition];
        for (int32_t i = 0; i < count; ++i) {
            const int32_t at = EditPosition(history.actionFirst[history.ringPosition], i);
            if (history.kinds[at] == kUndoMapped)
                ApplyMapped(scene, history, at, true);
            else
                RedoOne(scene, history.kinds[at], history.entries[at]);
        }
        MoveEditEnd(history, count);
        history.ringPosition = (history.ringPosition + 1) % kUndoCapacity;
    }
}
