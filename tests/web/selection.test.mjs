// A part of the model in the page, through the page's clipboard events (raised by Chromium's Ctrl+C, X and V), the
// Edit menu's asynchronous clipboard and the keys.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {openProgram, project, suiteRig} from './browser.mjs';

describe('selection', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-selection-');

    test('Ctrl drag, Ctrl+C, Ctrl+V on a face, Shift+Left, R, Ctrl+S; a cut; clipboards without cubes', async () => {
        // Red and green in a row, blue on red, a textured cube in front of green: slots 0 to 3.
        rig.server.extra.set('part.bvo', 'Blokkenveld\n1 1\n3\n100 100 100 ffff0000\n101 100 100 ff00ff00\n' +
            '100 101 100 ff0000ff\ntex.bmp\n1\n101 100 101 2 0\n');
        const program = await openProgram(rig.chromium.browser, rig.server.url, {query: 'open=extra/part.bvo'});
        const {page} = program;
        await page.evaluate(() => ['copy', 'cut'].forEach((type) => addEventListener(type,  // the text carried out
            (e) => (window.copied ??= []).push(e.clipboardData.getData('text')))));
        // From red's front side to the textured cube's: three cubes, not blue above red.
        const state = await program.state();
        await page.keyboard.down('Control');
        await program.drag(project(state, [100.5, 100.5, 101]), project(state, [101.5, 100.5, 102]));
        await page.keyboard.up('Control');
        assert.deepEqual((await program.state()).selection, [100, 100, 100, 101, 100, 101]);
        await program.key('c', {modifiers: ['Control']});
        assert.deepEqual(await page.evaluate(() => copied),
            ['Blokkenveld\n1 1\n2\n0 0 0 ffff0000\n1 0 0 ff00ff00\ntex.bmp\n1\n1 0 1 2 0\n']);
        // Onto blue's top, lowest x and z those of blue; as the camera starts, the view's left is +x; then a turn.
        await program.move(...project(state, [100.5, 102, 100.5]));
        await program.key('v', {modifiers: ['Control']});
        await program.key('ArrowLeft', {modifiers: ['Shift'], repeats: 1});  // held: a second cell
        await program.key('r', {repeats: 1});  // held: one turn
        await program.key('s', {modifiers: ['Control'], frames: 0});
        assert.equal((await program.box()).message, '上書き保存します。よろしいですか？');
        await page.keyboard.press('y');
        assert.equal((await program.download('part.bvo')).toString('latin1'), 'Blokkenveld\r\n1 1\r\n5\r\n' +
            '100 100 100 ffff0000\r\n101 100 100 ff00ff00\r\n100 101 100 ff0000ff\r\n102 102 101 ffff0000\r\n' +
            '102 102 100 ff00ff00\r\ntex.bmp\r\n2\r\n101 100 101 2 0\r\n103 102 100 2 0\r\n');
        // Another program's text pasted greys Paste, the cut event's copy offers it again; the menu's Copy goes through
        // the copy event where the asynchronous write is refused (the cut undone: the same text), a refused read asks.
        const origin = rig.server.url.replace(/\/$/, '');
        await program.context.overridePermissions(origin, ['clipboard-read', 'clipboard-sanitized-write']);
        const shoppingList = () => page.evaluate(() => navigator.clipboard.writeText('a shopping list'));
        await shoppingList();
        await program.key('v', {modifiers: ['Control'], frames: 0});
        assert.equal((await program.box()).message, 'クリップボードの内容はキューブではありません');
        await page.keyboard.press('Enter');
        assert.ok(await page.$eval('[data-command="40024"]', (paste) => paste.classList.contains('disabled')));
        await program.key('x', {modifiers: ['Control']});
        await program.key('z', {modifiers: ['Control']});
        await shoppingList();
        await program.menu('e', 'p');
        assert.equal((await program.box()).message, 'クリップボードの内容はキューブではありません');
        await page.keyboard.press('Enter');
        await page.evaluate(() => { navigator.clipboard.writeText = () => Promise.reject(new Error('refused')); });
        await program.menu('e', 'c');
        await page.waitForFunction(() => copied.length === 3 && copied[1] === copied[2]);
        await program.context.overridePermissions(origin, []);
        await program.menu('e', 'p');
        assert.match((await program.box()).message, /^ブラウザーがクリップボードの読み取りを許可していません。Ctrl\+V キー/);
        const after = await program.state();
        assert.deepEqual([after.cubes, after.undoAvailable, after.redoAvailable, program.errors], [7, true, true, []]);
        await program.close();
    });
});
