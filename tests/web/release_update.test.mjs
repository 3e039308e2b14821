// A new release of the web zip put in place of an older one, on a host that lets the browser keep every file for a
// day: a host half way through the upload installs nothing; the open page keeps the older release until it is closed,
// and then every file is the newer one's, never a mix; a copy of the site under another path keeps its own cache.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';

import {drawn, openProgram, siteDir, startServer, suiteRig} from './browser.mjs';

const version = JSON.parse(fs.readFileSync(path.join(siteDir, 'manifest.webmanifest'), 'utf8')).version;
const SHARED = 'blokkenveld-0.9.0-0123456789ab';  // a cache of a release from before caches were named by scope

// The built site in folder, changed by change(folder), with its worker written again for the files it then holds.
function release(folder, change = () => {}) {
    fs.cpSync(siteDir, folder, {recursive: true});
    change(folder);
    execFileSync('python3', [path.join(siteDir, '..', '..', 'src', 'web', 'site_files.py'), folder, version, 'worker']);
    return folder;
}

// What a page under scope should get of a release: the digest of each file by address (the scope's own is the page).
function files(folder, scope) {
    const found = new Map(fs.readdirSync(folder, {recursive: true})
        .filter((file) => file !== 'sw.js' && fs.statSync(path.join(folder, file)).isFile())
        .map((file) => [scope + file.split(path.sep).join('/'),
            crypto.createHash('sha256').update(fs.readFileSync(path.join(folder, file))).digest('hex')]));
    return found.set(scope, found.get(scope + 'index.html'));
}

// The digests of what the page gets for urls through its worker; without urls, of every cache of the origin by name.
async function digests(page, urls = null) {
    const found = await page.evaluate(async (list) => {
        const digest = async (response) => Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256',
            await response.arrayBuffer())), (b) => b.toString(16).padStart(2, '0')).join('');
        if (list) return Promise.all(list.map(async (url) => [url, await digest(await fetch(url))]));
        return Promise.all((await caches.keys()).map(async (name) => {
            const cache = await caches.open(name);
            const held = (await cache.keys()).map(async (r) => [r.url, await digest(await cache.match(r))]);
            return [name, await Promise.all(held)];
        }));
    }, urls);
    return new Map(urls ? found : found.map(([name, list]) => [name, new Map(list)]));
}

// Has the worker of scope look for a new release: 'installed', 'redundant' (its install failed) or 'none'.
const update = (page, scope) => page.evaluate(async (s) => {
    const registration = await navigator.serviceWorker.getRegistration(s);
    await registration.update();
    const worker = registration.installing || registration.waiting;
    return worker ? new Promise((resolve) => {
        const settled = () => ['installed', 'redundant'].includes(worker.state) && resolve(worker.state);
        worker.addEventListener('statechange', settled);
        settled();
    }) : 'none';
}, scope);

describe('a new release of the web zip', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-update-');

    test('takes over whole once no page of the older one is open, and leaves another copy its cache', async () => {
        const older = release(path.join(rig.folder, 'older'));
        const newer = release(path.join(rig.folder, 'newer'), (folder) => {
            for (const [file, text] of [['blokkenveld.js', '\n// next\n'], ['page.css', '/**/'], ['index.html', '\n']])
                fs.appendFileSync(path.join(folder, file), text);
            // A custom section, which a WebAssembly module may carry anywhere and which changes nothing it does.
            fs.appendFileSync(path.join(folder, 'blokkenveld.wasm'), Buffer.from([0, 5, 4, ...Buffer.from('next')]));
        });
        const halfway = release(path.join(rig.folder, 'halfway'));  // the newer worker beside the older files
        fs.copyFileSync(path.join(newer, 'sw.js'), path.join(halfway, 'sw.js'));
        // The host's copies of the site, one/ and two/, are links to releases.
        const root = path.join(rig.folder, 'host');
        fs.mkdirSync(root);
        const serve = (copy, folder) => {
            fs.rmSync(path.join(root, copy), {force: true});
            fs.symlinkSync(folder, path.join(root, copy));
        };
        serve('one', older);
        serve('two', older);
        const host = await startServer(new Map([['blank.html', '<title>blank</title>']]), root, {keep: true});
        const one = host.url + 'one/', two = host.url + 'two/';
        const context = await rig.chromium.browser.createBrowserContext();
        const from = {context, downloads: rig.folder};
        const cachesOf = (all, scope) => [...all.keys()].filter((name) => name.endsWith(' ' + scope));
        try {
            const blank = await context.newPage();  // outside both copies' scopes, it looks at their caches
            await blank.goto(host.url + 'extra/blank.html');
            await blank.evaluate(async (name, urls) => {
                for (const url of urls) await (await caches.open(name)).put(url, new Response(url));
            }, SHARED, [one, two]);

            // Visited once, each copy keeps the older release whole in a cache of its own, and takes its own files
            // out of the shared cache, which goes with the last.
            const pages = [];
            for (const scope of [two, one]) {
                pages.push(await openProgram(rig.chromium.browser, scope, {from}));
                await pages.at(-1).page.waitForFunction(() => navigator.serviceWorker.controller, {timeout: 30000});
                const shared = (await digests(blank)).get(SHARED);
                assert.deepEqual(shared && [...shared.keys()], scope === two ? [one] : undefined);
            }
            let all = await digests(blank);
            assert.deepEqual(cachesOf(all, two).map((name) => all.get(name)), [files(older, two)]);
            const [olderCache] = cachesOf(all, one);
            assert.deepEqual(all.get(olderCache), files(older, one));

            // Half way through the upload the install fails, and no cache takes the older files for the newer release.
            const open = pages[1].page;
            serve('one', halfway);
            assert.notEqual(await update(open, one), 'installed');
            all = await digests(blank);
            assert.ok(cachesOf(all, one).every((name) => name === olderCache || all.get(name).size === 0));

            // Whole, the newer release installs whole and waits: the open page keeps the older one, reloaded too.
            serve('one', newer);
            assert.equal(await update(open, one), 'installed');
            all = await digests(blank);
            const [newerCache] = cachesOf(all, one).filter((name) => name !== olderCache);
            assert.deepEqual(all.get(newerCache), files(newer, one));
            await open.reload({waitUntil: 'load'});
            assert.deepEqual(await digests(open, [...files(older, one).keys()]), files(older, one));

            // Once the page is closed the newer release takes over whole; the older one's cache goes, the other copy's
            // stays.
            await open.close();
            await blank.waitForFunction(async (s) => !(await navigator.serviceWorker.getRegistration(s)).waiting,
                {polling: 200, timeout: 30000}, one);
            const again = await openProgram(rig.chromium.browser, one, {from});
            assert.ok(drawn(await again.shot()), 'the newer release draws');
            assert.deepEqual(await digests(again.page, [...files(newer, one).keys()]), files(newer, one));
            all = await digests(blank);
            assert.deepEqual(cachesOf(all, one), [newerCache]);
            assert.deepEqual(cachesOf(all, two).map((name) => all.get(name)), [files(older, two)]);
            assert.deepEqual([...pages[0].errors, ...pages[1].errors, ...again.errors], []);
        } finally {
            await context.close();
            host.close();
        }
    });
});
