// What the page keeps: the save question before New, the settings in local storage across a reload with the
// colour dialog's rules, palettes and a texture through the paint window's buttons, the unsaved scene offered back
// after a reload or a crash, and the help and version windows.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {bitmap, openProgram, project, readBmp, shotsDir, siteDir, suiteRig} from './browser.mjs';

const repo = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..');
const PALETTE_LOAD = [135, 216];
const PALETTE_SAVE = [95, 234];
const TEXTURE_LOAD = [95, 456];
const RESTORE_QUESTION = '前回保存されなかったイメージが残っています。復元しますか？';

// The page's hash of 32-bit words (FNV-1a over their bytes, low byte first).
function fnv(words) {
    let hash = 2166136261;
    for (const word of words) {
        for (let shift = 0; shift < 32; shift += 8) {
            hash ^= (word >>> shift) & 255;
            hash = Math.imul(hash, 16777619) >>> 0;
        }
    }
    return hash >>> 0;
}

async function pressButton(program, [x, y]) {
    await program.move(x, y);
    await program.page.mouse.down();
    await program.frames(2);
    await program.page.mouse.up();
}

async function addCube(program, count) {
    await program.click(...project(await program.state(), [100.5, 101, 100.5]));
    await program.page.waitForFunction((n) => Module.editorState().cubes === n, {timeout: 15000}, count);
}

// Chooses a colour in the settings dialog's chooser for which ('background' or 'wireframe'), as the browser's
// colour picker reports a choice.
async function chooseColour(program, which, hex) {
    await program.page.click(`.dialog.settings fieldset button[data-colour="${which}"]`);
    await program.page.$eval(`.dialog.settings input[data-colour="${which}"]`, (input, value) => {
        input.value = value;
        input.dispatchEvent(new Event('input', {bubbles: true}));
        input.dispatchEvent(new Event('change', {bubbles: true}));
    }, hex);
}

const stored = (program, name) => program.page.evaluate((key) => localStorage.getItem(key), name);

