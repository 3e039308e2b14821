// Files in the page: opening through the browser's picker and by dropping, the save question, Save and Save As
// handing over the writers' own bytes as downloads, an export, a bitmap import, a screenshot, and files that do
// not read. What the page saves is compared with what the native writers make of the same file.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

import {bitmap, openProgram, project, shotsDir, siteDir, suiteRig} from './browser.mjs';

const fileTool = path.join(siteDir, '..', 'native', 'e2e_file_tool');

// A scene of coloured cubes and textured ones, written as an editor other than the program might (its own line
// ends, a hole in the order), which the program's writers then put in their own form.
const MIXED = 'Blokkenveld\n1 1\n3\n100 100 100 ffffffff\n101 100 100 ffff0000\n101 101 100 ff00ff80\ntex.bmp\n2\n' +
    '99 100 100 3 1\n100 101 100 7 7\n';
const COLOURED = 'Blokkenveld\n1 0\n4\n100 100 100 ffffffff\n101 100 100 ffff0000\n102 100 100 ff0000ff\n' +
    '100 100 101 ff204060\n';

// A textured scene's cubes are in place before its atlas is decoded, which the browser does in the background;
// the file's name and the title follow once the whole file is read.
const opened = (program, cubes, name) => program.page.waitForFunction((count, file) =>
    Module.editorState().cubes === count && Module.editorState().fileName === '/user/' + file, {timeout: 15000},
    cubes, name);

