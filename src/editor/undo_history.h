// The ring of the last 100 edits and the request and latch flags that undo and redo go through.
#pragma once

#include <cstdint>

constexpr int kUndoCapacity = 100;

enum UndoKind : int32_t { kUndoAdd = 1, kUndoDelete = 2, kUndoPaint = 3 };

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
    UndoEntry entries[kUndoCapacity];
    int32_t kinds[kUndoCapacity];
    int32_t ringPosition = 0;  // where the next edit is recorded
    int32_t depth = 0;         // entries that can be undone
    int32_t redoLimit = 0;     // depth right after the last recorded edit
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
        undoAvailable = false;
        redoAvailable = false;
    }
};

struct Editor;

// Records one edit after the tool changed the scene; discards what could have been redone.
void RecordEdit(UndoHistory& history, UndoKind kind, const UndoEntry& entry);
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
