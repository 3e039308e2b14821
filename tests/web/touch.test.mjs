// Fingers on the page, as a touch screen sends them: a drag turns the camera, a pinch zooms it in wheel notches, a
// tap adds a cube, a press held still and dragged adds a box, and the menus answer taps; the mouse is as it was.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {MENU_BAR, openProgram, project, suiteRig} from './browser.mjs';

const START = {yaw: -4.18879, pitch: 0.785398, distance: 8};
const RADIANS_PER_PIXEL = 0.01636246;
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Fingers in client pixels of the canvas, each step followed by a frame: fingers(program, [[x, y], ...]) puts them
// there (touching down the new ones), fingers(program, []) lifts them all.
async function fingers(program, points, {frames = 1} = {}) {
    const cdp = program.cdp ??= await program.page.createCDPSession();
    const now = points.map(([x, y], id) => ({x, y: y + MENU_BAR, id}));
    const type = now.length === 0 ? 'touchEnd' : now.length > (program.touching ?? 0) ? 'touchStart' : 'touchMove';
    program.touching = now.length;
    await cdp.send('Input.dispatchTouchEvent', {type, touchPoints: now});
    if (frames > 0) await program.frames(frames);
}

describe('touch', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-touch-');

    test('a one-finger drag turns the camera as the right button does, two fingers pinch in notches, the panel drags', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        for (let step = 0; step <= 6; ++step) await fingers(program, [[500 + 10 * step, 400 - 3 * step]]);
        await fingers(program, [], {frames: 2});
        let {camera} = await program.state();
        assert.ok(Math.abs(camera.yaw - (START.yaw - 60 * RADIANS_PER_PIXEL)) < 1e-4, `yaw ${camera.yaw}`);
        assert.ok(Math.abs(camera.pitch - (START.pitch - 18 * RADIANS_PER_PIXEL)) < 1e-4, `pitch ${camera.pitch}`);
        // Fingers 100 pixels apart spread to 180: two notches nearer than the master zoom of 9.
        await fingers(program, [[400, 300]]);
        await fingers(program, [[400, 300], [500, 300]]);
        await fingers(program, [[380, 300], [560, 300]], {frames: 2});
        await fingers(program, []);
        ({camera} = await program.state());
        assert.ok(Math.abs(camera.distance - 5) < 1e-6, `distance ${camera.distance}`);
        // A finger on the paint panel's title strip drags the panel, as the left button does, and turns nothing.
        for (const at of [[80, 10], [200, 30], [380, 60]]) await fingers(program, [at]);
        await fingers(program, [], {frames: 2});
        const state = await program.state();
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y, state.camera.yaw], [300, 50, camera.yaw]);
        // The mouse's right drag still turns it, from where the fingers left it.
        await program.drag([500, 400], [530, 400], 'right');
        assert.ok(Math.abs((await program.state()).camera.yaw - (camera.yaw - 30 * RADIANS_PER_PIXEL)) < 1e-4);
        await program.close();
    });

    test('a tap adds one cube; a press held still half a second and dragged adds a box', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        const top = project(state, [100.5, 101, 100.5]);
        await fingers(program, [top]);
        await fingers(program, [], {frames: 3});
        assert.equal((await program.state()).cubes, 2, 'one click, no mouse click after it');
        await program.key('z', {modifiers: ['Control']});

        // With no event after the press, the box is there once half a second has passed.
        await fingers(program, [top]);
        assert.equal((await program.state()).box, null);
        await sleep(700);
        assert.deepEqual((await program.state()).box, [100, 101, 100, 100, 101, 100]);
        await fingers(program, [project(state, [100, 100.5, 100.6])], {frames: 3});
        assert.deepEqual((await program.state()).box, [99, 100, 100, 100, 101, 100]);
        await fingers(program, [], {frames: 3});
        assert.equal((await program.state()).cubes, 4, 'the box of four cells around the start cube');
        await program.close();
    });

    test('menus open and choose by tap; a tap on the view while one is open only closes it', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const tap = (selector) => program.page.$eval(selector, (e) => [e.getBoundingClientRect().x + 5,
            e.getBoundingClientRect().y + 5]).then(([x, y]) => program.page.touchscreen.tap(x, y));
        await tap('.menu[data-access="V"] .caption');
        assert.ok(await program.page.evaluate(() => Blokkenveld.menu.open));
        await tap('.item[data-command="40009"]');
        await program.frames(2);
        assert.equal((await program.state()).statusShown, false);
        await tap('.menu[data-access="V"] .caption');
        await fingers(program, [project(await program.state(), [100.5, 101, 100.5])], {frames: 0});
        await fingers(program, [], {frames: 3});
        assert.ok(!(await program.page.evaluate(() => Blokkenveld.menu.open)));
        assert.equal((await program.state()).cubes, 1);
        await program.close();
    });
});
