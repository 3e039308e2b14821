// Runs the browser version in the system's Chromium, headless, with WebGL on the software rasteriser, served from
// build/web by a server of our own on 127.0.0.1; every test gets a fresh page and so a fresh program.
// Each suite gives up after five minutes, so that a page that never answers fails the run instead of holding it.
import http from 'node:http';
import {after, before} from 'node:test';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
export const siteDir = path.resolve(process.env.BLOKKENVELD_WEB_DIR || path.join(here, '..', '..', 'build', 'web'));
export const shotsDir = path.join(siteDir, '..', 'web-screens');
export const MENU_BAR = 19;

const TYPES = {'.html': 'text/html; charset=utf-8', '.htm': 'text/html; charset=utf-8', '.png': 'image/png',
    '.js': 'text/javascript', '.wasm': 'application/wasm',
    '.css': 'text/css', '.bmp': 'image/bmp', '.ico': 'image/x-icon', '.bvp': 'text/plain', '.bvo': 'text/plain',
    '.webmanifest': 'application/manifest+json'};

// Serves the site (or another folder), and files the test adds under /extra/; with keep, as a host that lets the
// browser keep every file for a day.
export async function startServer(extra = new Map(), root = siteDir, {keep = false} = {}) {
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, 'http://localhost');
        let body = null;
        if (url.pathname.startsWith('/extra/')) {
            body = extra.get(decodeURIComponent(url.pathname.slice(7))) ?? null;
        } else {
            const file = path.join(root, path.normalize(decodeURIComponent(url.pathname)).replace(/^[/\\]+/, ''));
            const target = url.pathname.endsWith('/') ? path.join(file, 'index.html') : file;
            if (target.startsWith(root) && fs.existsSync(target) && fs.statSync(target).isFile())
                body = fs.readFileSync(target);
        }
        if (body === null) {
            response.writeHead(404);
            response.end();
            return;
        }
        response.writeHead(200, {'Content-Type': TYPES[path.extname(url.pathname)] || 'application/octet-stream',
            'Cache-Control': keep ? 'max-age=86400' : 'no-store'});
        response.end(body);
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return {server, extra, url: `http://127.0.0.1:${server.address().port}/`, close: () => server.close()};
}

// The flags that keep Chromium off the closed network and on the software rasteriser.
export const CHROMIUM_FLAGS = ['--headless=new', '--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
    '--no-first-run', '--disable-background-networking', '--disable-component-update', '--disable-sync',
    '--disable-quic', '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
    '--disable-backgrounding-occluded-windows', '--hide-scrollbars'];

export async function startBrowser() {
    const userDataDir = fs.mkdtempSync(path.join(os.tmpdir(), 'blokkenveld-chromium-'));
    const browser = await puppeteer.launch({
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        // Headless, it needs no display; with a DISPLAY that names one not running, it would make no WebGL context.
        env: {...process.env, DISPLAY: undefined},
        args: [...CHROMIUM_FLAGS, `--user-data-dir=${userDataDir}`],
        headless: true,
        defaultViewport: null,
        protocolTimeout: 60000,
    });
    return {browser, close: async () => {
        await browser.close();
        fs.rmSync(userDataDir, {recursive: true, force: true});
    }};
}

