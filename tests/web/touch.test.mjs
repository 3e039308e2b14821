// Fingers on the page as a touch screen sends them: the camera turned and zoomed, cubes and a box added, menus tapped.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {MENU_BAR, openProgram, project, suiteRig} from './browser.mjs';

const START = {yaw: -4.18879, pitch: 0.785398}, RADIANS_PER_PIXEL = 0.01636246;
const near = (a, b) => Math.abs(a - b) < 1e-4;

// Fingers in canvas pixels, two frames after each step: where they are (new ones touch down), [] lifts them all.
async function touch(program, ...steps) {
    program.cdp ??= await program.page.createCDPSession();
    for (const points of steps) {
        const now = points.map(([x, y], id) => ({x, y: y + MENU_BAR, id}));
        const type = now.length === 0 ? 'touchEnd' : now.length > (program.touching ?? 0) ? 'touchStart' : 'touchMove';
        program.touching = now.length;
        await program.cdp.send('Input.dispatchTouchEvent', {type, touchPoints: now});
        await program.frames(2);
    }
}

describe('touch', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-touch-');

    test('a drag turns the camera as the right button does, a pinch zooms in notches', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await touch(program, ...[0, 1, 2, 3, 4, 5, 6].map((step) => [[500 + 10 * step, 400 - 3 * step]]), []);
        let {camera} = await program.state();
        assert.ok(near(camera.yaw, START.yaw - 60 * RADIANS_PER_PIXEL) &&
            near(camera.pitch, START.pitch - 18 * RADIANS_PER_PIXEL), `yaw ${camera.yaw}, pitch ${camera.pitch}`);
        // Fingers 100 pixels apart spread to 180: two notches nearer than the master zoom of 9.
        await touch(program, [[400, 300]], [[400, 300], [500, 300]], [[380, 300], [560, 300]], []);
        ({camera} = await program.state());
        assert.equal(camera.distance, 5);
        await program.drag([500, 400], [530, 400], 'right');
        assert.ok(near((await program.state()).camera.yaw, camera.yaw - 30 * RADIANS_PER_PIXEL), 'the mouse turns it');
        await program.close();
    });

    test('a tap adds a cube, a held press and drag a box; menus take taps, a tap on the view closes them', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        const top = project(state, [100.5, 101, 100.5]);
        await touch(program, [top], []);
        assert.equal((await program.state()).cubes, 2, 'one click, no mouse click after it');
        await program.key('z', {modifiers: ['Control']});
        // With no event after the press, the box is there once half a second has passed.
        await touch(program, [top]);
        await new Promise((resolve) => setTimeout(resolve, 700));
        assert.deepEqual((await program.state()).box, [100, 101, 100, 100, 101, 100]);
        await touch(program, [project(state, [100, 100.5, 100.6])], []);
        assert.equal((await program.state()).cubes, 4, 'the box of four cells around the start cube');
        const tap = (selector) => program.page.$eval(selector, (e) => [e.getBoundingClientRect().x + 5,
            e.getBoundingClientRect().y + 5]).then(([x, y]) => program.page.touchscreen.tap(x, y));
        for (const element of ['.menu[data-access="V"] .caption', '.item[data-command="40009"]']) await tap(element);
        await program.frames(2);
        assert.equal((await program.state()).statusShown, false);
        await tap('.menu[data-access="V"] .caption');
        await touch(program, [top], []);
        assert.deepEqual([await program.page.evaluate(() => Blokkenveld.menu.open), (await program.state()).cubes],
            [false, 4]);
        await program.close();
    });
});
