// The page as it opens: the start cube lit from the eye with its outlines, the paint window and the status strip
// from the panel bitmap, the menu bar with the program's captions and states, and a scene named in the address.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import path from 'node:path';

import {BLACK, countColour, differences, drawn, eyeDirection, openProgram, readBmp, siteDir, suiteRig,
    VIEW} from './browser.mjs';

describe('the page as it opens', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-start-');

    test('the start cube is lit from the eye, outlined, beside the panel and above the strip', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        const shot = await program.shot();
        await program.save(shot, 'start');
        const state = await program.state();
        assert.equal(state.cubes, 1);
        assert.deepEqual(state.client, [800, 600]);

        // Each visible side shows white times the cosine between its normal and the way to the eye; no ambient.
        const d = eyeDirection(state.camera);
        const sides = [[0, 1, 0], [-1, 0, 0], [0, 0, 1]];
        for (const normal of sides) {
            const grey = Math.round(255 * (normal[0] * d[0] + normal[1] * d[1] + normal[2] * d[2]));
            const pixels = countColour(shot, [grey, grey, grey], VIEW, 1);
            assert.ok(pixels > 800, `side ${normal} should show grey ${grey}, found ${pixels} pixels`);
        }
        const cube = drawn(shot);
        assert.ok(cube.count > 4000 && cube.count < 12000, `the cube covers ${cube.count} pixels`);
        assert.ok(Math.abs((cube.left + cube.right) / 2 - 400) < 8 && Math.abs((cube.top + cube.bottom) / 2 - 300) < 8,
            'the cube stands in the middle of the view');
        // The outlines: black lines across the lit sides (the diagonals of the faces).
        let inside = 0;
        for (let y = cube.top; y <= cube.bottom; ++y) {
            const row = [];
            for (let x = cube.left; x <= cube.right; ++x) if (countColour(shot, BLACK, {left: x, top: y, right: x + 1,
                bottom: y + 1}) === 0) row.push(x);
            if (row.length < 2) continue;
            for (let x = row[0]; x <= row[row.length - 1]; ++x)
                if (countColour(shot, BLACK, {left: x, top: y, right: x + 1, bottom: y + 1}) === 1) ++inside;
        }
        assert.ok(inside > 150, `outlines inside the cube: ${inside} pixels`);

        // The panel and the strip are pieces of the panel bitmap, drawn one texel to a pixel.
        const panel = readBmp(path.join(siteDir, 'artwork', 'panel.bmp'));
        assert.equal(differences(shot, panel, {left: 0, top: 0, right: 158, bottom: 20}), 0, 'title strip');
        assert.equal(differences(shot, panel, {left: 0, top: 210, right: 78, bottom: 260}), 0, 'palette section');
        const strip = shot.pixel(400, 590);
        assert.deepEqual(strip, panel.pixel(163, 58 + 8), 'the strip is the stretched middle piece');
        const text = countColour(shot, BLACK, {left: 4, top: 584, right: 140, bottom: 598});
        assert.ok(text > 80, `the cube count is written in the strip (${text} black pixels)`);
        assert.deepEqual(program.errors, []);
        await program.close();
    });

    test('without the focus the page still draws its start cube', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url, {unfocused: true});
        assert.ok(drawn(await program.shot()).count > 4000);
        await program.close();
    });

    test('the menu bar has the program\'s captions, access keys and states', async () => {
        const program = await openProgram(rig.chromium.browser, rig.server.url);
        // The language submenu apart: its caption reads the same in both languages and has no access key.
        const items = await program.page.evaluate(() => Array.from(document.querySelectorAll('#menubar .caption, ' +
            '#menubar .item:not(.submenu, .submenu .item)')).map((e) => ({text: e.textContent,
            access: e.querySelector('u')?.textContent,
            disabled: e.classList.contains('disabled'), checked: e.classList.contains('checked')})));
        const captions = items.map((i) => i.text);
        assert.deepEqual(captions, ['ファイル(F)', '新規作成(N)          Ctrl+N', '開く(O)                  Ctrl+O',
            'サンプルを開く(M)...', '上書き保存(S)       Ctrl+S', '名前を付けて保存(A)',
            'スクリーンショット(T)', '編集(E)', '切り取り(T)             Ctrl+X', 'コピー(C)                Ctrl+C',
            '貼り付け(P)            Ctrl+V', '削除(D)                  Del', 'すべて選択(A)        Ctrl+A',
            '選択の解除(N)       Esc', '左右反転(X)', '上下反転(Y)', '前後反転(Z)', '回転(R)                   R',
            '選択範囲を塗る(F)', 'オプション(O)', '元に戻す(U)          Ctrl+Z', 'やり直し(R)           Ctrl+Y',
            'カメラを初期位置に戻す(C)', 'モデル全体を表示(E)                       Home', 'ミラー X(X)', 'ミラー Y(Y)',
            'ミラー Z(Z)', 'ミラーの中心をキューブへ(M)          M', 'ミラー面をキューブの面へ(N)           N',
            '設定(O)', '表示(V)', 'ペイントウインドウ(P)', 'ステータスウインドウ(S)',
            'ヘルプ(H)', 'ヘルプ(H)', 'バージョン情報(A)']);
        for (const item of items)
            assert.equal(item.access, item.text.match(/\((.)\)/)[1], `access key of ${item.text}`);
        const state = Object.fromEntries(items.slice(1).map((i) => [i.text.split('(')[0], i]));
        // As in the Windows program: Undo, Redo and, with nothing selected or copied, the Edit items but Select All.
        for (const item of items.slice(1))
            assert.equal(item.disabled, /^(元に|やり|切り|コピ|貼り|削除|選択の|..反転|回転|選択範)/.test(item.text), item.text);
        assert.ok(state['ペイントウインドウ'].checked && !state['ペイントウインドウ'].disabled);
        assert.ok(state['ステータスウインドウ'].checked);
        assert.deepEqual(await program.page.evaluate(() => Array.from(document.querySelectorAll('.submenu span, ' +
            '.submenu .item')).map((e) => [e.textContent, e.classList.contains('checked')])),
        [['言語 / Language', false], ['日本語', true], ['English', false]]);
        assert.equal(await program.page.title(), 'Blokkenveld');
        // The canvas keeps the browser's own menu to itself.
        const prevented = await program.page.evaluate(() => !Blokkenveld.canvas.dispatchEvent(
            new MouseEvent('contextmenu', {bubbles: true, cancelable: true, button: 2})));
        assert.ok(prevented, 'the context menu is prevented on the canvas');
        await program.close();
    });

    test('a scene named in the address opens as a command-line file would', async () => {
        // Three cubes in a row along x, one of them textured, in the Windows program's own line ends.
        rig.server.extra.set('row.bvo', 'Blokkenveld\r\n1 1\r\n2\r\n99 100 100 ffff0000\r\n101 100 100 ff0000ff\r\n' +
            'tex.bmp\r\n1\r\n100 100 100 2 0\r\n');
        const program = await openProgram(rig.chromium.browser, rig.server.url, {query: 'open=extra/row.bvo'});
        const state = await program.state();
        assert.equal(state.cubes, 3);
        assert.equal(await program.page.title(), 'Blokkenveld - row.bvo');
        const shot = await program.shot();
        await program.save(shot, 'opened_row');
        assert.ok(countColour(shot, [0, 0, 0], VIEW) < 640 * 580 - 10000, 'the row is drawn');
        assert.ok(countColour(shot, [Math.round(255 * eyeDirection(state.camera)[1]), 0, 0], VIEW, 1) > 500,
            'the red cube\'s top side is lit red');
        await program.close();

        // A file that is not there: the program says so, and once the message is closed starts with one cube.
        const missing = await openProgram(rig.chromium.browser, rig.server.url, {query: 'open=extra/none.bvo', drawn: false});
        assert.deepEqual(await missing.box(), {title: 'エラー', message: 'ファイルの読み込みに失敗しました',
            buttons: ['OK']});
        await missing.page.keyboard.press('Enter');
        await missing.boxGone();
        await missing.page.waitForFunction(() => Blokkenveld.frames > 0, {timeout: 15000});
        assert.equal((await missing.state()).cubes, 1);
        assert.equal(await missing.page.title(), 'Blokkenveld');
        await missing.close();
    });
});
