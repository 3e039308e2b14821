// The camera in the page: arrow keys, F and G, W, A, S and D, the right-button drag and the wheel, each seen in
// the picture and in the camera the editor keeps; and Reset camera from the menu bar's access keys.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {differences, drawn, openProgram, suiteRig, VIEW} from './browser.mjs';

const START = {yaw: -4.18879, pitch: 0.785398, distance: 8};
const RADIANS_PER_PIXEL = 0.01636246;

const centre = (box) => [(box.left + box.right) / 2, (box.top + box.bottom) / 2];
const width = (box) => box.right - box.left;

describe('the camera', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-camera-');

    test('arrow keys turn it, F and G zoom, W A S D move the target', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const start = await program.shot();
        const cube = drawn(start);

        await program.key('ArrowLeft', {frames: 6});
        let camera = (await program.state()).camera;
        assert.ok(camera.yaw < START.yaw - 0.05, `Left turns the yaw down (${camera.yaw})`);
        assert.ok(differences(await program.shot(), start, VIEW) > 500, 'and the view turns');
        await program.key('ArrowRight', {frames: 6});
        await program.key('ArrowUp', {frames: 6});
        camera = (await program.state()).camera;
        assert.ok(camera.pitch > START.pitch + 0.05, `Up raises the pitch (${camera.pitch})`);

        // Held until the eye has come 1.5 nearer (however long the frames take), then back 1.5 further.
        await program.holdUntil('g', (state, limit) => state.camera.distance <= limit, START.distance - 1.5);
        const nearer = drawn(await program.shot());
        const nearerDistance = (await program.state()).camera.distance;
        assert.ok(width(nearer) > width(cube) + 10, 'and the cube grows');
        await program.holdUntil('f', (state, limit) => state.camera.distance >= limit, nearerDistance + 1.5);
        const further = drawn(await program.shot());
        assert.ok(width(further) < width(nearer) - 10, 'F takes it further away again');

        // A moves the target along the view's right, so the cube goes left; W moves it against the view's up, so
        // the cube goes up.
        const before = centre(drawn(await program.shot()));
        await program.key('a', {frames: 8});
        const left = centre(drawn(await program.shot()));
        assert.ok(left[0] < before[0] - 5, `A: the cube moves left (${before} to ${left})`);
        await program.key('w', {frames: 8});
        const up = centre(drawn(await program.shot()));
        assert.ok(up[1] < left[1] - 5, `W: the cube moves up (${left} to ${up})`);
        await program.close();
    });

    test('a right drag orbits by the pixels moved; the wheel zooms by notches; Reset camera restores it', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const start = await program.shot();
        await program.drag([500, 400], [560, 380], 'right');
        let camera = (await program.state()).camera;
        assert.ok(Math.abs(camera.yaw - (START.yaw - 60 * RADIANS_PER_PIXEL)) < 1e-4, `yaw ${camera.yaw}`);
        assert.ok(Math.abs(camera.pitch - (START.pitch - 20 * RADIANS_PER_PIXEL)) < 1e-4, `pitch ${camera.pitch}`);
        assert.ok(differences(await program.shot(), start, VIEW) > 500);
        // The drag is over: moving the mouse turns nothing.
        await program.move(300, 300);
        assert.equal((await program.state()).camera.yaw, camera.yaw);

        // One notch away from the user brings the eye two units nearer than the master zoom of 9.
        await program.move(500, 300);
        await program.page.mouse.wheel({deltaY: -100});
        await program.frames(2);
        camera = (await program.state()).camera;
        assert.ok(Math.abs(camera.distance - 7) < 1e-6, `distance ${camera.distance}`);

        await program.page.keyboard.down('Alt');
        await program.page.keyboard.press('o');
        await program.page.keyboard.up('Alt');
        assert.ok(await program.page.evaluate(() => Blokkenveld.menu.open), 'Alt+O opens the Options menu');
        await program.page.keyboard.press('c');
        await program.frames(3);
        camera = (await program.state()).camera;
        assert.ok(Math.abs(camera.yaw - START.yaw) < 1e-5 && camera.distance === START.distance);
        assert.equal(differences(await program.shot(), start, VIEW), 0, 'the start view again');
        await program.close();
    });
});