describe('keeping', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-keeping-');
    const {fixture} = rig;

    test('New asks about a changed scene: Cancel keeps it, No drops it, Yes saves it first', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await addCube(program, 2);
        await program.menu('f', 'n');
        assert.deepEqual(await program.box(), {title: '確認', message: 'イメージが変更されています。保存しますか？',
            buttons: ['はい(Y)', 'いいえ(N)', 'キャンセル']});
        await program.page.click('#box-cover .buttons button:nth-child(3)');
        await program.boxGone();
        await program.frames(2);
        assert.equal((await program.state()).cubes, 2, 'Cancel keeps the scene');

        await program.menu('f', 'n');
        await program.box();
        await program.page.keyboard.press('n');
        await program.page.waitForFunction(() => Module.editorState().cubes === 1, {timeout: 15000});
        assert.equal((await program.state()).modified, false, 'No starts afresh');

        // Yes on an unnamed scene asks for a name; closing that dialog abandons New.
        await addCube(program, 2);
        await program.menu('f', 'n');
        await program.box();
        await program.page.keyboard.press('y');
        await program.saveDialog();
        await program.page.keyboard.press('Escape');
        await program.boxGone();
        await program.frames(2);
        assert.equal((await program.state()).cubes, 2, 'the save dialog cancelled, nothing is lost');
        await program.menu('f', 'n');
        await program.box();
        await program.page.keyboard.press('y');
        await program.saveAs('work');
        assert.equal((await program.download('work.bvo')).toString(),
            'Blokkenveld\r\n1 0\r\n2\r\n100 100 100 ffffffff\r\n100 101 100 ffffffff\r\n');
        await program.page.waitForFunction(() => Module.editorState().cubes === 1, {timeout: 15000});
        assert.equal(await program.page.title(), 'Blokkenveld');

        // Named: Yes asks before overwriting, and No there abandons New.
        await program.drop([{name: 'work.bvo', bytes: await program.download('work.bvo')}]);
        await program.page.waitForFunction(() => Module.editorState().named, {timeout: 15000});
        await addCube(program, 3);
        await program.menu('f', 'n');
        await program.box();
        await program.page.keyboard.press('y');
        assert.equal((await program.box()).message, '上書き保存します。よろしいですか？');
        await program.page.keyboard.press('n');
        await program.boxGone();
        await program.frames(2);
        assert.equal((await program.state()).cubes, 3);
        // Storage refusing, the question's download would leave nothing if it never arrived: it fails, says why.
        await program.page.evaluate(() => { Storage.prototype.setItem = () => { throw new Error('full'); }; });
        await program.menu('f', 'n');
        for (const key of ['y', 'y', 'Enter']) {
            await program.box();
            await program.page.keyboard.press(key);
        }
        assert.match((await program.box()).message, /^ブラウザーの保存領域がいっぱいか使えないため、ダウンロードで保存する/);
        assert.equal((await program.state()).cubes, 3);
        assert.deepEqual(program.downloaded(), ['work.bvo']);
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('settings survive a reload; the colour dialog keeps, puts back or writes as the exe\'s', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await program.drag([80, 10], [180, 40]);
        await program.menu('v', 's');
        await program.menu('o', 'o');
        await program.page.waitForSelector('.dialog.settings');
        fs.mkdirSync(shotsDir, {recursive: true});
        await program.page.screenshot({path: path.join(shotsDir, 'settings_dialog.png')});
        await chooseColour(program, 'background', '#203040');
        await chooseColour(program, 'wireframe', '#ff8000');
        assert.deepEqual((await program.state()).background, [0, 0, 0], 'not before OK');
        await program.page.click('.dialog.settings .buttons .default');
        await program.boxGone();
        await program.frames(2);
        assert.deepEqual((await program.state()).background, [32, 48, 64]);
        assert.equal(await stored(program, 'SYSTEM/BGCOLOR_B'), '64');
        assert.equal(await stored(program, 'SYSTEM/WFCOLOR_G'), '128');
        const shot = await program.shot();
        assert.deepEqual(shot.pixel(700, 100), [32, 48, 64], 'the view is cleared with the new background');

        // Cancel puts the colours back; the close box keeps them for now without writing them.
        await program.menu('o', 'o');
        await program.page.waitForSelector('.dialog.settings');
        await chooseColour(program, 'background', '#ffffff');
        await program.page.click('.dialog.settings .buttons .cancel');
        await program.boxGone();
        assert.deepEqual((await program.state()).background, [32, 48, 64]);
        await program.menu('o', 'o');
        await program.page.waitForSelector('.dialog.settings');
        await chooseColour(program, 'background', '#102030');
        await program.page.click('.dialog.settings .title .close');
        await program.boxGone();
        await program.frames(2);
        assert.deepEqual((await program.state()).background, [16, 32, 48]);
        assert.equal(await stored(program, 'SYSTEM/BGCOLOR_B'), '64');

        await program.goto(null);
        const state = await program.state();
        assert.deepEqual([state.paintWindow.x, state.paintWindow.y], [100, 30], 'the panel where it was left');
        assert.equal(state.statusShown, false);
        assert.equal(state.paintWindow.shown, true);
        assert.deepEqual(state.background, [32, 48, 64], 'the colours last confirmed with OK');
        assert.deepEqual(state.wireframeColour, [255, 128, 0]);
        const checks = await program.page.evaluate(() => [40008, 40009].map((c) =>
            document.querySelector(`[data-command="${c}"]`).classList.contains('checked')));
        assert.deepEqual(checks, [true, false], 'the View items as they were left');
        assert.equal(await stored(program, 'SYSTEM/WINDOW_MODE'), '1');
        await program.close();
    });

    test('palettes and a texture through the paint window\'s buttons, kept for the next start', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await pressButton(program, PALETTE_SAVE);
        const dialog = await program.saveDialog();
        assert.deepEqual([dialog.title, dialog.kinds], ['名前を付けて保存', ['Blokkenveld Palette (*.bvp)']]);
        await program.saveAs('mine');
        const saved = (await program.download('mine.bvp')).toString();
        assert.match(saved, /^BlokkenveldPalette\r\n([0-9a-f]+( [0-9a-f]+){7}\r\n){8}$/);
        const values = (text) => text.split(/\r?\n/).slice(1).join(' ').trim().split(' ').map((h) => parseInt(h, 16));
        assert.deepEqual(values(saved), values(fs.readFileSync(path.join(siteDir, 'artwork', 'palette.bvp'), 'latin1')),
            'the palette the page started with');

        const colours = Array.from({length: 64}, (_, i) => (0xFF000000 | (i * 4) << 16 | (255 - i) << 8 | 7 * i) >>> 0);
        const rows = Array.from({length: 8}, (_, r) => colours.slice(r * 8, r * 8 + 8).map((c) => c.toString(16))
            .join(' '));
        const custom = fixture('custom.bvp', 'BlokkenveldPalette\n' + rows.join('\n') + '\n');
        await program.pickFile(() => pressButton(program, PALETTE_LOAD), custom);
        await program.page.waitForFunction((hash) => Module.editorState().palette === hash, {timeout: 15000},
            fnv(colours));
        assert.equal((await program.state()).colour, colours[0], 'the current colour follows the selected cell');
        assert.equal(await stored(program, 'SYSTEM/PALETTE'), '/user/custom.bvp');
        assert.ok(await stored(program, 'FILES/custom.bvp'), 'kept at once, as the setting is written at once');
        // Saved under the default's name, it is the user's own file, never the program's.
        await pressButton(program, PALETTE_SAVE);
        await program.saveAs('palette.bvp');
        await program.download('palette.bvp');
        assert.equal(await stored(program, 'SYSTEM/PALETTE'), '/user/palette.bvp');

        // The browser's decoder gives the default atlas the pixels the program's own BMP reader gives.
        const atlas = readBmp(path.join(siteDir, 'artwork', 'tex.bmp'));
        const atlasPixels = Array.from({length: 128 * 128}, (_, i) => {
            const [r, g, b] = atlas.pixel(i % 128, Math.floor(i / 128));
            return (0xFF000000 | r << 16 | g << 8 | b) >>> 0;
        });
        assert.deepEqual((await program.state()).atlas, [128, 128, fnv(atlasPixels)]);
        const tile = bitmap(128, 128, (x, y) => (x * 2) << 16 | (y * 2) << 8 | ((x ^ y) & 255));
        await program.pickFile(() => pressButton(program, TEXTURE_LOAD), fixture('tile.bmp', tile.bytes));
        await program.page.waitForFunction((hash) => Module.editorState().atlas[2] === hash, {timeout: 15000},
            fnv(tile.pixels));
        assert.equal((await program.state()).textureName, '/user/tile.bmp');
        await program.save(await program.shot(), 'texture_loaded');
        // The wrong size is refused and the atlas stays.
        await program.pickFile(() => pressButton(program, TEXTURE_LOAD),
            fixture('half.bmp', bitmap(128, 64, () => 0xFF0000).bytes));
        assert.deepEqual(await program.box(), {title: 'エラー', message: 'ビットマップは128×128にする必要があります',
            buttons: ['OK']});
        await program.page.keyboard.press('Enter');
        await program.boxGone();
        assert.equal((await program.state()).atlas[2], fnv(tile.pixels));

        // The next start finds the palette and the texture the settings name.
        await program.goto(null);
        const state = await program.state();
        assert.equal(state.palette, fnv(colours));
        assert.equal(state.textureName, '/user/tile.bmp');
        assert.equal(state.atlas[2], fnv(tile.pixels));
        await program.close();
    });

    test('an unsaved scene is asked about before leaving and offered back after a reload or a crash', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await addCube(program, 2);
        const asked = [];
        program.page.on('dialog', async (dialog) => {
            asked.push(dialog.type());
            await dialog.accept();
        });
        await program.goto(null, {drawn: false});
        assert.deepEqual(asked, ['beforeunload'], 'the browser asks before the changes are left');
        assert.deepEqual(await program.box(), {title: '確認', message: RESTORE_QUESTION,
            buttons: ['はい(Y)', 'いいえ(N)']});
        await program.page.keyboard.press('y');
        await program.page.waitForFunction(() => Module.editorState().cubes === 2, {timeout: 15000});
        let state = await program.state();
        assert.equal(state.modified, true, 'still unsaved');
        assert.equal(state.named, false);

        // Another tab of the same browser, while this one lives, is not offered this one's scene.
        const other = await openProgram(rig.chromium.browser, rig.server.url, {from: program});
        await other.frames(5);
        assert.equal(await other.page.evaluate(() => Blokkenveld.modalOpen), false);
        assert.equal((await other.state()).cubes, 1);
        await other.page.close();

        // Declined, the copy is gone: the next start asks nothing.
        await program.goto(null, {drawn: false});
        await program.box();
        await program.page.keyboard.press('n');
        await program.page.waitForFunction(() => Module.editorState().cubes === 1, {timeout: 15000});
        await program.goto(null);
        await program.frames(5);
        assert.equal(await program.page.evaluate(() => Blokkenveld.modalOpen), false);
        assert.equal(asked.length, 2, 'the declined scene was still unsaved when it was left');

        // A named scene in a tab that crashes, the change just made: it comes back in the next tab under its name.
        await program.drop([{name: 'row.bvo', bytes: Buffer.from('Blokkenveld\n1 0\n1\n100 100 100 ffff0000\n')}]);
        await program.page.waitForFunction(() => Module.editorState().named, {timeout: 15000});
        await addCube(program, 2);
        await program.frames(2);
        const crashed = new Promise((resolve) => program.page.once('error', resolve));
        (await program.page.createCDPSession()).send('Page.crash').catch(() => {});
        await crashed;
        await program.page.close();
        const next = await openProgram(rig.chromium.browser, rig.server.url, {from: program, drawn: false});
        assert.equal((await next.box()).message, '前回保存されなかったイメージ「row.bvo」が残っています。復元しますか？');
        await next.page.keyboard.press('y');
        await next.page.waitForFunction(() => Module.editorState().cubes === 2, {timeout: 15000});
        state = await next.state();
        assert.deepEqual([state.fileName, state.named, state.modified], ['/user/row.bvo', true, true]);
        assert.equal(await next.page.title(), 'Blokkenveld - row.bvo');
        // Saved, the copy is let go.
        await next.menu('f', 's');
        await next.box();
        await next.page.keyboard.press('y');
        await next.download('row.bvo');
        await next.page.waitForFunction(() => !Module.editorState().modified, {timeout: 15000});
        await next.frames(2);
        // Only copies of what downloads handed over stay, nothing confirming a download; another scene's keeps its
        // own, and the next start offers each by its name, newest first.
        await next.menu('f', 'n');
        await next.page.waitForFunction(() => Module.editorState().cubes === 1, {timeout: 15000});
        await addCube(next, 2);
        await next.menu('f', 'a');
        await next.saveAs('other');
        await next.download('other.bvo');
        await next.goto(null, {drawn: false});
        for (const [name, key] of [['other.bvo', 'n'], ['row.bvo', 'y']]) {
            await next.page.waitForFunction((text) => document.querySelector('.box .message')?.textContent === text,
                {timeout: 15000}, `ダウンロードとして保存したイメージ「${name}」の控えが残っています。復元しますか？`);
            await next.page.keyboard.press(key);
        }
        await next.page.waitForFunction(() => Module.editorState().fileName === '/user/row.bvo', {timeout: 15000});
        await next.close();
    });

    test('Help opens the help pages with their contents; Version shows the version dialog\'s texts', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const opened = new Promise((resolve) => program.context.once('targetcreated', resolve));
        await program.menu('h', 'h');
        const help = await (await opened).page();
        await help.waitForFunction(() => document.querySelector('iframe')?.contentDocument?.title === 'Blokkenveld ヘルプ',
            {timeout: 15000});
        const entries = await help.evaluate(() => Array.from(document.querySelectorAll('#contents a'))
            .map((a) => a.textContent));
        const contents = fs.readFileSync(path.join(repo, 'resources', 'help', 'contents.txt'), 'utf8').split('\n')
            .filter((line) => line.includes('|') && !line.startsWith('#')).map((line) => line.split('|')[0].trim());
        assert.deepEqual(entries, contents, 'the same contents as Help.chm');
        await help.setViewport({width: 1000, height: 640});
        await help.screenshot({path: path.join(shotsDir, 'help_window.png')});
        await help.close();

        await program.menu('h', 'a');
        await program.page.waitForSelector('.dialog.version');
        const texts = await program.page.evaluate(() => ({title: document.querySelector('.dialog .title .text')
            .textContent, line: document.querySelector('.dialog .line').textContent,
        kind: document.querySelector('.dialog .kind').textContent}));
        const rc = fs.readFileSync(path.join(repo, 'resources', 'blokkenveld.rc'), 'utf8');
        const version = fs.readFileSync(path.join(repo, 'CMakeLists.txt'), 'utf8').match(/VERSION (\d+\.\d+\.\d+)/)[1];
        assert.deepEqual(texts, {title: 'バージョン情報', line: `Blokkenveld Version ${version}`,
            kind: rc.match(/#define PRODUCT_KIND "(.*)"/)[1]});
        await program.page.keyboard.press('Enter');
        await program.boxGone();
        await program.close();
    });
});
