// Editing in the page by mouse and keyboard, checked on the pictures it draws: adding on a face, undo and redo
// from the keyboard, painting from a palette cell and an atlas cell, and the three display switches.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';

import {BLACK, countColour, differences, drawn, eyeDirection, MENU_BAR, openProgram, project, readBmp, siteDir,
    suiteRig, VIEW} from './browser.mjs';

const STATUS = {left: 0, top: 582, right: 800, bottom: 600};
const PAINT_TOOL = [84, 34];
const SWITCHES = {lighting: [36, 58], faces: [60, 58], wireframe: [84, 58]};

// A point of a cube's side away from both diagonals, as (x, y, z) offsets within the cube at (100, 100, 100).
const TOP = [0.3, 1, 0.6];
const FRONT = [0.3, 0.6, 1];  // the +z side

function lambert(state, normal) {
    const d = eyeDirection(state.camera);
    return Math.max(0, normal[0] * d[0] + normal[1] * d[1] + normal[2] * d[2]);
}

async function waitCubes(program, count) {
    await program.page.waitForFunction((n) => Module.editorState().cubes === n, {timeout: 15000}, count);
    await program.frames(2);
}

describe('editing', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-editing-');

    test('a click on the top side adds a cube; Ctrl+Z takes it back and Ctrl+Y brings it again', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        const start = await program.shot();
        await program.click(...project(state, [100.5, 101, 100.5]));
        await waitCubes(program, 2);
        const added = await program.shot();
        await program.save(added, 'added');
        assert.ok(drawn(added).top < drawn(start).top - 20, 'the new cube stands on top of the first');
        assert.ok(differences(added, start, STATUS) > 0, 'the count in the strip changed');

        // Held for many frames, Ctrl+Z undoes once.
        await program.key('z', {modifiers: ['Control'], frames: 12});
        await waitCubes(program, 1);
        const undone = await program.shot();
        assert.equal(differences(undone, start, VIEW), 0, 'after Ctrl+Z the view is the start view again');
        assert.equal(differences(undone, start, STATUS), 0, 'and the strip counts one cube again');

        await program.key('y', {modifiers: ['Control']});
        await waitCubes(program, 2);
        const redone = await program.shot();
        assert.equal(differences(redone, added, VIEW), 0, 'after Ctrl+Y the cube is back');
        assert.equal(differences(redone, added, STATUS), 0);
        // Z alone, without Ctrl, does nothing.
        await program.key('z', {frames: 4});
        assert.equal((await program.state()).cubes, 2);
        await program.close();
    });

    test('while a menu is open nothing edits, and the click that closes it goes no further', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        const top = project(state, [100.5, 101, 100.5]);
        await program.page.mouse.click(110, 8);  // the Options caption
        assert.ok(await program.page.evaluate(() => Blokkenveld.menu.open));
        // No frame update runs while the menu is open, as none runs in the Windows program's menu loop.
        const frames = await program.page.evaluate(() => Blokkenveld.frames);
        await program.page.keyboard.down('g');
        await new Promise((resolve) => setTimeout(resolve, 300));
        await program.page.keyboard.up('g');
        assert.equal(await program.page.evaluate(() => Blokkenveld.frames), frames);
        await program.page.mouse.move(top[0], top[1] + MENU_BAR);
        await program.page.mouse.down();
        await program.frames(2);
        await program.page.mouse.up();
        await program.frames(2);
        assert.equal(await program.page.evaluate(() => Blokkenveld.menu.open), false, 'the click closed the menu');
        const after = await program.state();
        assert.equal(after.cubes, 1, 'and added nothing');
        assert.equal(after.camera.distance, state.camera.distance, 'G did not zoom while the menu was open');
        // The next click edits again.
        await program.click(...top);
        await waitCubes(program, 2);
        await program.close();
    });

    test('painting with a palette cell and with an atlas cell', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        await program.click(25 + 16 * 3 + 8, 78 + 16 + 8);  // palette column 3, row 1
        const picked = await program.state();
        assert.deepEqual(picked.paletteCell, [3, 1]);
        assert.equal(picked.textureMode, false);
        const colour = [picked.colour >>> 16 & 255, picked.colour >>> 8 & 255, picked.colour & 255];
        assert.notDeepEqual(colour, [255, 255, 255]);

        await program.click(...PAINT_TOOL);
        assert.equal((await program.state()).tool, 2);
        const top = project(state, [100 + TOP[0], 100 + TOP[1], 100 + TOP[2]]);
        await program.click(...top);
        await program.frames(2);
        let shot = await program.shot();
        await program.save(shot, 'painted');
        const k = lambert(state, [0, 1, 0]);
        const seen = shot.pixel(...top);
        for (let i = 0; i < 3; ++i)
            assert.ok(Math.abs(seen[i] - Math.round(colour[i] * k)) <= 1, `top side ${seen} is ${colour} lit by ${k}`);

        // Atlas column 2, row 0 onto the +z side: every pixel there is a texel of that cell, lit the same way.
        await program.click(25 + 16 * 2 + 8, 318 + 8);
        assert.equal((await program.state()).textureMode, true);
        const front = project(state, [100 + FRONT[0], 100 + FRONT[1], 100 + FRONT[2]]);
        await program.click(...front);
        await program.frames(2);
        shot = await program.shot();
        await program.save(shot, 'textured');
        const atlas = readBmp(path.join(siteDir, 'artwork', 'tex.bmp'));
        const kFront = lambert(state, [0, 0, 1]);
        const texels = new Set();
        for (let y = 0; y < 16; ++y)
            for (let x = 32; x < 48; ++x)
                texels.add(atlas.pixel(x, y).map((c) => Math.round(c * kFront)).join(','));
        const colours = new Set();
        let matched = 0, sampled = 0;
        for (let dy = -6; dy <= 6; ++dy) {
            for (let dx = -6; dx <= 6; ++dx) {
                const p = shot.pixel(front[0] + dx, front[1] + dy);
                colours.add(p.join(','));
                ++sampled;
                if ([...texels].some((t) => t.split(',').every((c, i) => Math.abs(c - p[i]) <= 1))) ++matched;
            }
        }
        assert.ok(colours.size >= 6, `the side shows the cell's pattern (${colours.size} colours)`);
        assert.ok(matched >= sampled * 0.9, `${matched} of ${sampled} pixels are texels of the cell`);
        await program.close();
    });

    test('with mirror X on, a Shift drag adds a box and its image, and one Ctrl+Z takes both away', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await program.page.evaluate(() => localStorage.setItem('SYSTEM/WFCOLOR_G', '255'));  // lines black would hide
        await program.goto(null);
        const state = await program.state();
        const saved = (name) => program.menu('f', 'a').then(() => program.saveAs(name))
            .then(() => program.download(name + '.bvo')).then((file) => file.toString('latin1').split('\r\n'));
        await program.menu('o', 'x');
        await program.page.keyboard.down('Shift');  // a box from the top of the start cube to its -x side, mirrored
        await program.move(...project(state, [100.5, 101, 100.5]));
        await program.press();
        await program.page.keyboard.up('Shift');
        await program.move(...project(state, [100, 100.5, 100.6]), 4);
        const [x, y] = project(state, [102, 102, 100]);  // a corner of the box's image, away from the cubes
        assert.ok(countColour(await program.shot(), [0, 255, 0],
            {left: x - 2, top: y - 2, right: x + 3, bottom: y + 3}), 'the box\'s image outlined');
        await program.release();
        const cubes = [99, 100, 101].flatMap((x) => [`${x} 100 100 ffffffff`, `${x} 101 100 ffffffff`]);
        assert.deepEqual((await saved('box')).sort(), ['Blokkenveld', '1 0', '6', '', ...cubes].sort());
        await program.key('z', {modifiers: ['Control']});
        assert.deepEqual(await saved('undone'), ['Blokkenveld', '1 0', '1', '100 100 100 ffffffff', '']);
        await program.close();
    });

    test('the lighting, faces and wireframe switches', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const state = await program.state();
        const greyTop = Math.round(255 * lambert(state, [0, 1, 0]));
        const lit = await program.shot();
        assert.equal(countColour(lit, [255, 255, 255]), 0, 'lit, no side shows full white');

        await program.click(...SWITCHES.lighting);
        assert.equal((await program.state()).lighting, false);
        let shot = await program.shot();
        assert.ok(countColour(shot, [255, 255, 255]) > 4000, 'unlit, every side shows the cube\'s own white');
        assert.equal(countColour(shot, [greyTop, greyTop, greyTop], VIEW, 1), 0);
        await program.click(...SWITCHES.lighting);

        // Without faces only the edges are left, black on the black background.
        await program.click(...SWITCHES.faces);
        assert.equal((await program.state()).faces, false);
        shot = await program.shot();
        assert.equal(drawn(shot).count, 0, 'without faces nothing but black lines on black');
        await program.click(...SWITCHES.faces);

        // Without the wireframe the sides are whole: no black inside the cube's outline.
        const outline = drawn(lit);
        const blackInside = (picture) => {
            let n = 0;
            for (let y = outline.top; y <= outline.bottom; ++y) {
                let first = -1, last = -1;
                for (let x = outline.left; x <= outline.right; ++x) {
                    if (countColour(picture, BLACK, {left: x, top: y, right: x + 1, bottom: y + 1}) === 0) {
                        if (first < 0) first = x;
                        last = x;
                    }
                }
                for (let x = first + 1; first >= 0 && x < last; ++x)
                    n += countColour(picture, BLACK, {left: x, top: y, right: x + 1, bottom: y + 1});
            }
            return n;
        };
        assert.ok(blackInside(lit) > 150, 'with the wireframe, the diagonals cross the sides');
        await program.click(...SWITCHES.wireframe);
        assert.equal((await program.state()).wireframe, false);
        shot = await program.shot();
        await program.save(shot, 'no_wireframe');
        assert.equal(blackInside(shot), 0, 'without it, no line crosses a side');
        assert.ok(countColour(shot, [greyTop, greyTop, greyTop], VIEW, 1) > 1000);
        await program.close();
    });
});