// A fresh page of the program with an 800 x 600 canvas (the Windows program's client area), once it has drawn
// its first frame. query is added to the address, e.g. 'open=/extra/scene.bvo'. Each program has a browser context
// of its own, so that its settings and kept files start empty, and a folder of its own for its downloads.
// With from, the page opens in that program's context instead, as another tab of the same browser profile would.
// The system's own file pickers cannot be driven here: a page has none unless systemPicker, when the open picker
// hands over window.testPick ({name, text, id}) and the save picker window.testSavePick ({name, id}, or null: closed),
// and what is written to such a file lands in window.testWritten[id] (refused while window.testRefuse names that id).
// With address, that page is loaded instead of the site's; with localOnly, every request but for file:, data: and
// blob: addresses fails, as with no network at all. With unfocused, the page never has the focus, as a window behind
// another program.
export async function openProgram(browser, baseUrl, {width = 800, height = 600, query = '', drawn = true,
    from = null, systemPicker = false, address = null, localOnly = false, unfocused = false} = {}) {
    const downloads = from ? from.downloads : fs.mkdtempSync(path.join(os.tmpdir(), 'blokkenveld-downloads-'));
    const context = from ? from.context
        : await browser.createBrowserContext({downloadBehavior: {policy: 'allow', downloadPath: downloads}});
    const page = await context.newPage();
    const errors = [];
    page.on('pageerror', (error) => errors.push(String(error)));
    page.on('console', (message) => { if (message.type() === 'error') errors.push(message.text()); });
    await page.setViewport({width, height: height + MENU_BAR, deviceScaleFactor: 1});
    await page.evaluateOnNewDocument((withPicker) => {
        if (!withPicker) {
            for (const picker of ['showOpenFilePicker', 'showSaveFilePicker'])
                Object.defineProperty(window, picker, {value: undefined, configurable: true});
            return;
        }
        window.testWritten = {};
        const handle = (name, text, id) => ({kind: 'file', name, getFile: async () => new File([text], name),
            requestPermission: async () => (window.testRefuse === id ? 'denied' : 'granted'),
            createWritable: async () => {
                if (window.testRefuse === id) throw new DOMException('refused', 'NotAllowedError');
                const parts = [];
                return {write: async (bytes) => { parts.push(...bytes); },
                    close: async () => { window.testWritten[id] = parts; }};
            }});
        window.showOpenFilePicker = async () => {
            const {name, text, id} = window.testPick;
            return [handle(name, text, id)];
        };
        window.showSaveFilePicker = async (options) => {
            window.testSaveOptions = options;
            const picked = window.testSavePick;
            if (!picked) throw new DOMException('closed', 'AbortError');
            return handle(picked.name, '', picked.id);
        };
    }, systemPicker);
    if (localOnly) {
        await page.setRequestInterception(true);
        page.on('request', (request) => {
            if (/^(file|data|blob):/.test(request.url())) request.continue();
            else request.abort('internetdisconnected');
        });
    }
    if (unfocused) await page.evaluateOnNewDocument(() => { Document.prototype.hasFocus = () => false; });
    const program = new Program(page, errors, context, downloads);
    await program.goto(address || baseUrl + 'index.html' + (query ? '?' + query : ''), {drawn});
    return program;
}

export class Program {
    constructor(page, errors, context, downloads) {
        this.page = page;
        this.errors = errors;
        this.context = context;
        this.downloads = downloads;
    }

    // Loads the page (or loads it again when address is null), waiting for its first frames when drawn.
    async goto(address, {drawn = true} = {}) {
        if (address === null) await this.page.reload({waitUntil: 'load'});
        else await this.page.goto(address, {waitUntil: 'load'});
        await this.page.bringToFront();
        if (!drawn)
            return;
        await this.page.waitForFunction(() => window.Blokkenveld && Blokkenveld.frames > 0, {timeout: 30000})
            .catch(() => { throw new Error(`the page drew no frame within 30 s; errors: ${this.errors.join('; ')}`); });
        await this.frames(2);
    }

    state() { return this.page.evaluate(() => Module.editorState()); }

    // Waits until count more frames have been drawn, at most timeout milliseconds.
    async frames(count = 1, timeout = 20000) {
        const drawn = await this.page.evaluate((n, limit) => Promise.race([Blokkenveld.nextFrames(n).then(() => true),
            new Promise((resolve) => setTimeout(() => resolve(false), limit))]), count, timeout);
        if (!drawn)
            throw new Error(`the page drew no ${count} more frames within ${timeout / 1000} s`);
    }

    // The canvas as the page shows it: {width, height, pixel(x, y) -> [r, g, b]} in client pixels.
    async shot() {
        const box = await this.canvasBox();
        const png = await this.page.screenshot({clip: box, type: 'png', captureBeyondViewport: false});
        return decodePng(png);
    }

    async canvasBox() {
        return this.page.evaluate(() => {
            const r = Blokkenveld.canvas.getBoundingClientRect();
            return {x: r.left, y: r.top, width: r.width, height: r.height};
        });
    }

    // Input in client pixels of the canvas, each held for a few frames so that the polling sees it.
    async move(x, y, steps = 1) {
        await this.page.mouse.move(x, y + MENU_BAR, {steps});
        await this.frames(1);
    }

    async press(button = 'left') {
        await this.page.mouse.down({button});
        await this.frames(2);
    }

    async release(button = 'left') {
        await this.page.mouse.up({button});
        await this.frames(2);
    }

    async click(x, y, button = 'left') {
        await this.move(x, y);
        await this.press(button);
        await this.release(button);
    }

    async drag(from, to, button = 'left') {
        await this.move(...from);
        await this.press(button);
        await this.move(to[0], to[1], 8);
        await this.frames(2);
        await this.release(button);
    }

