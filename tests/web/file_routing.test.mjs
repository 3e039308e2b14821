// Where the page's saves go, as sequences of the program's commands over the routing state and the kept scenes, with
// pickers, files and storage of the test's own.
import {test} from 'node:test';
import assert from 'node:assert/strict';

import {loadRules} from './rules.mjs';

const {FileRouting, KeptScenes} = loadRules('file_rules.js', 'page_rules.js', 'kept_scenes.js', 'file_routing.js');
const bytes = (text) => new TextEncoder().encode(text);
const file = (name, id) => ({kind: 'file', name, id});

// A page whose save picker (with picker) gives the handles in picks (null: closed), whose own save dialog the names
// in names, and whose storage refuses while full. It notes each picker's [name, id it starts beside], each write
// [id, text] and each download.
function fakePage(picker = false) {
    const page = {picks: [], names: [], asked: [], written: [], downloads: [], stored: new Map(), full: false};
    const storage = {get: (key) => page.stored.get(key) ?? null, remove: (key) => page.stored.delete(key),
        set: (key, value) => !page.full && Boolean(page.stored.set(key, value)),
        names: (prefix) => [...page.stored.keys()].filter((key) => key.startsWith(prefix))};
    let clock = 0;
    page.kept = KeptScenes.create({storage, pageId: () => 'tab', now: () => ++clock});
    page.routing = FileRouting.create({canPick: () => picker, kindsOf: () => [], keepCopy: page.kept.keepOffered,
        pickSaveFile: async (name, kinds, startIn) => page.asked.push([name, startIn?.id]) && (page.picks.shift() ?? null),
        saveDialog: async () => page.names.shift() ?? null,
        writeInto: async (handle, data) => handle.id !== 'refusing' &&
            Boolean(page.written.push([handle.id, new TextDecoder().decode(data)])),
        download: (name) => page.downloads.push(name)});
    return page;
}

// Save As as the program runs it: the dialog, the save, and the document named only after a scene it saved.
async function saveAs(page, text, copyRequired = false) {
    const path = await page.routing.chooseSaveName('object', '/user/old.bvo');
    const how = await page.routing.deliver(path, bytes(text), copyRequired);
    if (['written', 'offered', 'offeredUnkept'].includes(how) && path.endsWith('.bvo')) page.routing.documentNamed(path);
    return how;
}
const names = (found) => [...found].map((copy) => [copy.name, copy.scene, copy.offered]);

test('each download keeps its scene\'s copy, offered back newest first; one storage refuses is unkept', async () => {
    const page = fakePage();
    page.names.push('a.bvo', 'b.bvo');
    assert.equal(await saveAs(page, 'scene a'), 'offered');
    page.routing.documentNamed('');  // New
    assert.equal(await saveAs(page, 'scene b'), 'offered');
    assert.equal(await page.routing.deliver('/user/b.bvo', bytes('b again')), 'offered', 'its copy replaced');
    page.full = true;
    assert.equal(await page.routing.deliver('/user/c.bvo', bytes('c'), true), 'copyRefused');
    assert.equal(await page.routing.deliver('/user/c.bvo', bytes('c')), 'offeredUnkept');
    assert.equal(await page.routing.deliver('/user/shot.bmp', bytes('s'), true), 'offered', 'no copy for others');
    assert.deepEqual(page.downloads, ['a.bvo', 'b.bvo', 'b.bvo', 'c.bvo', 'shot.bmp']);
    const found = page.kept.found(new Set(['tab']));
    assert.deepEqual(names(found), [['/user/b.bvo', 'b again', true], ['/user/a.bvo', 'scene a', true]]);
    page.kept.letGo(found[0]);
    assert.deepEqual(names(page.kept.found(new Set())), [['/user/a.bvo', 'scene a', true]]);
});

test('a drop and its save question under the same name: each document keeps its own file', async () => {
    for (const dropReads of [true, false]) {
        const page = fakePage(true);
        page.routing.startOpening('/user/desk.bvo', file('desk.bvo', 'dropped'));
        page.picks.push(file('desk.bvo', 'mine'));
        assert.equal(await saveAs(page, 'my scene'), 'written');
        if (dropReads) page.routing.documentNamed('/user/desk.bvo');
        page.routing.commandOver();
        // Save, twice: it names the document again after each.
        for (const text of ['saved', 'saved again']) {
            await page.routing.deliver('/user/desk.bvo', bytes(text));
            page.routing.documentNamed('/user/desk.bvo');
        }
        assert.deepEqual(page.written.at(-1), [dropReads ? 'dropped' : 'mine', 'saved again']);
    }
});

test('a picked file that refused is forgotten: the next Save asks again, and closing that picker cancels', async () => {
    const page = fakePage(true);
    page.routing.startOpening('/user/desk.bvo', null);
    page.routing.documentNamed('/user/desk.bvo');
    page.picks.push(file('desk.bvo', 'refusing'));
    assert.equal(await saveAs(page, 'scene'), 'failed');
    assert.equal(await page.routing.deliver('/user/desk.bvo', bytes('scene')), 'cancelled');
    assert.deepEqual(page.asked, [['old.bvo', undefined], ['desk.bvo', 'refusing']]);
});

test('Save As then Save writes back into the file saved as; the export\'s companions ask beside it', async () => {
    const page = fakePage(true);
    page.picks.push(file('a.bvo', 'a'), file('a.obj', 'obj'), file('a.mtl', 'mtl'), null);
    assert.equal(await saveAs(page, 'one'), 'written');
    page.routing.commandOver();
    assert.equal(await page.routing.deliver('/user/a.bvo', bytes('two')), 'written');
    // An OBJ export while the document's file is open through its handle: never into that file.
    assert.equal(await saveAs(page, 'o'), 'written');
    assert.equal(await page.routing.deliver('/user/a.mtl', bytes('m')), 'written');
    assert.equal(await page.routing.deliver('/user/a.png', bytes('p')), 'cancelled');
    assert.equal(await page.routing.deliver('/user/a.bvo', bytes('three')), 'written');
    assert.deepEqual(page.written, [['a', 'one'], ['a', 'two'], ['obj', 'o'], ['mtl', 'm'], ['a', 'three']]);
    assert.deepEqual(page.asked.map(([name, beside]) => `${name} ${beside}`),
        ['old.bvo undefined', 'old.bvo a', 'a.mtl obj', 'a.png mtl']);
});
