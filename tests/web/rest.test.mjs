// The page at rest draws next to nothing, and what the user does wakes it as fast as it always answered.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';

import {MENU_BAR, openProgram, project, suiteRig} from './browser.mjs';

const ARROW_TURN = 4;  // radians per second
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

describe('the page at rest', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-rest-');

    test('untouched it rests; a click, the wheel, a posted command, the keeper and a held arrow key wake it', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const {page} = program;
        // The loop's passes, and each frame with the editor as it drew it: waiting on these asks for no frame.
        await page.evaluate(() => {
            const {frameDrawn, takeWake} = Blokkenveld;
            Object.assign(window, {drawn: [], passes: 0});
            Blokkenveld.frameDrawn = () => { frameDrawn(); drawn.push(Module.editorState()); };
            Blokkenveld.takeWake = () => { passes += 1; return takeWake(); };
        });
        // The frames of what came before end first: a press and a release, then another press between two frames
        // would be one long press to the frame, as a fast machine never sees but a loaded one can.
        const quiet = async () => {
            for (let was = -1, now = 0; was !== now; await sleep(500)) {
                was = now;
                now = await page.evaluate(() => drawn.length);
            }
        };
        const nextDrawn = async (act) => {
            await quiet();
            const before = await page.evaluate(() => drawn.length);
            await act();
            await page.waitForFunction((n) => drawn.length > n, {timeout: 5000}, before);
            return page.evaluate((n) => drawn[n], before);
        };
        const click = async () => { await page.mouse.down(); await page.mouse.up(); };
        const [x, y] = project(await program.state(), [100.5, 101, 100.5]);
        await page.mouse.move(x, y + MENU_BAR);
        await sleep(1000);
        const resting = await page.evaluate(() => [drawn.length, passes]);
        await sleep(5000);
        const rested = await page.evaluate((was) => [drawn.length - was[0], passes - was[1]], resting);
        assert.ok(rested[0] <= 3 && rested[1] <= 3, `${rested} frames and passes in 5 s untouched`);
        assert.equal((await nextDrawn(click)).cubes, 2, 'the first frame after the click has its cube');
        // That first change is kept at once, the next at the keeper's next look, which ends a rest.
        assert.equal((await nextDrawn(click)).cubes, 3, 'a second click has its cube too');
        assert.ok((await nextDrawn(() => page.mouse.wheel({deltaY: -100}))).camera.distance < 8, 'the wheel zooms');
        // Select All, posted as a file handed over by the system is, outside any event.
        assert.equal((await nextDrawn(() => page.evaluate(() => Blokkenveld.post({command: 40026})))).selected, 3);
        await sleep(3000);
        const kept = await page.evaluate(() => Object.values(localStorage).filter((v) => v.includes('"scene"')));
        assert.deepEqual(kept.map((v) => JSON.parse(v).scene.split('\n')[2]), ['3'], 'the last cube is kept');
        const {yaw} = (await program.state()).camera;
        const down = Date.now();
        await page.keyboard.down('ArrowLeft');
        await sleep(1500);
        await page.keyboard.up('ArrowLeft');
        const held = (Date.now() - down) / 1000;
        await sleep(500);
        const turned = yaw - (await program.state()).camera.yaw;
        assert.ok(Math.abs(turned - ARROW_TURN * held) < 0.25 * ARROW_TURN * held, `${turned} rad in ${held} s`);
        await program.close();
    });
});