    // A key held for a number of frames (none: a box it opens stops them) and repeats; modifiers are held around it.
    async key(key, {frames = 2, modifiers = [], repeats = 0} = {}) {
        for (const m of modifiers) await this.page.keyboard.down(m);
        for (let i = 0; i <= repeats; ++i) await this.page.keyboard.down(key);
        if (frames > 0) await this.frames(frames);
        await this.page.keyboard.up(key);
        for (const m of modifiers.slice().reverse()) await this.page.keyboard.up(m);
        if (frames > 0) await this.frames(2);
    }

    // A key held until the editor's state passes test (a function of it, run in the page, given arg), then let go;
    // at most timeout milliseconds. For a held key whose effect grows with the time held.
    async holdUntil(key, test, arg, timeout = 15000) {
        await this.page.keyboard.down(key);
        const passed = await this.page.evaluate(async (source, value, limit) => {
            const passes = new Function('state', 'arg', `return (${source})(state, arg);`);
            for (const end = performance.now() + limit; performance.now() < end;) {
                await Blokkenveld.nextFrames(1);
                if (passes(Module.editorState(), value)) return true;
            }
            return false;
        }, test.toString(), arg, timeout);
        await this.page.keyboard.up(key);
        await this.frames(2);
        if (!passed)
            throw new Error(`${key} held for ${timeout / 1000} s: the state never passed ${test}`);
    }

    // The open box of the page: its title and message, once it is there.
    async box() {
        await this.page.waitForSelector('#box-cover .box', {timeout: 15000});
        return this.page.evaluate(() => ({title: document.querySelector('.box .title').textContent,
            message: document.querySelector('.box .message').textContent,
            buttons: Array.from(document.querySelectorAll('.box button')).map((b) => b.textContent)}));
    }

    async boxGone() {
        await this.page.waitForFunction(() => !document.querySelector('#box-cover'), {timeout: 15000});
    }

    async save(shot, name) {
        fs.mkdirSync(shotsDir, {recursive: true});
        const file = path.join(shotsDir, name + '.png');
        fs.writeFileSync(file, encodePng(shot));
        return file;
    }

    // A menu command chosen with the keyboard: Alt and the menu's access key, then the item's.
    async menu(menuKey, itemKey) {
        await this.page.keyboard.down('Alt');
        await this.page.keyboard.press(menuKey);
        await this.page.keyboard.up('Alt');
        await this.page.keyboard.press(itemKey);
    }

    // Starts what opens the browser's file picker and chooses file in it (null closes it without a file).
    async pickFile(start, file) {
        const [chooser] = await Promise.all([this.page.waitForFileChooser({timeout: 15000}), start()]);
        if (file === null) await chooser.cancel();
        else await chooser.accept([file]);
    }

    // Files dropped on the canvas, as the desktop's drag and drop delivers them: [{name, bytes}].
    async drop(files) {
        await this.page.evaluate((list) => {
            const transfer = new DataTransfer();
            for (const file of list) transfer.items.add(new File([new Uint8Array(file.bytes)], file.name));
            const options = {dataTransfer: transfer, bubbles: true, cancelable: true};
            Blokkenveld.canvas.dispatchEvent(new DragEvent('dragover', options));
            Blokkenveld.canvas.dispatchEvent(new DragEvent('drop', options));
        }, files.map((f) => ({name: f.name, bytes: Array.from(f.bytes)})));
    }

    // The save dialog, once it is there: its title, name and kinds.
    async saveDialog() {
        await this.page.waitForSelector('#box-cover .dialog.save', {timeout: 15000});
        return this.page.evaluate(() => ({title: document.querySelector('.dialog .title .text').textContent,
            name: document.querySelector('#save-name').value,
            kinds: Array.from(document.querySelectorAll('#save-kind option')).map((o) => o.textContent)}));
    }

    // Answers the save dialog with a name typed in and a kind chosen (its index), and confirms it.
    async saveAs(name, kind = null) {
        await this.saveDialog();
        if (kind !== null) await this.page.select('#save-kind', String(kind));
        await this.page.$eval('#save-name', (input, text) => { input.value = text; }, name);
        await this.page.click('.dialog.save .default');
    }

    // A file the page handed over as a download, once it has fully arrived.
    async download(name, timeout = 15000) {
        const file = path.join(this.downloads, name);
        const until = Date.now() + timeout;
        while (Date.now() < until) {
            if (fs.existsSync(file) && !fs.existsSync(file + '.crdownload')) return fs.readFileSync(file);
            await new Promise((resolve) => setTimeout(resolve, 50));
        }
        throw new Error(`no download ${name} within ${timeout / 1000} s; there are: ${fs.readdirSync(this.downloads)}`);
    }

    downloaded() { return fs.readdirSync(this.downloads).filter((name) => !name.endsWith('.crdownload')).sort(); }

