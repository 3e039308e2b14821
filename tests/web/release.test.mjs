// The browser version as the release hands it out: the one-file page opened from disk with no network at all, and
// the web zip served, visited once and then used with the server gone, as an installable app.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import {pathToFileURL} from 'node:url';

import {drawn, openProgram, project, siteDir, startServer, suiteRig} from './browser.mjs';

const release = path.join(siteDir, '..', 'web-release');
const [onePage] = fs.readdirSync(release).filter((name) => /^Blokkenveld-[\d.]+\.html$/.test(name));
const webZip = onePage.replace('.html', '-web.zip');
const fileTool = path.join(siteDir, '..', 'native', 'e2e_file_tool');
// The house's coloured cubes, then after them the atlas's name and its textured cubes.
const houseLines = fs.readFileSync(path.join(siteDir, 'samples', 'house.bvo'), 'latin1').split(/\r?\n/);
const houseCubes = Number(houseLines[2]) + Number(houseLines[3 + Number(houseLines[2]) + 1]);

// A sample chosen with the keyboard in the samples window (keys: Enter for the first, the house; End, Enter for the
// last, the picture): a new unnamed scene of count cubes, unmodified.
async function openSample(program, keys, count) {
    await program.menu('f', 'm');
    await program.page.waitForSelector('#box-cover .samples select', {timeout: 15000});
    for (const key of keys) await program.page.keyboard.press(key);
    await program.page.waitForFunction((n) => {
        const state = Module.editorState();
        return state.cubes === n && !state.named && !state.modified && document.title === 'Blokkenveld';
    }, {timeout: 15000}, count);
}

// Help opens its window and shows the first page of the contents; the English help, which the program asks for by its
// folder, then takes the same window, with the pictures it shares with the Japanese one.
async function helpShowsAPage(program) {
    const opened = new Promise((resolve) => program.context.once('targetcreated', resolve));
    await program.menu('h', 'h');
    const help = await (await opened).page();
    for (const title of ['Blokkenveld ヘルプ', 'Blokkenveld Help']) {
        if (title === 'Blokkenveld Help') await program.page.evaluate(() => Blokkenveld.files.openHelp('help/en/'));
        await help.waitForFunction((t) => document.querySelector('iframe')?.contentDocument?.title === t,
            {timeout: 15000}, title);
        // The title comes before the pictures have loaded; each must load, from wherever the page takes them.
        const pictures = await help.waitForFunction(() => {
            const images = Array.from(document.querySelector('iframe').contentDocument.images);
            return images.length > 0 && images.every((image) => image.complete) &&
                images.every((image) => image.naturalWidth > 0);
        }, {timeout: 15000}).then(() => true, () => false);
        assert.ok(pictures, `the pictures of ${title} are there`);
    }
    await help.close();
}

describe('release', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-release-');

    test('the one-file page runs from disk with no network: draws, edits, saves, helps and opens a sample',
        async () => {
        assert.ok(fs.statSync(path.join(release, onePage)).size <= 1.5 * 1024 * 1024, 'at most 1.5 MB');
        const program = await openProgram(rig.chromium.browser, null,
            {address: pathToFileURL(path.join(release, onePage)).href, localOnly: true});
        assert.ok(drawn(await program.shot()), 'the start cube is drawn');
        await program.click(...project(await program.state(), [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().cubes === 2, {timeout: 15000});

        await program.menu('f', 'a');
        await program.saveAs('desk');
        const saved = rig.fixture('desk.bvo', await program.download('desk.bvo'));
        const native = saved.replace('.bvo', '-native.bvo');
        execFileSync(fileTool, [saved, native]);
        assert.deepEqual(fs.readFileSync(saved), fs.readFileSync(native), 'the native writer\'s bytes');
        assert.match(fs.readFileSync(saved, 'latin1'), /^Blokkenveld\r\n\d \d\r\n2\r\n/);

        await helpShowsAPage(program);
        await openSample(program, ['Enter'], houseCubes);
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('the web zip, visited once, works with the server gone (its samples and picture too) and installs with its file handlers', async () => {
        const folder = path.join(rig.folder, 'site');
        execFileSync('python3', ['-m', 'zipfile', '-e', path.join(release, webZip), folder]);
        const root = path.join(folder, webZip.replace('.zip', ''));
        const server = await startServer(new Map(), root);
        // An app installs only from a profile of its own, never from a private (incognito) context.
        const program = await openProgram(rig.chromium.browser, server.url,
            {from: {context: rig.chromium.browser.defaultBrowserContext(), downloads: rig.folder}});
        await program.page.evaluate(() => navigator.serviceWorker.ready);
        const session = await program.page.createCDPSession();
        assert.deepEqual((await session.send('Page.getInstallabilityErrors')).installabilityErrors, []);
        const manifest = JSON.parse((await session.send('Page.getAppManifest')).data);
        assert.deepEqual(manifest.file_handlers.flatMap((handler) => Object.values(handler.accept).flat()).sort(),
            ['.bvo', '.vox']);

        server.close();
        await program.page.setOfflineMode(true);
        await program.goto(null);
        assert.ok(drawn(await program.shot()), 'drawn from the kept files');
        await openSample(program, ['Enter'], houseCubes);
        await openSample(program, ['End', 'Enter'], 64 * 48);
        await helpShowsAPage(program);
        assert.deepEqual(program.errors, []);
        await program.page.close();
    });
});
