// Where the page's saves go, as sequences of the program's commands over the routing state and the kept scenes, with
// pickers, files and storage of the test's own.
import {test} from 'node:test';
import assert from 'node:assert/strict';

import {loadRules} from './rules.mjs';

const {FileRouting, KeptScenes} = loadRules('file_rules.js', 'page_rules.js', 'kept_scenes.js', 'file_routing.js');
const bytes = (text) => new TextEncoder().encode(text);
const file = (name, id = name) => ({kind: 'file', name, id});

// A page whose save picker gives the handles in picks (null: closed) where picker is set, whose own save dialog
// gives the names in names, whose storage holds at most room characters, and whose files refuse writes while their
// id is in refusing. What happened is in asked ([name, startIn id] of each picker), written ([id, text]) and
// downloads.
function fakePage({picker = false, room = Infinity} = {}) {
    const page = {picks: [], names: [], refusing: new Set(), asked: [], written: [], downloads: []};
    const stored = new Map();
    const storage = {
        get: (key) => (stored.has(key) ? stored.get(key) : null),
        set(key, value) {
            const used = [...stored].reduce((sum, [k, v]) => sum + (k === key ? 0 : v.length), 0);
            if (used + value.length > room) return false;
            stored.set(key, value);
            return true;
        },
        remove: (key) => stored.delete(key),
        names: (prefix) => [...stored.keys()].filter((key) => key.startsWith(prefix)),
    };
    let clock = 0;
    page.kept = KeptScenes.create({storage, pageId: () => 'tab', now: () => ++clock});
    page.routing = FileRouting.create({
        canPick: () => picker,
        pickSaveFile: async (name, kinds, startIn) => {
            page.asked.push([name, startIn ? startIn.id : null]);
            return page.picks.shift() ?? null;
        },
        saveDialog: async () => page.names.shift() ?? null,
        kindsOf: () => [['Blokkenveld Object (*.bvo)', '.bvo']],
        writeInto: async (handle, data) => {
            if (page.refusing.has(handle.id)) return false;
            page.written.push([handle.id, new TextDecoder().decode(data)]);
            return true;
        },
        download: (name) => page.downloads.push(name),
        keepCopy: page.kept.keepOffered,
    });
    page.storage = stored;
    return page;
}

const saved = (how) => ['written', 'offered', 'offeredUnkept'].includes(how);

// Save As as the program runs it: the dialog, the save, and the document named only when a scene was saved.
async function saveAs(page, text, copyRequired = false) {
    const path = await page.routing.chooseSaveName('object', '/user/old.bvo');
    if (path === null) return null;
    const how = await page.routing.deliver(path, bytes(text), copyRequired);
    if (saved(how) && path.endsWith('.bvo')) page.routing.documentNamed(path);
    return how;
}

// A file opened under path: named after it once it has read.
function open(page, path, handle, reads = true) {
    page.routing.startOpening(path, handle);
    if (reads) page.routing.documentNamed(path);
}

test('two download saves keep both copies, offered back newest first; storage refusing one leaves it unkept', async () => {
    const page = fakePage({room: 240});
    page.names.push('a.bvo');
    assert.equal(await saveAs(page, 'scene a'), 'offered');
    page.routing.commandOver();
    page.routing.documentNamed('');  // New
    page.routing.commandOver();
    page.names.push('b.bvo');
    assert.equal(await saveAs(page, 'scene b'), 'offered');
    page.routing.commandOver();
    // Saved again, b's copy is replaced, not added to.
    assert.equal(await page.routing.deliver('/user/b.bvo', bytes('scene b, later')), 'offered');
    assert.deepEqual(page.downloads, ['a.bvo', 'b.bvo', 'b.bvo']);
    const found = page.kept.found(new Set());
    assert.deepEqual([...found].map((f) => [f.name, f.scene, f.offered]),
        [['/user/b.bvo', 'scene b, later', true], ['/user/a.bvo', 'scene a', true]]);

    // No room for a third: still downloaded, unkept; from the save question, not handed over at all.
    const large = 'x'.repeat(100);
    assert.equal(await page.routing.deliver('/user/c.bvo', bytes(large), true), 'copyRefused');
    assert.equal(page.downloads.length, 3);
    assert.equal(await page.routing.deliver('/user/c.bvo', bytes(large)), 'offeredUnkept');
    assert.deepEqual(page.downloads.slice(3), ['c.bvo']);
    assert.deepEqual([...page.kept.found(new Set())].map((f) => f.name), ['/user/b.bvo', '/user/a.bvo']);
    // Other files need no copy.
    assert.equal(await page.routing.deliver('/user/shot.bmp', bytes(large), true), 'offered');

    // Let go one by one; a copy of another page alive stays, one that does not read goes.
    page.storage.set('RECOVERY/other/offered/d.bvo', JSON.stringify({name: '/user/d.bvo', time: 99, scene: 'd'}));
    page.storage.set('RECOVERY/gone/offered', '{broken');
    page.kept.letGo(found[0]);
    assert.deepEqual([...page.kept.found(new Set(['other']))].map((f) => f.name), ['/user/a.bvo']);
    assert.equal(page.storage.has('RECOVERY/gone/offered'), false);
});