    async close() {
        await this.context.close();
        fs.rmSync(this.downloads, {recursive: true, force: true});
    }
}

// ---- pictures

function paeth(a, b, c) {
    const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
    return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// 8-bit RGB or RGBA PNG, not interlaced, as Chromium writes them.
export function decodePng(buffer) {
    let offset = 8, width = 0, height = 0, channels = 0;
    const data = [];
    while (offset < buffer.length) {
        const length = buffer.readUInt32BE(offset);
        const type = buffer.toString('ascii', offset + 4, offset + 8);
        const chunk = buffer.subarray(offset + 8, offset + 8 + length);
        if (type === 'IHDR') {
            width = chunk.readUInt32BE(0);
            height = chunk.readUInt32BE(4);
            if (chunk[8] !== 8 || chunk[12] !== 0 || (chunk[9] !== 2 && chunk[9] !== 6))
                throw new Error('unexpected PNG format');
            channels = chunk[9] === 6 ? 4 : 3;
        } else if (type === 'IDAT') {
            data.push(chunk);
        }
        offset += 12 + length;
    }
    const raw = zlib.inflateSync(Buffer.concat(data));
    const stride = width * channels;
    const rgb = Buffer.alloc(width * height * 3);
    const previous = Buffer.alloc(stride), current = Buffer.alloc(stride);
    for (let y = 0; y < height; ++y) {
        const filter = raw[y * (stride + 1)];
        const line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
        for (let i = 0; i < stride; ++i) {
            const left = i >= channels ? current[i - channels] : 0;
            const up = previous[i], corner = i >= channels ? previous[i - channels] : 0;
            const predictor = [0, left, up, (left + up) >> 1, paeth(left, up, corner)][filter];
            current[i] = (line[i] + predictor) & 0xFF;
        }
        for (let x = 0; x < width; ++x)
            current.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
        current.copy(previous);
    }
    return makeShot(width, height, rgb);
}

export function makeShot(width, height, rgb) {
    return {
        width, height, rgb,
        pixel(x, y) { const i = (y * width + x) * 3; return [rgb[i], rgb[i + 1], rgb[i + 2]]; },
    };
}

function crc32(bytes) {
    let c, crc = 0xFFFFFFFF;
    for (const b of bytes) {
        c = (crc ^ b) & 0xFF;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320 ^ (c >>> 1) : c >>> 1;
        crc = (crc >>> 8) ^ c;
    }
    return (crc ^ 0xFFFFFFFF) >>> 0;
}

export function encodePng(shot) {
    const rows = Buffer.alloc((shot.width * 3 + 1) * shot.height);
    for (let y = 0; y < shot.height; ++y)
        shot.rgb.copy(rows, y * (shot.width * 3 + 1) + 1, y * shot.width * 3, (y + 1) * shot.width * 3);
    const chunk = (type, body) => {
        const head = Buffer.alloc(8);
        head.writeUInt32BE(body.length, 0);
        head.write(type, 4, 'ascii');
        const tail = Buffer.alloc(4);
        tail.writeUInt32BE(crc32(Buffer.concat([head.subarray(4), body])), 0);
        return Buffer.concat([head, body, tail]);
    };
    const header = Buffer.alloc(13);
    header.writeUInt32BE(shot.width, 0);
    header.writeUInt32BE(shot.height, 4);
    header[8] = 8;
    header[9] = 2;
    return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', header),
        chunk('IDAT', zlib.deflateSync(rows)), chunk('IEND', Buffer.alloc(0))]);
}

// A 24-bit bottom-up BMP, as the artwork script writes them.
export function readBmp(file) {
    const bytes = fs.readFileSync(file);
    const offset = bytes.readUInt32LE(10), width = bytes.readInt32LE(18), height = bytes.readInt32LE(22);
    const stride = Math.ceil(width * 3 / 4) * 4;
    const rgb = Buffer.alloc(width * Math.abs(height) * 3);
    for (let y = 0; y < Math.abs(height); ++y) {
        const row = height > 0 ? Math.abs(height) - 1 - y : y;
        for (let x = 0; x < width; ++x) {
            const i = offset + row * stride + x * 3, o = (y * width + x) * 3;
            rgb[o] = bytes[i + 2];
            rgb[o + 1] = bytes[i + 1];
            rgb[o + 2] = bytes[i];
        }
    }
    return makeShot(width, Math.abs(height), rgb);
}

// ---- where the camera puts a world point: the device's look-at view and perspective, as the editor sets them

const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
const dot = (a, b) => a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const unit = (a) => { const l = Math.hypot(...a); return [a[0] / l, a[1] / l, a[2] / l]; };

