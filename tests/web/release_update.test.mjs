// A new release of the web zip put in place of an older one, on a host that lets the browser keep every file for a
// day: until the new release takes over the pages get the old one's files, and after it the new one's, never a mix;
// a second copy of the site under another path of the same host keeps its own cache and works offline.
import {describe, test} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';

import {drawn, openProgram, siteDir, suiteRig, TYPES} from './browser.mjs';

const project = path.resolve(siteDir, '..', '..');
const version = JSON.parse(fs.readFileSync(path.join(siteDir, 'manifest.webmanifest'), 'utf8')).version;
const sha256 = (bytes) => crypto.createHash('sha256').update(bytes).digest('hex');

// The site as built, or changed by change(folder): its worker is written again for the files it then holds.
function release(folder, change = () => {}) {
    fs.cpSync(siteDir, folder, {recursive: true});
    change(folder);
    execFileSync('python3', [path.join(project, 'src', 'web', 'site_files.py'), folder, version, 'worker']);
    return folder;
}

// Each file of a release that a page may ask for, by its address under scope, with the digest of its bytes; the
// scope's own address is the page.
function expected(folder, scope) {
    const files = new Map();
    const walk = (dir) => {
        for (const entry of fs.readdirSync(dir, {withFileTypes: true})) {
            const file = path.join(dir, entry.name);
            if (entry.isDirectory()) walk(file);
            else files.set(scope + path.relative(folder, file).split(path.sep).join('/'), sha256(fs.readFileSync(file)));
        }
    };
    walk(folder);
    files.delete(scope + 'sw.js');
    files.set(scope, files.get(scope + 'index.html'));
    return files;
}

// Serves each copy of the site from the folder roots names for its path (/one/, /two/), every file to be kept a
// day, and /blank, a page outside both copies' scopes from which their caches can be looked at.
async function startHost(roots) {
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, 'http://localhost');
        if (url.pathname === '/blank') {
            response.writeHead(200, {'Content-Type': 'text/html'});
            response.end('<!DOCTYPE html><title>blank</title>');
            return;
        }
        const [, copy, ...rest] = decodeURIComponent(url.pathname).split('/');
        const file = roots[copy] && path.join(roots[copy], ...rest, url.pathname.endsWith('/') ? 'index.html' : '');
        if (!file || !file.startsWith(roots[copy]) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
            response.writeHead(404);
            response.end();
            return;
        }
        response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream',
            'Cache-Control': 'max-age=86400'});
        response.end(fs.readFileSync(file));
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return {url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()};
}

// Every cache of the origin: name -> Map(address -> digest of the bytes it holds).
async function cachesOf(page) {
    const found = await page.evaluate(async () => {
        const hex = (buffer) => Array.from(new Uint8Array(buffer), (b) => b.toString(16).padStart(2, '0')).join('');
        const all = {};
        for (const name of await caches.keys()) {
            const cache = await caches.open(name);
            all[name] = {};
            for (const request of await cache.keys())
                all[name][request.url] = hex(await crypto.subtle.digest('SHA-256', await (await cache.match(request)).arrayBuffer()));
        }
        return all;
    });
    return new Map(Object.entries(found).map(([name, files]) => [name, new Map(Object.entries(files))]));
}

// The files a page controlled by its scope's worker gets, by address.
async function servedTo(page, addresses) {
    return new Map(await page.evaluate(async (list) => Promise.all(list.map(async (address) => {
        const bytes = await (await fetch(address)).arrayBuffer();
        const digest = Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)),
            (b) => b.toString(16).padStart(2, '0')).join('');
        return [address, digest];
    })), addresses));
}

// Which of the releases every address comes from: the one name when all agree, else the mix.
function releaseOf(got, releases) {
    const names = new Set();
    for (const [address, digest] of got) {
        const owners = Object.entries(releases).filter(([, files]) => files.get(address) === digest).map(([n]) => n);
        names.add(owners.length === 1 ? owners[0] : owners.length > 1 ? 'either' : `neither (${address})`);
    }
    names.delete('either');
    return [...names].sort().join(' + ');
}

// Asks the worker of scope to look for a new release; resolves with what became of one: 'installed', 'redundant'
// (its install failed), or 'none' when there was none.
async function update(page, scope) {
    return page.evaluate(async (s) => {
        const registration = await navigator.serviceWorker.getRegistration(s);
        await registration.update();
        const worker = registration.installing || registration.waiting;
        if (!worker) return 'none';
        return new Promise((resolve) => {
            const settled = () => {
                if (worker.state === 'installed' || worker.state === 'redundant') resolve(worker.state);
            };
            worker.addEventListener('statechange', settled);
            settled();
        });
    }, scope);
}

// Whether a release of scope waits to take over.
async function waiting(page, scope) {
    return page.evaluate(async (s) => (await navigator.serviceWorker.getRegistration(s)).waiting !== null, scope);
}

async function until(what, check, timeout = 30000) {
    const end = Date.now() + timeout;
    for (;;) {
        if (await check()) return;
        if (Date.now() > end) throw new Error(`waited ${timeout / 1000} s for ${what}`);
        await new Promise((resolve) => setTimeout(resolve, 200));
    }
}