test('a drop and its save question under the same name: each document keeps its own file', async () => {
    for (const dropReads of [true, false]) {
        const page = fakePage({picker: true});
        open(page, '/user/desk.bvo', file('desk.bvo', 'dropped'), false);
        // The question's Save As, through the picker, under the dropped file's name; then the drop opens.
        page.picks.push(file('desk.bvo', 'mine'));
        assert.equal(await saveAs(page, 'my scene'), 'written');
        if (dropReads) page.routing.documentNamed('/user/desk.bvo');
        page.routing.commandOver();
        await page.routing.deliver('/user/desk.bvo', bytes('saved again'));
        assert.deepEqual(page.written, [['mine', 'my scene'], [dropReads ? 'dropped' : 'mine', 'saved again']],
            dropReads ? 'the dropped scene goes back into the dropped file' : 'the scene saved stays with its file');
        assert.equal(page.asked.length, 1);
    }
});

test('a failed picker write forgets the file picked; a later Save asks again, and closing the picker is a cancel',
    async () => {
    const page = fakePage({picker: true});
    open(page, '/user/desk.bvo', null);
    page.routing.commandOver();
    page.refusing.add('picked');
    page.picks.push(file('desk.bvo', 'picked'));
    assert.equal(await saveAs(page, 'scene'), 'failed');
    assert.equal(await page.routing.deliver('/user/desk.bvo', bytes('scene')), 'cancelled');
    assert.deepEqual(page.asked, [['old.bvo', null], ['desk.bvo', 'picked']]);
    assert.deepEqual(page.written, []);
});

test('Save As then Save writes back into the file saved as; a download stays a download', async () => {
    const page = fakePage({picker: true});
    page.picks.push(file('a.bvo', 'a'));
    assert.equal(await saveAs(page, 'one'), 'written');
    page.routing.commandOver();
    assert.equal(await page.routing.deliver('/user/a.bvo', bytes('two')), 'written');
    assert.deepEqual(page.written, [['a', 'one'], ['a', 'two']]);
    assert.equal(page.asked.length, 1, 'no picker for the Save');

    const plain = fakePage();
    plain.names.push('b.bvo');
    assert.equal(await saveAs(plain, 'one'), 'offered');
    plain.routing.commandOver();
    assert.equal(await plain.routing.deliver('/user/b.bvo', bytes('two')), 'offered');
    assert.deepEqual(plain.downloads, ['b.bvo', 'b.bvo']);
});

test('an OBJ export\'s companions ask the picker beside it, never the document\'s file opened through a handle',
    async () => {
    const page = fakePage({picker: true});
    open(page, '/user/house.bvo', file('house.bvo', 'scene'));
    page.routing.commandOver();
    page.picks.push(file('house.obj', 'obj'), file('house.mtl', 'mtl'), null);
    assert.equal(await page.routing.chooseSaveName('object', '/user/house.bvo'), '/user/house.obj');
    assert.equal(await page.routing.deliver('/user/house.obj', bytes('o')), 'written');
    assert.equal(await page.routing.deliver('/user/house.mtl', bytes('m')), 'written');
    assert.equal(await page.routing.deliver('/user/house.png', bytes('p')), 'cancelled');
    assert.deepEqual(page.written, [['obj', 'o'], ['mtl', 'm']]);
    assert.deepEqual(page.asked, [['house.bvo', null], ['house.mtl', 'obj'], ['house.png', 'mtl']]);
    // The document's Save still goes into its own file.
    page.routing.commandOver();
    assert.equal(await page.routing.deliver('/user/house.bvo', bytes('s')), 'written');
    assert.deepEqual(page.written.at(-1), ['scene', 's']);
});
