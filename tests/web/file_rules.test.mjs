// The page's file rules, called directly: where a save goes, which file the document's Save writes back, which
// kept scene a start offers, which kept files a page lets go of.
import {test} from 'node:test';
import assert from 'node:assert/strict';

import {loadRules} from './rules.mjs';

const {FileRules: rules} = loadRules('file_rules.js');
const handle = (name) => ({kind: 'file', name});

test('a save goes into the file chosen for it, the document\'s own file only for its Save, else a download', () => {
    const desk = {path: '/user/desk.bvo', handle: handle('desk.bvo')};
    // Save As "desk" in the page's own dialog: a download, whatever the document was opened from.
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/desk.bvo', handle: null}, document: desk}),
        'download');
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/desk.bvo', handle: handle('x')}}), 'chosen');
    assert.equal(rules.routeOf('/user/desk.bvo', {document: desk}), 'document');
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/shot.bmp', handle: null}, document: desk}),
        'document', 'a choice for another file does not take the Save');
    // An OBJ export's picture and materials, beside the file the picker gave.
    const obj = {path: '/user/house.obj', handle: handle('house.obj')};
    assert.equal(rules.routeOf('/user/house.mtl', {chosen: obj, canPick: true}), 'pick');
    assert.equal(rules.routeOf('/user/house.mtl', {chosen: obj}), 'download');
    assert.equal(rules.isCompanion('/user/house.png', '/user/house.obj'), true);
    assert.equal(rules.isCompanion('/user/houses.png', '/user/house.obj'), false);
});

test('the document\'s file is the one it was opened from or saved into with a handle, and no other', () => {
    const current = {path: '/user/desk.bvo', handle: handle('desk.bvo')};
    assert.equal(rules.documentFile('', {current}), null, 'New lets go of it');
    assert.equal(rules.documentFile('/user/desk.bvo', {current}), current, 'a Save keeps it');
    assert.equal(rules.documentFile('/user/desk.bvo', {current, opening: {path: '/user/desk.bvo', handle: null}}),
        null, 'a file of the same name opened without a handle takes its place');
    assert.equal(rules.documentFile('/user/tree.bvo', {current}), null);
    const opened = {path: '/user/tree.bvo', handle: handle('tree.bvo')};
    assert.equal(rules.documentFile('/user/tree.bvo', {current, opening: opened}), opened);
    assert.equal(rules.documentFile('/user/pic.bmp', {opening: {path: '/user/pic.bmp', handle: handle('pic.bmp')}}),
        null, 'an import is never written back');
    const saved = {path: '/user/new.bvo', handle: handle('new.bvo')};
    assert.equal(rules.documentFile('/user/new.bvo', {current, chosen: saved}), saved);
});

test('a start offers the newest copy whose page is gone, its own from before a reload included', () => {
    const kept = (key, time) => ({key, time, name: '', scene: ''});
    const records = [kept('RECOVERY/a', 5), kept('RECOVERY/b', 9), kept('RECOVERY/c/offered', 7), kept('RECOVERY/me', 1)];
    assert.equal(rules.sceneToOffer(records, {pageId: 'me', held: new Set(['me'])}).key, 'RECOVERY/b');
    assert.equal(rules.sceneToOffer(records, {pageId: 'me', held: new Set(['me', 'b'])}).key, 'RECOVERY/c/offered');
    assert.equal(rules.sceneToOffer(records, {pageId: 'me', held: new Set(['me', 'a', 'b', 'c'])}).key, 'RECOVERY/me');
    assert.equal(rules.sceneToOffer(records.slice(0, 3), {pageId: 'me', held: new Set(['a', 'b', 'c'])}), null);
});

test('a page lets go only of the kept files it kept itself and names no more', () => {
    assert.deepEqual(rules.keptFilesToRemove(['mine.bvp', 'tile.bmp'], ['tile.bmp']), ['mine.bvp']);
    assert.deepEqual(rules.keptFilesToRemove([], ['tile.bmp']), [], 'another tab\'s files stay');
});