describe('a new release of the web zip', {timeout: 300000}, () => {
    const rig = suiteRig('blokkenveld-update-');

    test('takes over whole, only once no page of the old one is open, and leaves another copy its cache', async () => {
        const older = release(path.join(rig.folder, 'older'));
        const newer = release(path.join(rig.folder, 'newer'), (folder) => {
            fs.appendFileSync(path.join(folder, 'blokkenveld.js'), '\n// the next release\n');
            fs.appendFileSync(path.join(folder, 'page.css'), '/* the next release */\n');
            fs.appendFileSync(path.join(folder, 'index.html'), '<!-- the next release -->\n');
            // A custom section, which a WebAssembly module may carry anywhere and which changes nothing it does.
            const name = Buffer.from('next-release');
            fs.appendFileSync(path.join(folder, 'blokkenveld.wasm'), Buffer.concat([Buffer.from([0, name.length + 1,
                name.length]), name]));
        });
        const roots = {one: older, two: older};
        const host = await startHost(roots);
        const context = await rig.chromium.browser.createBrowserContext();
        const from = {context, downloads: rig.folder};
        try {
            const one = host.url + 'one/', two = host.url + 'two/';
            const want = {older: expected(older, one), newer: expected(newer, one)};
            for (const file of ['', 'index.html', 'blokkenveld.js', 'blokkenveld.wasm', 'page.css'])
                assert.notEqual(want.older.get(one + file), want.newer.get(one + file), file);
            const blank = await context.newPage();
            await blank.goto(host.url + 'blank');
            // A cache from before caches were named by scope, which both copies shared.
            await blank.evaluate(async (urls) => {
                const shared = await caches.open('blokkenveld-0.9.0-0123456789ab');
                for (const url of urls) await shared.put(url, new Response(url));
            }, [one, one + 'index.html', two + 'index.html']);

            // Both copies visited once: each has the older release whole in a cache of its own.
            for (const scope of [two, one]) {
                const page = await openProgram(rig.chromium.browser, scope, {from});
                await until(`the worker of ${scope} to control its page`,
                    () => page.page.evaluate(() => navigator.serviceWorker.controller !== null));
                assert.deepEqual(page.errors, []);
                if (scope === one) {
                    const shared = (await cachesOf(blank)).get('blokkenveld-0.9.0-0123456789ab');
                    assert.equal(shared, undefined, 'the shared cache went with the last copy\'s files');
                } else {
                    const shared = (await cachesOf(blank)).get('blokkenveld-0.9.0-0123456789ab');
                    assert.deepEqual([...shared.keys()].sort(), [one, one + 'index.html'], 'only this copy\'s files go');
                    await page.page.close();
                }
            }
            let all = await cachesOf(blank);
            assert.equal(all.size, 2);
            for (const scope of [one, two]) {
                const [name] = [...all.keys()].filter((n) => n.endsWith(' ' + scope));
                assert.deepEqual(all.get(name), expected(older, scope), `${scope} keeps the older release whole`);
            }
            const [olderOne] = [...all.keys()].filter((n) => n.endsWith(' ' + one));

            // Half way through putting the newer release in place, the host has its worker but the older files: its
            // install fails, and no cache holds the older files for it.
            const halfway = release(path.join(rig.folder, 'halfway'));
            fs.copyFileSync(path.join(newer, 'sw.js'), path.join(halfway, 'sw.js'));
            roots.one = halfway;
            const [openPage] = (await context.pages()).filter((p) => p.url().startsWith(one));
            assert.notEqual(await update(openPage, one), 'installed');
            all = await cachesOf(blank);
            for (const [name, files] of all)
                if (name !== olderOne && name.endsWith(' ' + one)) assert.equal(files.size, 0, name);

            // Once it is all there, the open page finds it and installs it.
            roots.one = newer;
            assert.equal(await update(openPage, one), 'installed');
            all = await cachesOf(blank);
            const [newerOne] = [...all.keys()].filter((n) => n.endsWith(' ' + one) && n !== olderOne);
            assert.deepEqual(all.get(newerOne), want.newer, 'the newer release\'s cache holds its own files, every one');
            assert.equal(releaseOf(await servedTo(openPage, [...want.older.keys()]), want), 'older',
                'the open page still gets the older release');

            // Reloaded, the open page keeps the older release; once it is closed the newer one takes over.
            await openPage.reload({waitUntil: 'load'});
            assert.equal(releaseOf(await servedTo(openPage, [...want.older.keys()]), want), 'older');
            await openPage.close();
            await until('the newer release to take over', async () => !await waiting(blank, one));
            const again = await openProgram(rig.chromium.browser, host.url + 'one/', {from});
            assert.ok(drawn(await again.shot()), 'the newer release draws');
            assert.equal(releaseOf(await servedTo(again.page, [...want.newer.keys()]), want), 'newer');
            all = await cachesOf(blank);
            assert.deepEqual([...all.keys()].filter((n) => n.endsWith(' ' + one)), [newerOne], 'the older cache went');
            const [twoCache] = [...all.keys()].filter((n) => n.endsWith(' ' + two));
            assert.deepEqual(all.get(twoCache), expected(older, two), 'the other copy keeps its cache');
            assert.deepEqual(again.errors, []);
            await again.page.close();

            // The other copy, with the server gone, starts from its cache.
            host.close();
            const offline = await context.newPage();
            await offline.setOfflineMode(true);
            await offline.goto(two + 'index.html', {waitUntil: 'load'});
            await offline.waitForFunction(() => window.Blokkenveld && Blokkenveld.frames > 0, {timeout: 30000});
            assert.equal(releaseOf(await servedTo(offline, [...expected(older, two).keys()]),
                {older: expected(older, two)}), 'older');
        } finally {
            await context.close();
            host.close();
        }
    });
});
