// The paint window and the status strip in the page: the panel dragged by its title strip and kept inside, its
// white reset asking first, both panels hidden from the View menu, and the canvas following the page's size.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {differences, MENU_BAR, openProgram, project, suiteRig, VIEW} from './browser.mjs';

const PANEL = {left: 0, top: 0, right: 158, bottom: 503};
const RESET_BUTTON = [95, 216];

// The panel's pixels at one place in a picture against another place in another.
function panelMoved(from, to, dx, dy) {
    let differing = 0;
    for (let y = 0; y < 503; ++y) {
        for (let x = 0; x < 158; ++x) {
            const a = from.pixel(x, y), b = to.pixel(x + dx, y + dy);
            if (a[0] !== b[0] || a[1] !== b[1] || a[2] !== b[2]) ++differing;
        }
    }
    return differing;
}

async function chooseFromMenu(program, menuKey, itemKey) {
    await program.page.keyboard.down('Alt');
    await program.page.keyboard.press(menuKey);
    await program.page.keyboard.up('Alt');
    await program.page.keyboard.press(itemKey);
    await program.frames(3);
}

describe('the panels', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-panels-');

    test('the paint window follows a drag of its title strip and stays inside the view', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const start = await program.shot();
        await program.drag([80, 10], [380, 60]);
        let state = await program.state();
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [300, 50]);
        const moved = await program.shot();
        await program.save(moved, 'panel_moved');
        // The whole panel, body, pieces, quads and numbers, sits 300 right and 50 down.
        assert.equal(panelMoved(start, moved, 300, 50), 0);

        // Beyond the edges it stops: at 0 on the left and top, at the size less 158 by 519 on the right and bottom.
        await program.drag([380, 60], [10, 5]);
        state = await program.state();
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [0, 0]);
        await program.drag([80, 10], [790, 590]);
        state = await program.state();
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [800 - 158, 600 - 519]);
        // A drag over the panel's title never edits the scene behind it.
        assert.equal(state.cubes, 1);
        await program.close();
    });

    test('the white reset asks first and only Yes clears the palette', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const start = await program.shot();
        // The question comes in the frame that sees the button let go, which then waits for the answer.
        const pressReset = async () => {
            await program.move(...RESET_BUTTON);
            await program.page.mouse.down();
            await program.frames(2);
            await program.page.mouse.up();
        };
        await pressReset();
        assert.deepEqual(await program.box(), {title: '確認', message: 'パレットを白で初期化します。よろしいですか？',
            buttons: ['はい(Y)', 'いいえ(N)']});
        // The frame waits for the answer: no frames are drawn while the box is open.
        const frames = await program.page.evaluate(() => Blokkenveld.frames);
        await new Promise((resolve) => setTimeout(resolve, 300));
        assert.equal(await program.page.evaluate(() => Blokkenveld.frames), frames);
        await program.page.keyboard.press('n');
        await program.boxGone();
        await program.frames(3);
        const kept = await program.shot();
        assert.equal(differences(kept, start, {left: 25, top: 78, right: 153, bottom: 206}), 0, 'No keeps the palette');

        await pressReset();
        await program.box();
        await program.page.click('.box button');  // はい(Y)
        await program.boxGone();
        await program.frames(3);
        const white = await program.shot();
        for (const [x, y] of [[57, 86], [140, 200], [90, 150]])
            assert.deepEqual(white.pixel(x, y), [255, 255, 255], `palette cell at ${x},${y} is white`);
        await program.close();
    });

    test('View hides the paint window and the status strip; their areas still keep clicks from the scene', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const start = await program.shot();
        await chooseFromMenu(program, 'v', 'p');
        await chooseFromMenu(program, 'v', 's');
        const state = await program.state();
        assert.equal(state.paintWindow.shown, false);
        assert.equal(state.statusShown, false);
        const hidden = await program.shot();
        await program.save(hidden, 'panels_hidden');
        const checks = await program.page.evaluate(() => [40008, 40009].map((c) =>
            document.querySelector(`[data-command="${c}"]`).classList.contains('checked')));
        assert.deepEqual(checks, [false, false], 'the View items lose their check marks');
        // Only the background is left where the panels were.
        for (const [x, y] of [[10, 10], [80, 300], [150, 500], [400, 591]])
            assert.deepEqual(hidden.pixel(x, y), [0, 0, 0]);
        assert.equal(differences(hidden, start, VIEW), 0, 'the view itself is unchanged');
        // A click in the hidden panel's rectangle adds nothing, even on a cube behind it.
        await program.click(60, 300);
        assert.equal((await program.state()).cubes, 1);

        await chooseFromMenu(program, 'v', 'p');
        assert.equal(differences(await program.shot(), start, PANEL), 0, 'shown again, the panel is as it was');
        await program.close();
    });

    test('a bar grab ends when the pointer leaves the view, and a held button coming back does nothing', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        // The red bar runs from x 52 to 116 of the panel at y 264 to 276; its value is (edge - 52) x 4.
        await program.move(100, 270);
        await program.press();
        await program.move(80, 270);
        assert.equal((await program.state()).colour >>> 16 & 255, (80 - 52) * 4, 'the bar follows the pointer');
        // Up onto the menu bar, above the view, and back, the button held all the while.
        await program.move(80, -10, 4);
        await program.move(60, 270, 4);
        await program.move(60, 272);
        const state = await program.state();
        assert.equal(state.colour >>> 16 & 255, (80 - 52) * 4, 'the bar stopped where the pointer left the view');
        await program.release();
        // Pressed again inside, it follows again.
        await program.move(70, 270);
        await program.press();
        await program.move(64, 270);
        assert.equal((await program.state()).colour >>> 16 & 255, (64 - 52) * 4);
        await program.release();
        await program.close();
    });

    test('the canvas follows the page\'s size and keeps the panel inside', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await program.drag([80, 10], [790, 590]);
        await program.page.setViewport({width: 1024, height: 768 + MENU_BAR, deviceScaleFactor: 1});
        await program.frames(3);
        let state = await program.state();
        assert.deepEqual(state.client, [1024, 768]);
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [642, 81], 'a larger view leaves the panel');
        let shot = await program.shot();
        assert.equal(shot.width, 1024);
        // The cube stays in the middle of the larger view, where the pick finds it.
        await program.click(...project(state, [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().cubes === 2, {timeout: 15000});

        await program.page.setViewport({width: 700, height: 560 + MENU_BAR, deviceScaleFactor: 1});
        await program.frames(3);
        state = await program.state();
        assert.deepEqual(state.client, [700, 560]);
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [700 - 158, 560 - 519]);
        shot = await program.shot();
        await program.save(shot, 'resized');
        // The strip runs along the new bottom edge, its right end at the new right edge.
        assert.notDeepEqual(shot.pixel(698, 556), [0, 0, 0]);
        assert.notDeepEqual(shot.pixel(400, 556), [0, 0, 0]);
        assert.deepEqual(shot.pixel(400, 540), [0, 0, 0]);
        await program.close();
    });
});
