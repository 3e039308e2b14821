// The page in English: asked for by the address on a first visit, kept, chosen back from the menu's submenu, and
// every word of the menu bar, the pictures, the boxes, the dialogs and the help in the language chosen.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';

import {differences, openProgram, project, siteDir, startServer, suiteRig} from './browser.mjs';

const STRIP = {left: 0, top: 581, right: 800, bottom: 600};
const PANEL = {left: 0, top: 0, right: 158, bottom: 581};
const WHOLE = {left: 0, top: 0, right: 800, bottom: 600};

// The menu bar as it reads: each caption's or item's text, access key and check mark.
const menuBar = (program) => program.page.evaluate(() => Array.from(document.querySelectorAll(
    '#menubar .caption, #menubar .item')).map((e) => ({text: e.textContent,
    access: (e.classList.contains('caption') ? e.parentElement : e).dataset.access ?? '',
    underlined: e.querySelector('u')?.textContent.toUpperCase() ?? '', checked: e.classList.contains('checked')})));

describe('language', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-language-');

    test('?lang=en reads in English everywhere, is kept, and Japanese comes back from the menu as it was', async () => {
        const japanese = await openProgram(rig.chromium.browser, rig.server.url);
        const japaneseBar = await menuBar(japanese);
        const japaneseShot = await japanese.shot();
        await japanese.close();

        let program = await openProgram(rig.chromium.browser, rig.server.url, {query: 'lang=en'});
        const bar = await menuBar(program);
        assert.equal(bar.length, japaneseBar.length);
        const byText = Object.fromEntries(bar.map((item) => [item.text, item]));
        assert.deepEqual(bar.filter((item) => /^(File|Edit|Options|View|Help)$/.test(item.text)).map((i) => i.access),
            ['F', 'E', 'O', 'V', 'H']);
        for (const item of bar) assert.equal(item.underlined, item.access, item.text);
        assert.equal(byText['NewCtrl+N'].access, 'N');
        assert.equal(byText['Save Screenshot...'].access, 'H');
        assert.ok(byText['English'].checked && !byText['日本語'].checked);
        assert.deepEqual(await program.page.evaluate(() => [document.documentElement.lang,
            Blokkenveld.texts.text('PickSaveNamed', 'a$&.bvo'), Blokkenveld.texts.plain('YesButton')]),
        ['en', 'Save "a$&.bvo"...', 'Yes']);
        // The panel's captions and the status strip are drawn in English; the scene between them as before.
        const shot = await program.shot();
        assert.ok(differences(shot, japaneseShot, PANEL) > 50, 'the panel reads in English');
        assert.ok(differences(shot, japaneseShot, STRIP) > 20, 'the strip reads in English');
        assert.equal(differences(shot, japaneseShot, {left: 158, top: 0, right: 800, bottom: 581}), 0);

        // A question and a dialog in English.
        await program.click(...project(await program.state(), [100.5, 101, 100.5]));
        await program.page.waitForFunction(() => Module.editorState().modified, {timeout: 15000});
        await program.menu('f', 'n');
        assert.deepEqual(await program.box(), {title: 'Confirm', message: 'The scene has changed. Save it?',
            buttons: ['Yes', 'No', 'Cancel']});
        await program.page.keyboard.press('n');
        await program.boxGone();
        await program.menu('f', 'a');
        const dialog = await program.saveDialog();
        assert.equal(dialog.title, 'Save As');
        assert.deepEqual(dialog.kinds.slice(0, 2), ['Blokkenveld Object (*.bvo)', 'Metasequoia Object (*.mqo)']);
        assert.equal(await program.page.evaluate(() => document.querySelector('label[for="save-name"]').textContent),
            'File name:');
        await program.page.keyboard.press('Escape');

        // The help of the language, in the window help opens.
        const opened = new Promise((resolve) => program.context.once('targetcreated', resolve));
        await program.menu('h', 'h');
        const help = await (await opened).page();
        await help.waitForFunction(() => document.querySelector('iframe')?.contentDocument?.title === 'Blokkenveld Help',
            {timeout: 15000});
        // Its picture of the window is the English program's own.
        assert.match(await help.evaluate(() => document.querySelector('iframe').contentDocument.images[0].src),
            /\/help\/en\/images\/window\.png$/);
        await help.close();

        // Kept: the next visit reads in English without asking, and an address asking for Japanese changes nothing.
        await program.goto(rig.server.url + 'index.html?lang=ja');
        assert.deepEqual(await menuBar(program), bar);
        // Japanese chosen with the keys: Options, up to the submenu at its foot, into it and out, in, its first item.
        await program.menu('o', 'ArrowUp');
        for (const key of ['ArrowRight', 'ArrowLeft', 'ArrowRight', 'Enter']) await program.page.keyboard.press(key);
        await program.frames(2);
        const back = await menuBar(program);
        assert.deepEqual(back.map(({text, access}) => ({text, access})),
            japaneseBar.map(({text, access}) => ({text, access})));
        assert.ok(back.find((item) => item.text === '日本語').checked);
        assert.equal(differences(await program.shot(), japaneseShot, WHOLE), 0, 'the picture of the Japanese page');
        program = await openProgram(rig.chromium.browser, rig.server.url, {from: program});
        assert.equal((await menuBar(program))[0].text, 'ファイル(F)');
        await program.close();
    });

    test('a site without the English panel shows the Japanese one and says so once', async () => {
        const site = fs.mkdtempSync(path.join(os.tmpdir(), 'blokkenveld-site-'));
        fs.cpSync(siteDir, site, {recursive: true});
        fs.rmSync(path.join(site, 'artwork', 'panel_en.bmp'));
        const server = await startServer(new Map(), site);
        const japanese = await openProgram(rig.chromium.browser, server.url);
        const japaneseShot = await japanese.shot();
        await japanese.close();
        const program = await openProgram(rig.chromium.browser, server.url, {query: 'lang=en'});
        for (const language of ['ja', 'en']) {  // chosen again: no second line
            await program.page.evaluate((chosen) => Blokkenveld.post({command: chosen === 'en' ? 40040 : 40039}),
                language);
            await program.frames(2);
        }
        assert.deepEqual(await program.page.evaluate(() => Array.from(document.querySelectorAll('.notice'))
            .map((line) => line.firstChild.textContent)),
        ['The English paint window\'s picture is missing, so the Japanese one is shown.']);
        const shot = await program.shot();
        assert.equal(differences(shot, japaneseShot, PANEL), 0);
        await program.close();
        server.close();
        fs.rmSync(site, {recursive: true, force: true});
    });
});
