// Draws one .glb with three.js in headless Chromium to a PNG: node render_one.mjs IN.glb OUT.png
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const [input, output] = process.argv.slice(2);
const server = http.createServer((request, response) => {
    const url = decodeURIComponent(request.url.split('?')[0]);
    const file = url === '/model.glb' ? path.resolve(input)
        : url.startsWith('/three/') ? path.join(here, 'node_modules', url.slice(1)) : path.join(here, url.slice(1));
    const type = { '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript' }[path.extname(file)];
    fs.readFile(file, (error, data) => {
        response.writeHead(error ? 404 : 200, type ? { 'Content-Type': type } : {});
        response.end(error ? '' : data);
    });
}).listen(0, '127.0.0.1');
await new Promise((resolve) => server.once('listening', resolve));
const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    // Headless, it needs no display; with a DISPLAY that names one not running, it would make no WebGL context.
    env: { ...process.env, DISPLAY: undefined },
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'blokkenveld-chromium-')),
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync', '--disable-quic'],
});
try {
    const page = await browser.newPage();
    await page.setViewport({ width: 800, height: 600 });
    await page.goto(`http://127.0.0.1:${server.address().port}/page.html`);
    await page.waitForFunction('window.ready === true', { timeout: 30000 });
    await page.evaluate(() => window.render('/model.glb', 800, 600));
    await page.screenshot({ path: output });
} finally {
    await browser.close();
    server.close();
}
