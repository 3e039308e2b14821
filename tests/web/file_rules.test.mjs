// The page's file rules, called directly: a path's name, where a save goes, which kept scenes a start offers and in
// which order, which kept files a page lets go of.
import {test} from 'node:test';
import assert from 'node:assert/strict';

import {loadRules} from './rules.mjs';

const {FileRules: rules} = loadRules('file_rules.js');
const handle = (name) => ({kind: 'file', name});

test('a path\'s name is what follows its last separator', () => {
    assert.deepEqual(['/user/sub/a.b.obj', 'plain.bvp', '/user/'].map(rules.baseName), ['a.b.obj', 'plain.bvp', '']);
});

test('a save goes into the file chosen for it, the document\'s own file only for its Save, else a download', () => {
    const desk = {path: '/user/desk.bvo', handle: handle('desk.bvo')};
    // Save As "desk" in the page's own dialog: a download, whatever the document was opened from.
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/desk.bvo', handle: null}, document: desk}),
        'download');
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/desk.bvo', handle: handle('x')}}), 'chosen');
    assert.equal(rules.routeOf('/user/desk.bvo', {document: desk}), 'document');
    assert.equal(rules.routeOf('/user/desk.bvo', {chosen: {path: '/user/shot.bmp', handle: null}, document: desk}),
        'document', 'a choice for another file does not take the Save');
    // An OBJ export's picture and materials, beside the file the picker gave, never into the document's file.
    const obj = {path: '/user/desk.obj', handle: handle('desk.obj')};
    assert.equal(rules.routeOf('/user/desk.mtl', {chosen: obj, document: desk, canPick: true}), 'pick');
    assert.equal(rules.routeOf('/user/desk.png', {chosen: obj, document: desk}), 'download');
});

test('a start offers every copy whose page is gone, its own from before a reload included, newest first', () => {
    const kept = (key, time) => ({key, time, name: '', scene: ''});
    const records = [kept('RECOVERY/a', 5), kept('RECOVERY/b', 9), kept('RECOVERY/c/offered/x.bvo', 7),
        kept('RECOVERY/me', 1), kept('RECOVERY/me/offered/y.bvo', 8)];
    const keys = (held) => rules.scenesToOffer(records, {pageId: 'me', held: new Set(held)}).map((r) => r.key).join();
    assert.equal(keys(['me']), 'RECOVERY/b,RECOVERY/me/offered/y.bvo,RECOVERY/c/offered/x.bvo,RECOVERY/a,RECOVERY/me');
    assert.equal(keys(['me', 'a', 'b', 'c']), 'RECOVERY/me/offered/y.bvo,RECOVERY/me');
    assert.equal(rules.scenesToOffer(records.slice(0, 3), {pageId: 'me', held: new Set(['a', 'b', 'c'])}).length, 0);
});

test('a page lets go only of the kept files it kept itself and names no more', () => {
    assert.deepEqual(rules.keptFilesToRemove(['mine.bvp', 'tile.bmp'], ['tile.bmp']), ['mine.bvp']);
    assert.deepEqual(rules.keptFilesToRemove([], ['tile.bmp']), [], 'another tab\'s files stay');
});
