// The last 100 actions, each of one or more edits undone and redone together (a click, a mirrored click, a box),
// and the request and latch flags that undo and redo go through. The edits of all actions share one ring of fixed
// size: an action too large for what is left pushes the oldest actions out, and the newest is always kept whole.
#pragma once

#include <cstdint>

#include "editor/editing/cell_map.h"
#include "scene/scene.h"

constexpr int kUndoCapacity = 100;  // actions
// Edits the ring holds: more than the largest action (a box or a mirrored box touches each cube once, and there are
// at most kMaxCubes), so the newest action always fits.
constexpr int kUndoEditCapacity = 3 * kMaxCubes;

// A mapped edit stands for a map of cells (its entry keeps the map and how many moved edits follow it); each moved
// edit names the slot of a cube the map took, which an undo takes back by the inverse map.
enum UndoKind : int32_t { kUndoAdd = 1, kUndoDelete = 2, kUndoPaint = 3, kUndoMapped = 4, kUndoMoved = 5 };

struct UndoEntry {
    int32_t slot;   // cube slot the edit touched
    float x, y, z;  // position of an added or deleted cube
    uint32_t colourBefore;
    int32_t cellColumnBefore, cellRowBefore;
    uint8_t texturedBefore;
    uint32_t colourAfter;  // paint only
    int32_t cellColumnAfter, cellRowAfter;
    uint8_t texturedAfter;
};

struct UndoHistory {
    UndoEntry entries[kUndoEditCapacity];  // the edits, a ring; an add's only once it has been undone
    int32_t kinds[kUndoEditCapacity];
    int32_t slots[kUndoEditCapacity];    // each edit's cube slot
    int32_t actionFirst[kUndoCapacity];  // each action's first edit in the ring, and how many it has
    int32_t actionEdits[kUndoCapacity];
    int32_t ringPosition = 0;  // where the next action is recorded
    int32_t depth = 0;         // actions that can be undone
    int32_t redoLimit = 0;     // depth right after the last recorded action
    int32_t nextEdit = 0;      // where the next edit goes in the ring of edits
    int32_t keptEdits = 0;     // edits of the actions that can be undone, and of the open one
    bool actionOpen = false;   // BeginAction was called and EndAction not yet
    int32_t openEdits = 0;     // edits of the open action so far
    bool undoAvailable = false;
    bool redoAvailable = false;
    bool undoRequest = false;  // raised by the Undo menu command
    bool redoRequest = false;
    bool doUndo = false;  // carry out an undo in this frame
    bool doRedo = false;
    bool undoLatch = false;  // an undo trigger is still held; blocks redo
    bool redoLatch = false;
    bool busy = false;  // a keyboard or menu trigger is in progress

    void Empty() {
        depth = 0;
        ringPosition = 0;
        nextEdit = 0;
        keptEdits = 0;
        actionOpen = false;
        openEdits = 0;
        undoAvailable = false;
        redoAvailable = false;
    }
};

struct Editor;

// A cube's record as an add or a delete keeps it: its slot, position and look (the "before" fields).
inline UndoEntry EntryFor(int32_t slot, const CubeRecord& cube) {
    UndoEntry entry{};
    entry.slot = slot;
    entry.x = cube.x;
    entry.y = cube.y;
    entry.z = cube.z;
    entry.colourBefore = cube.colour;
    entry.cellColumnBefore = cube.cellColumn;
    entry.cellRowBefore = cube.cellRow;
    entry.texturedBefore = cube.textured;
    return entry;
}
// Opens an action: the edits recorded until EndAction are undone and redone as one.
void BeginAction(UndoHistory& history);
// The ring's position count edits on from at (count may be negative, down to -kUndoEditCapacity).
inline int32_t EditPosition(int32_t at, int32_t count) {
    const int32_t position = at + count;
    return position >= kUndoEditCapacity ? position - kUndoEditCapacity
           : position < 0                ? position + kUndoEditCapacity
                                         : position;
}
// The one place the kept edits change: count edits more (or fewer, when negative) end at the next edit's position.
inline void MoveEditEnd(UndoHistory& history, int32_t count) {
    history.nextEdit = EditPosition(history.nextEdit, count);
    history.keptEdits += count;
}
// Puts an edit's kind and slot into the ring as the open action's next edit and returns where; there is room.
inline int32_t StoreEdit(UndoHistory& history, UndoKind kind, int32_t slot) {
    const int32_t at = history.nextEdit;
    history.kinds[at] = kind;
    history.slots[at] = slot;
    MoveEditEnd(history, 1);
    ++history.openEdits;
    return at;
}
// Whether an edit goes straight into the open action: it is not the action's first and older actions need not make
// room. A box records thousands of edits this way, inline.
inline bool EditFitsOpenAction(const UndoHistory& history) {
    return history.actionOpen && history.openEdits > 0 && history.keptEdits < kUndoEditCapacity;
}
// RecordEdit for an edit outside an action, the first of one, or one that older actions must make room for.
void RecordEditMakingRoom(UndoHistory& history, UndoKind kind, const UndoEntry& entry);
// Records one edit after the tool changed the scene, into the open action or, outside one, as an action of its own.
// The first edit of an action discards what could have been redone. An add keeps only its slot until it is undone.
inline void RecordEdit(UndoHistory& history, UndoKind kind, const UndoEntry& entry) {
    if (!EditFitsOpenAction(history)) {
        RecordEditMakingRoom(history, kind, entry);
        return;
    }
    const int32_t at = StoreEdit(history, kind, entry.slot);
    if (kind != kUndoAdd)
        history.entries[at] = entry;
}
// RecordEdit of an add, which needs only the slot: the history reads the cube back when the add is undone.
inline void RecordAdd(UndoHistory& history, int32_t slot) {
    if (EditFitsOpenAction(history)) {
        StoreEdit(history, kUndoAdd, slot);
        return;
    }
    UndoEntry added{};
    added.slot = slot;
    RecordEditMakingRoom(history, kUndoAdd, added);
}
// RecordAdd of each slot in turn.
void RecordAdds(UndoHistory& history, const int32_t* slots, int32_t count);
// A map of cells applied to the cubes in slots (which the caller moves itself): one mapped edit and a moved edit per
// slot, in the open action.
void RecordMapped(UndoHistory& history, const CellMap& map, const int32_t* slots, int32_t count);
// Closes the action; one that recorded no edit leaves the history as it was.
void EndAction(UndoHistory& history);
// Decides do undo / do redo from a fresh Ctrl+Z or Ctrl+Y press or a menu request.
void UndoTriggerStep(UndoHistory& history,
                     bool ctrlDown,
                     bool zDown,
                     bool yDown,
                     bool zDownBefore,
                     bool yDownBefore,
                     bool ignoreNextClick);
// Carries out do undo, then do redo, on the editor's scene; either marks the scene modified.
void UndoApplyStep(Editor& editor);
