// Working on a part of the model in the page: a Ctrl drag selects, the clipboard goes through the page's own copy,
// cut and paste events (raised by Chromium's Ctrl+C, Ctrl+X and Ctrl+V) and the Edit menu's asynchronous clipboard,
// and the keys move and turn the pasted cubes; the saved file's bytes tell the result.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {countColour, MENU_BAR, openProgram, project, suiteRig} from './browser.mjs';

// Red and green in a row, blue on red, a textured cube in front of green, in the editor's slots 0 to 3.
const SCENE = 'Blokkenveld\n1 1\n3\n100 100 100 ffff0000\n101 100 100 ff00ff00\n100 101 100 ff0000ff\ntex.bmp\n1\n' +
    '101 100 101 2 0\n';
const OUTLINE = [255, 140, 0];

async function start(rig) {
    rig.server.extra.set('part.bvo', SCENE);
    const program = await openProgram(rig.chromium.browser, rig.server.url, {query: 'open=extra/part.bvo'});
    // The clipboard's text each copy or cut event carried, as it left the page.
    await program.page.evaluate(() => {
        window.copied = [];
        for (const type of ['copy', 'cut'])
            window.addEventListener(type, (event) => copied.push(event.clipboardData.getData('text/plain')));
    });
    return program;
}

// Ctrl and a key, not waiting for frames: a box may stop them.
async function ctrlKey(program, key) {
    await program.page.keyboard.down('Control');
    await program.page.keyboard.press(key);
    await program.page.keyboard.up('Control');
}

async function until(program, test, what) {
    await program.page.waitForFunction(test, {timeout: 15000}).catch(() => { throw new Error(`no ${what}`); });
    await program.frames(2);
}

describe('selection', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-selection-');

    test('Ctrl drag, Ctrl+C, Ctrl+V on a face, Shift+Left and R, saved with Ctrl+S', async () => {
        const program = await start(rig);
        const {page} = program;
        const state = await program.state();
        const at = (point) => project(state, point);
        assert.equal(countColour(await program.shot(), OUTLINE), 0);

        // From red's front side to the textured cube's: the box of their cells holds three cubes, not blue above.
        await page.keyboard.down('Control');
        await program.drag(at([100.5, 100.5, 101]), at([101.5, 100.5, 102]));
        await page.keyboard.up('Control');
        assert.deepEqual((await program.state()).selection, [100, 100, 100, 101, 100, 101]);
        assert.equal((await program.state()).selected, 3);
        assert.ok(countColour(await program.shot(), OUTLINE) > 50, 'the selection is outlined in its colour');

        await program.key('c', {modifiers: ['Control']});
        assert.deepEqual(await page.evaluate(() => copied), ['Blokkenveld\n1 1\n2\n0 0 0 ffff0000\n1 0 0 ff00ff00\n' +
            'tex.bmp\n1\n1 0 1 2 0\n']);
        // Onto blue's top: the block stands on it, its lowest x and z those of blue.
        await program.move(...at([100.5, 102, 100.5]));
        await program.key('v', {modifiers: ['Control']});
        await until(program, () => Module.editorState().cubes === 7, 'paste');
        assert.deepEqual((await program.state()).selection, [100, 102, 100, 101, 102, 101]);
        // As the camera starts, the view's left is +x; then a quarter turn about the box's middle.
        await program.key('ArrowLeft', {modifiers: ['Shift']});
        await until(program, () => Module.editorState().selection[0] === 101, 'move');
        await program.key('r');
        assert.equal((await program.state()).cubes, 7);

        await ctrlKey(program, 's');
        assert.equal((await program.box()).message, '上書き保存します。よろしいですか？');
        await page.keyboard.press('y');
        const saved = (await program.download('part.bvo')).toString('latin1');
        assert.equal(saved, ['Blokkenveld', '1 1', '5', '100 100 100 ffff0000', '101 100 100 ff00ff00',
            '100 101 100 ff0000ff', '101 102 101 ffff0000', '101 102 100 ff00ff00', 'tex.bmp', '2',
            '101 100 101 2 0', '102 102 100 2 0', ''].join('\r\n'));
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('a cut is one undo step; text that is no scene and a refused read change nothing', async () => {
        const program = await start(rig);
        const {page} = program;
        const origin = rig.server.url.replace(/\/$/, '');
        const edit = async () => page.evaluate(() => Array.from(document.querySelectorAll('#menubar .menu')[1]
            .querySelectorAll('.item')).filter((item) => !item.classList.contains('disabled')).length);
        assert.equal(await edit(), 1, 'only Select All without a selection');
        // Nothing selected: Ctrl+X and Del leave the scene.
        await program.key('x', {modifiers: ['Control']});
        await program.key('Delete');
        assert.equal((await program.state()).cubes, 4);

        await program.key('a', {modifiers: ['Control']});
        assert.equal(await edit(), 10, 'all but Paste, with nothing copied yet');
        await program.key('x', {modifiers: ['Control']});
        // The last cube stays, as a delete box leaves it.
        await until(program, () => Module.editorState().cubes === 1, 'cut');
        assert.equal((await page.evaluate(() => copied.filter((text) => text !== ''))).length, 1);
        await program.key('z', {modifiers: ['Control']});
        await until(program, () => Module.editorState().cubes === 4, 'undo');
        await program.key('Escape');
        assert.equal((await program.state()).selection, null);

        // Another program's text on the clipboard, through the menu and through the paste event.
        await program.context.overridePermissions(origin, ['clipboard-read', 'clipboard-sanitized-write']);
        await page.evaluate(() => navigator.clipboard.writeText('a shopping list'));
        await program.menu('e', 'p');
        assert.equal((await program.box()).message, 'クリップボードの内容はキューブではありません');
        await page.keyboard.press('Enter');
        await program.boxGone();
        await ctrlKey(program, 'v');
        assert.equal((await program.box()).message, 'クリップボードの内容はキューブではありません');
        await page.keyboard.press('Enter');
        const after = await program.state();
        assert.equal(after.cubes, 4);
        assert.deepEqual([after.undoAvailable, after.redoAvailable], [false, true], 'no step but the cut undone');

        // The menu's Copy writes through the asynchronous clipboard; its Paste, refused, asks for Ctrl+V.
        await program.key('a', {modifiers: ['Control']});
        await program.menu('e', 'c');
        await until(program, () => navigator.clipboard.readText().then((text) => text.startsWith('Blokken')),
            'copy from the menu');
        await program.context.overridePermissions(origin, []);
        await program.menu('e', 'p');
        assert.equal((await program.box()).message,
            'ブラウザーがクリップボードの読み取りを許可していません。Ctrl+V キーで貼り付けてください');
        await page.keyboard.press('Enter');
        await program.boxGone();
        assert.equal((await program.state()).cubes, 4);
        assert.deepEqual(program.errors, []);
        await program.close();
    });
});