describe('files', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-files-');
    const {fixture} = rig;
    // What the program's writers make of a file: the bytes the exe would save.
    const written = (input, outputName) => {
        const output = path.join(rig.folder, 'written-' + outputName);
        execFileSync(fileTool, [input, output]);
        return fs.readFileSync(output);
    };

    test('Open takes a scene from the picker; a file that does not read is reported and changes nothing', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const mixed = fixture('mixed.bvo', MIXED);
        await program.pickFile(() => program.menu('f', 'o'), mixed);
        await opened(program, 5, 'mixed.bvo');
        assert.equal(await program.page.title(), 'Blokkenveld - mixed.bvo');
        const state = await program.state();
        assert.equal(state.named, true);
        assert.equal(state.modified, false);

        // A file cut short, then the picker closed without a file: the scene, its name and the title stay.
        const broken = fixture('broken.bvo', 'Blokkenveld\n1 0\n3\n100 100 100 ffffffff\n');
        await program.pickFile(() => program.menu('f', 'o'), broken);
        assert.deepEqual(await program.box(), {title: 'エラー', message: 'ファイルの読み込みに失敗しました',
            buttons: ['OK']});
        await program.page.keyboard.press('Enter');
        await program.boxGone();
        await program.pickFile(() => program.menu('f', 'o'), null);
        await program.frames(3);
        const kept = await program.state();
        assert.equal(kept.cubes, 5);
        assert.equal(kept.fileName, '/user/mixed.bvo');
        assert.equal(await program.page.title(), 'Blokkenveld - mixed.bvo');
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('Save As hands over the writers\' bytes; Save writes the file it opened byte for byte', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const mixed = fixture('mixed.bvo', MIXED);
        await program.pickFile(() => program.menu('f', 'o'), mixed);
        await opened(program, 5, 'mixed.bvo');

        await program.menu('f', 'a');
        const dialog = await program.saveDialog();
        assert.deepEqual(dialog, {title: '名前を付けて保存', name: 'mixed.bvo', kinds: ['Blokkenveld Object (*.bvo)',
            'メタセコイア オブジェクト (*.mqo)', 'glTF (*.glb)', 'OBJ (*.obj)', 'MagicaVoxel (*.vox)']});
        fs.mkdirSync(shotsDir, {recursive: true});
        await program.page.screenshot({path: path.join(shotsDir, 'save_dialog.png')});
        // Modal as the exe's dialogs: no frame is drawn while it is open.
        const frames = await program.page.evaluate(() => Blokkenveld.frames);
        await new Promise((resolve) => setTimeout(resolve, 300));
        assert.equal(await program.page.evaluate(() => Blokkenveld.frames), frames);
        // No extension: the kind chosen gives it.
        await program.saveAs('copy');
        const copy = await program.download('copy.bvo');
        const expected = written(mixed, 'copy.bvo');
        assert.ok(copy.includes('\r\n'), 'the Windows program\'s line ends');
        assert.deepEqual(copy, expected, 'the same bytes as the native writer');
        assert.equal(await program.page.title(), 'Blokkenveld - copy.bvo');
        assert.equal((await program.state()).modified, false);

        // The exe's own file opened and saved again through the page: the same bytes.
        const exeFile = fixture('exe.bvo', expected);
        await program.pickFile(() => program.menu('f', 'o'), exeFile);
        await program.page.waitForFunction(() => Module.editorState().fileName === '/user/exe.bvo', {timeout: 15000});
        await program.menu('f', 's');
        assert.equal((await program.box()).message, '上書き保存します。よろしいですか？');
        await program.page.keyboard.press('y');
        assert.deepEqual(await program.download('exe.bvo'), expected);
        await program.close();
    });

    test('a scene opened through the system\'s picker is saved back into its file; Save As and a refusal ask the picker',
        async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url, {systemPicker: true});
        const pick = (id, text) => program.page.evaluate((file) => { window.testPick = file; },
            {name: 'desk.bvo', text, id});
        const setPage = (values) => program.page.evaluate((v) => Object.assign(window, v), values);
        const save = async (followedBy = null) => {
            await program.menu('f', 's');
            assert.equal((await program.box()).message, '上書き保存します。よろしいですか？');
            await program.page.keyboard.press('y');
            if (followedBy === null) await program.boxGone();
            else await program.page.waitForFunction((text) => document.querySelector('.box .message')?.textContent === text,
                {timeout: 15000}, followedBy);
        };
        const writtenTo = async (id) => {
            await program.page.waitForFunction((key) => window.testWritten[key], {timeout: 15000}, id);
            return Buffer.from(await program.page.evaluate((key) => window.testWritten[key], id));
        };
        await pick('desk', MIXED);
        await program.menu('f', 'o');
        await program.page.waitForFunction(() => Module.editorState().fileName === '/user/desk.bvo', {timeout: 15000});
        const expected = written(fixture('desk.bvo', MIXED), 'desk.bvo');
        await save();
        assert.deepEqual(await writtenTo('desk'), expected);
        assert.equal(fs.existsSync(path.join(program.downloads, 'desk.bvo')), false, 'no download besides');

        // Another file of that name that does not read: the scene's own file is still the one saved.
        await pick('broken', 'Blokkenveld\n1 0\n3\n');
        await program.menu('f', 'o');
        assert.equal((await program.box()).message, 'ファイルの読み込みに失敗しました');
        await program.page.keyboard.press('Enter');
        await program.boxGone();
        await setPage({testWritten: {}});
        await save();
        assert.deepEqual(await writtenTo('desk'), expected);
        assert.equal(await program.page.evaluate(() => window.testWritten.broken), undefined);

        // The file refuses: the save picker asks where instead; closed, the save is cancelled without a word, as a
        // cancelled dialog is.
        await setPage({testRefuse: 'desk', testSavePick: null, testSaveOptions: null});
        await save();
        await program.frames(3);
        assert.equal(await program.page.evaluate(() => window.testSaveOptions.suggestedName), 'desk.bvo');
        assert.equal(await program.page.evaluate(() => document.querySelector('#box-cover')), null, 'no message');
        await setPage({testSavePick: {name: 'desk.bvo', id: 'elsewhere'}});
        await save();
        assert.deepEqual(await writtenTo('elsewhere'), expected);

        // A new scene saved as "desk" goes where the picker says, never into the file opened earlier.
        await program.menu('f', 'n');
        await setPage({testWritten: {}, testRefuse: null, testSavePick: {name: 'desk.bvo', id: 'new'}});
        await program.menu('f', 'a');
        assert.match((await writtenTo('new')).toString('latin1'),
            /^Blokkenveld\r\n\d \d\r\n1\r\n100 100 100 ffffffff\r\n$/);
        assert.deepEqual(await program.page.evaluate(() => [Object.keys(window.testWritten),
            window.testSaveOptions.types.map((type) => Object.values(type.accept)[0][0])]),
        [['new'], ['.bvo', '.mqo', '.glb', '.obj', '.vox']]);
        assert.equal(await program.page.title(), 'Blokkenveld - desk.bvo');
        // Saved again, it goes back into that file, with no picker to ask.
        await setPage({testWritten: {}, testSavePick: null});
        await save();
        assert.match((await writtenTo('new')).toString('latin1'), /^Blokkenveld\r\n/);
        assert.deepEqual(program.downloaded(), []);
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('an export downloads under its own name and never names the document', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const coloured = fixture('coloured.bvo', COLOURED);
        await program.pickFile(() => program.menu('f', 'o'), coloured);
        await program.page.waitForFunction(() => Module.editorState().cubes === 4, {timeout: 15000});
        await program.click(...project(await program.state(), [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().cubes === 5, {timeout: 15000});

        await program.menu('f', 'a');
        await program.saveAs('model', 2);
        const glb = await program.download('model.glb');
        assert.equal(glb.toString('latin1', 0, 4), 'glTF');
        const state = await program.state();
        assert.equal(state.fileName, '/user/coloured.bvo', 'the document keeps its name');
        assert.equal(state.modified, true, 'an export does not save the scene');
        assert.equal(await program.page.title(), 'Blokkenveld - coloured.bvo');

        // Without a texture the export is the native writer's, byte for byte; with one it carries the atlas as a PNG
        // the browser made.
        const saved = fixture('five.bvo', await (async () => {
            await program.menu('f', 'a');
            await program.saveAs('five.bvo', 0);
            return program.download('five.bvo');
        })());
        assert.deepEqual(glb, written(saved, 'model.glb'));
        await program.pickFile(() => program.menu('f', 'o'), fixture('mixed.bvo', MIXED));
        await opened(program, 5, 'mixed.bvo');
        await program.menu('f', 'a');
        await program.saveAs('textured.glb');
        const textured = await program.download('textured.glb');
        assert.equal(textured.toString('latin1', 0, 4), 'glTF');
        assert.ok(textured.includes(Buffer.from([0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A])), 'a PNG inside');
        await program.close();
    });

    test('a dropped file opens as the exe\'s drop: only the first, after the save question', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await program.drop([{name: 'coloured.bvo', bytes: Buffer.from(COLOURED)},
            {name: 'mixed.bvo', bytes: Buffer.from(MIXED)}]);
        await program.page.waitForFunction(() => Module.editorState().cubes === 4, {timeout: 15000});
        assert.equal(await program.page.title(), 'Blokkenveld - coloured.bvo');

        // A change, then a drop: the question comes first, and Cancel keeps the scene.
        await program.click(...project(await program.state(), [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().modified, {timeout: 15000});
        await program.drop([{name: 'mixed.bvo', bytes: Buffer.from(MIXED)}]);
        assert.deepEqual(await program.box(), {title: '確認', message: 'イメージが変更されています。保存しますか？',
            buttons: ['はい(Y)', 'いいえ(N)', 'キャンセル']});
        await program.page.keyboard.press('Escape');
        await program.boxGone();
        await program.frames(2);
        assert.equal((await program.state()).cubes, 5);

        // A bitmap of 100 x 100 pixels, the most the import takes, becomes a layer of 10,000 cubes with no name. Named
        // as the program's atlas, it is still the user's file: the next start keeps no copy of it as the atlas.
        await program.drop([{name: 'tex.bmp', bytes: bitmap(100, 100, (x, y) => (x * 2) << 16 | (y * 2) << 8).bytes}]);
        await program.box();
        await program.page.keyboard.press('n');
        await program.page.waitForFunction(() => Module.editorState().cubes === 10000, {timeout: 15000});
        const state = await program.state();
        assert.equal(state.named, false);
        assert.equal(await program.page.title(), 'Blokkenveld');
        assert.deepEqual(await program.page.evaluate(() => {
            Module._WebPageLeaving();
            return [Object.keys(localStorage).filter((key) => key.startsWith('FILES/')), localStorage['SYSTEM/TEXTURE']];
        }), [[], 'tex.bmp']);
        // One wider is refused, and the layer stays.
        await program.drop([{name: 'wide.bmp', bytes: bitmap(101, 50, () => 0xFFFFFF).bytes}]);
        assert.equal((await program.box()).message, 'ビットマップは100×100以下にする必要があります');
        await program.page.keyboard.press('Enter');
        await program.boxGone();
        assert.equal((await program.state()).cubes, 10000);
        const shot = await program.shot();
        await program.save(shot, 'dropped_bitmap');
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('the screenshot is the canvas as drawn, in the bytes of the program\'s bitmap writer', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        await program.menu('f', 't');
        const dialog = await program.saveDialog();
        assert.deepEqual([dialog.title, dialog.kinds], ['スクリーンショットの保存', ['BMP files (*.bmp)']]);
        await program.saveAs('view');
        const bmp = await program.download('view.bmp');
        const shown = await program.shot();
        // A 24-bit bottom-up bitmap of the client area with the 40-byte header, rows padded to four bytes.
        assert.equal(bmp.toString('latin1', 0, 2), 'BM');
        assert.deepEqual([bmp.readUInt32LE(10), bmp.readUInt32LE(14), bmp.readInt32LE(18), bmp.readInt32LE(22),
            bmp.readUInt16LE(28), bmp.readUInt32LE(2)], [54, 40, 800, 600, 24, 54 + 800 * 3 * 600]);
        let differing = 0;
        for (let y = 0; y < 600; ++y) {
            for (let x = 0; x < 800; ++x) {
                const at = 54 + (599 - y) * 2400 + x * 3;
                const [r, g, b] = shown.pixel(x, y);
                if (bmp[at] !== b || bmp[at + 1] !== g || bmp[at + 2] !== r) ++differing;
            }
        }
        assert.equal(differing, 0, 'every pixel as the page shows it');
        // The save question's dialog offers the scene's own kind alone.
        await program.click(...project(await program.state(), [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().modified, {timeout: 15000});
        await program.menu('f', 'n');
        await program.box();
        await program.page.keyboard.press('y');
        assert.deepEqual((await program.saveDialog()).kinds, ['Blokkenveld Object (*.bvo)']);
        await program.page.keyboard.press('Escape');
        await program.close();
    });
});