export function eyeDirection(camera) {
    const {yaw, pitch} = camera;
    return [Math.cos(yaw) * Math.cos(pitch), Math.sin(pitch), Math.sin(yaw) * Math.cos(pitch)];
}

export function project(state, point) {
    const {camera} = state;
    const [width, height] = state.client;
    const d = eyeDirection(camera);
    const eye = camera.target.map((t, i) => t + camera.distance * d[i]);
    const z = unit(sub(camera.target, eye)), x = unit(cross([0, 1, 0], z)), y = cross(z, x);
    const p = sub(point, eye);
    const yScale = 1 / Math.tan(Math.PI / 6), xScale = yScale / (width / height);
    const depth = dot(z, p);
    return [Math.floor((dot(x, p) * xScale / depth + 1) / 2 * width),
        Math.floor((1 - dot(y, p) * yScale / depth) / 2 * height)];
}

// ---- looking at pictures

export const BLACK = [0, 0, 0];
export const VIEW = {left: 158, top: 0, right: 800, bottom: 582};  // the 3-D view beside the panel, above the strip

export function same(a, b) { return a[0] === b[0] && a[1] === b[1] && a[2] === b[2]; }

// Pixels of box that are not the colour, with their bounding box.
export function drawn(shot, box = VIEW, background = BLACK) {
    let count = 0, left = Infinity, top = Infinity, right = -1, bottom = -1;
    for (let y = box.top; y < box.bottom; ++y) {
        for (let x = box.left; x < box.right; ++x) {
            if (same(shot.pixel(x, y), background)) continue;
            ++count;
            left = Math.min(left, x); right = Math.max(right, x);
            top = Math.min(top, y); bottom = Math.max(bottom, y);
        }
    }
    return {count, left, top, right, bottom};
}

// How many pixels of box differ between two pictures.
export function differences(a, b, box) {
    let n = 0;
    for (let y = box.top; y < box.bottom; ++y)
        for (let x = box.left; x < box.right; ++x)
            if (!same(a.pixel(x, y), b.pixel(x, y))) ++n;
    return n;
}

// How many pixels of box are the colour, within tolerance levels.
export function countColour(shot, colour, box = VIEW, tolerance = 0) {
    let n = 0;
    for (let y = box.top; y < box.bottom; ++y) {
        for (let x = box.left; x < box.right; ++x) {
            const p = shot.pixel(x, y);
            if (Math.abs(p[0] - colour[0]) <= tolerance && Math.abs(p[1] - colour[1]) <= tolerance &&
                Math.abs(p[2] - colour[2]) <= tolerance) ++n;
        }
    }
    return n;
}

// A suite's browser, page server and folder for its files, started before its tests and ended after them;
// fixture(name, bytes) writes a file there and gives its path.
export function suiteRig(folderPrefix) {
    const rig = {
        folder: null, server: null, chromium: null,
        fixture(name, bytes) {
            const file = path.join(rig.folder, name);
            fs.writeFileSync(file, bytes);
            return file;
        },
    };
    before(async () => {
        rig.folder = fs.mkdtempSync(path.join(os.tmpdir(), folderPrefix));
        rig.server = await startServer();
        rig.chromium = await startBrowser();
    });
    after(async () => {
        await rig.chromium?.close();
        rig.server?.close();
        fs.rmSync(rig.folder, {recursive: true, force: true});
    });
    return rig;
}

// A bottom-up 24-bit BMP and its pixels as the editor holds them (0xFFRRGGBB, rows from the top).
export function bitmap(width, height, colour) {
    const stride = Math.ceil(width * 3 / 4) * 4;
    const bytes = Buffer.alloc(54 + stride * height);
    bytes.write('BM', 0, 'ascii');
    bytes.writeUInt32LE(bytes.length, 2);
    bytes.writeUInt32LE(54, 10);
    bytes.writeUInt32LE(40, 14);
    bytes.writeInt32LE(width, 18);
    bytes.writeInt32LE(height, 22);
    bytes.writeUInt16LE(1, 26);
    bytes.writeUInt16LE(24, 28);
    const pixels = [];
    for (let y = 0; y < height; ++y) {
        for (let x = 0; x < width; ++x) {
            const c = colour(x, y), at = 54 + (height - 1 - y) * stride + x * 3;
            bytes[at] = c & 255;
            bytes[at + 1] = (c >> 8) & 255;
            bytes[at + 2] = (c >> 16) & 255;
            pixels.push((0xFF000000 | c) >>> 0);
        }
    }
    return {bytes, pixels};
}
