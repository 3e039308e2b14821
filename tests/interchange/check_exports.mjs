// Reads every export of blokkenveld-convert back with readers Blokkenveld did not write: Khronos's glTF validator,
// and three.js's GLTFLoader (in headless Chromium; the .glb and the .gltf alike), OBJLoader with MTLLoader, and
// VOXLoader. Also the round trip
// .bvo -> .vox -> .bvo and the palette error of a photograph fitted into 255 colours. Prints one line per check
// and "N passed, N failed".
// Usage: node check_exports.mjs CONVERTER ATLAS.bmp WORK_DIR [PICTURE.png]
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';

import validator from 'gltf-validator';
import puppeteer from 'puppeteer-core';
import * as THREE from 'three';
import { MTLLoader } from 'three/examples/jsm/loaders/MTLLoader.js';
import { OBJLoader } from 'three/examples/jsm/loaders/OBJLoader.js';
import { VOXLoader } from 'three/examples/jsm/loaders/VOXLoader.js';

import { bvoText, facePoint, hull, linearToSrgb, parseBvo, readBmp, rgb, scenes, toModel } from './scenes.mjs';

const here = path.dirname(fileURLToPath(import.meta.url));
const [converter, atlasPath, work, picture] = process.argv.slice(2);
fs.mkdirSync(work, { recursive: true });
fs.copyFileSync(atlasPath, path.join(work, 'tex.bmp'));
const atlas = readBmp(fs.readFileSync(atlasPath));
let passed = 0, failed = 0;

function check(condition, what) {
    if (condition) passed++;
    else failed++;
    console.log(`${condition ? 'ok  ' : 'FAIL'} ${what}`);
}

function convert(input, output) {
    const run = spawnSync(converter, [input, output], { cwd: work, encoding: 'utf8' });
    if (run.status !== 0) console.log(run.stderr);
    return run.status;
}

const near = (a, b, tolerance) => a.every((v, i) => Math.abs(v - b[i]) <= tolerance);
const cellOf = (uv) => [Math.floor(uv[0] * 8), Math.floor(uv[1] * 8)];
const texelAt = (uv) => atlas.pixels[Math.floor(uv[1] * atlas.height)][Math.floor(uv[0] * atlas.width)];
// A sample of the exposed faces: every face of small scenes, a spread of a large one's.
const sampled = (faces) => faces.filter((f, i) => faces.length <= 200 || i % Math.floor(faces.length / 150) === 0);

const all = scenes();
for (const [name, cubes] of Object.entries(all)) {
    fs.writeFileSync(path.join(work, `${name}.bvo`), bvoText(cubes));
    for (const ext of ['glb', 'gltf', 'obj', 'vox']) check(convert(`${name}.bvo`, `${name}.${ext}`) === 0, `${name}.bvo -> ${name}.${ext}`);
}

// Khronos's validator: no errors and no warnings on any .glb or .gltf.
const GLTF_FORMS = ['glb', 'gltf'];
for (const name of Object.keys(all)) {
    for (const ext of GLTF_FORMS) {
        const bytes = new Uint8Array(fs.readFileSync(path.join(work, `${name}.${ext}`)));
        const report = await validator.validateBytes(bytes, { uri: `${name}.${ext}` });
        const i = report.issues;
        console.log(`validator: ${name}.${ext}: ${i.numErrors} errors, ${i.numWarnings} warnings, ${i.numInfos} infos, ${i.numHints} hints`);
        for (const m of i.messages) console.log(`  ${m.code} ${m.pointer ?? ''} ${m.message}`);
        check(i.numErrors === 0 && i.numWarnings === 0, `${name}.${ext} passes the glTF validator`);
    }
}
{
    const again = path.join(work, 'mixed-again.glb');
    convert('mixed.bvo', 'mixed-again.glb');
    check(Buffer.compare(fs.readFileSync(again), fs.readFileSync(path.join(work, 'mixed.glb'))) === 0, 'the same scene gives the same .glb bytes');
}

// GLTFLoader in headless Chromium: counts, and colours and atlas texels where rays meet sampled faces.
const server = http.createServer((request, response) => {
    const url = decodeURIComponent(request.url.split('?')[0]);
    const file = url.startsWith('/three/') ? path.join(here, 'node_modules', url.slice(1))
        : url.startsWith('/work/') ? path.join(work, url.slice(6)) : path.join(here, url.slice(1));
    const type = { '.html': 'text/html', '.mjs': 'text/javascript', '.js': 'text/javascript', '.png': 'image/png' }[path.extname(file)];
    fs.readFile(file, (error, data) => {
        response.writeHead(error ? 404 : 200, type ? { 'Content-Type': type } : {});
        response.end(error ? '' : data);
    });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = `http://127.0.0.1:${server.address().port}`;
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
    page.on('pageerror', (error) => console.log(`page: ${error.message}`));
    await page.goto(`${base}/page.html`);
    await page.waitForFunction('window.ready === true', { timeout: 30000 });
    for (const [name, cubes] of Object.entries(all)) for (const ext of GLTF_FORMS) {
        const h = hull(cubes);
        const faces = sampled(h.faces);
        const result = await page.evaluate((url, q) => window.checkGlb(url, q), `/work/${name}.${ext}`, faces.map((f) => facePoint(f, h)));
        check(result.vertices === 4 * h.faces.length && result.triangles === 2 * h.faces.length,
            `${name}.${ext} in GLTFLoader: ${result.vertices} vertices, ${result.triangles} triangles (${h.faces.length} exposed faces)`);
        check(result.materials === (h.faces.length ? new Set(cubes.map((c) => !!c.cell)).size : 0), `${name}.${ext}: ${result.materials} materials`);
        let wrong = 0;
        result.samples.forEach((s, k) => {
            const face = faces[k], want = facePoint(face, h);
            const ok = s && near(s.at, want.point, 1e-4) && near(s.normal, want.normal, 1e-6) &&
                (face.cube.cell ? s.uv && cellOf(s.uv).join() === face.cube.cell.join() && near(s.texel, texelAt(s.uv), 0) && s.filters.every(Boolean)
                    : s.colour && near(s.colour, rgb(face.cube.colour), 1));
            if (!ok && wrong++ < 3) console.log(`  ${name}.${ext} face ${JSON.stringify(face)}: ${JSON.stringify(s)}`);
        });
        check(wrong === 0, `${name}.${ext}: colours and atlas texels at ${faces.length} sampled faces`);
    }
    const png = await page.evaluate((url) => window.pngPixels(url), '/work/mixed.png');
    let differ = png.width !== atlas.width || png.height !== atlas.height;
    for (let y = 0; y < atlas.height && !differ; y++)
        for (let x = 0; x < atlas.width; x++)
            if (!near(png.data.slice((y * png.width + x) * 4, (y * png.width + x) * 4 + 3), atlas.pixels[y][x], 0)) differ = true;
    check(!differ, 'the OBJ export\'s atlas picture holds the atlas pixel for pixel');
    if (picture) {
        const shot = await browser.newPage();
        await shot.setViewport({ width: 800, height: 600 });
        await shot.goto(`${base}/page.html`);
        await shot.waitForFunction('window.ready === true', { timeout: 30000 });
        fs.copyFileSync(path.join(work, 'mixed.glb'), path.join(work, 'picture.glb'));
        await shot.evaluate((url) => window.render(url, 800, 600), '/work/picture.glb');
        await shot.screenshot({ path: picture });
        console.log(`picture: ${picture}`);
    }
} finally {
    await browser.close();
    server.close();
}

// OBJLoader and MTLLoader under node: counts, shared corners, and the material colour where rays meet faces.
for (const [name, cubes] of Object.entries(all)) {
    const h = hull(cubes);
    const group = new OBJLoader().parse(fs.readFileSync(path.join(work, `${name}.obj`), 'utf8'));
    const mtl = new MTLLoader().parse(fs.readFileSync(path.join(work, `${name}.mtl`), 'utf8'), '');
    const meshes = group.children.filter((o) => o.isMesh);
    let triangles = 0;
    const positions = new Set(), names = new Set();
    for (const mesh of meshes) {
        const p = mesh.geometry.attributes.position;
        triangles += p.count / 3;
        for (let i = 0; i < p.count; i++) positions.add(`${p.getX(i)},${p.getY(i)},${p.getZ(i)}`);
        for (const m of [].concat(mesh.material)) names.add(m.name);
    }
    check(triangles === 2 * h.faces.length && positions.size === h.corners,
        `${name}.obj in OBJLoader: ${positions.size} shared vertices (${h.corners} corners), ${triangles} triangles`);
    check(names.size === h.materials && Object.keys(mtl.materialsInfo).length === h.materials,
        `${name}.obj: ${names.size} materials used, ${Object.keys(mtl.materialsInfo).length} in the library (${h.materials} expected)`);
    const raycaster = new THREE.Raycaster();
    let wrong = 0;
    const faces = sampled(h.faces);
    for (const face of faces) {
        const q = facePoint(face, h);
        raycaster.set(new THREE.Vector3(...q.point).addScaledVector(new THREE.Vector3(...q.normal), 0.25), new THREE.Vector3(...q.normal).negate());
        const hit = raycaster.intersectObjects(meshes, false)[0];
        const material = hit && [].concat(hit.object.material)[hit.face.materialIndex ?? 0];
        const info = material && mtl.materialsInfo[material.name];
        const ok = hit && near(hit.point.toArray(), q.point, 1e-4) && hit.face.normal.dot(new THREE.Vector3(...q.normal)) > 0.999 &&
            (face.cube.cell ? info.map_kd === `${name}.png` && hit.uv && cellOf([hit.uv.x, 1 - hit.uv.y]).join() === face.cube.cell.join()
                : near(info.kd.map((v) => Math.round(v * 255)), rgb(face.cube.colour), 0));
        if (!ok && wrong++ < 3) console.log(`  ${name}.obj face ${JSON.stringify(face)}: ${hit && JSON.stringify([hit.point, info])}`);
    }
    check(wrong === 0, `${name}.obj: material colours and atlas cells at ${faces.length} sampled faces`);
}

// VOXLoader: every voxel where its cube is (z up), with its cube's colour; the round trip back to a scene.
function readVox(file) {
    const bytes = fs.readFileSync(path.join(work, file));
    const chunk = new VOXLoader().parse(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.length)).chunks[0];
    const voxels = [];
    for (let i = 0; i < chunk.data.length; i += 4) {
        const hex = chunk.palette[chunk.data[i + 3]];
        voxels.push({ at: [chunk.data[i], chunk.data[i + 1], chunk.data[i + 2]], rgb: [hex & 255, (hex >> 8) & 255, (hex >> 16) & 255] });
    }
    return { size: chunk.size, voxels };
}
for (const [name, cubes] of Object.entries(all)) {
    const h = hull(cubes), vox = readVox(`${name}.vox`);
    const meanOf = (c) => {
        const sum = [0, 0, 0];
        for (let y = c.cell[1] * 16; y < c.cell[1] * 16 + 16; y++)
            for (let x = c.cell[0] * 16; x < c.cell[0] * 16 + 16; x++) atlas.pixels[y][x].forEach((v, k) => { sum[k] += v; });
        return sum.map((v) => Math.round(v / 256));
    };
    const want = new Map(cubes.map((c) => [[c.x - h.low[0], c.z - h.low[2], c.y - h.low[1]].join(), c.cell ? meanOf(c) : rgb(c.colour)]));
    const size = cubes.length ? [h.high[0] - h.low[0] + 1, h.high[2] - h.low[2] + 1, h.high[1] - h.low[1] + 1] : [1, 1, 1];
    // More than 255 colours are fitted to a palette: each within a fitted colour's reach, not exactly its own.
    const fitted = new Set([...want.values()].map((c) => c.join())).size > 255;
    const wrong = vox.voxels.filter((v) => !want.has(v.at.join()) || !near(want.get(v.at.join()), v.rgb, fitted ? 40 : 1)).length;
    check(vox.voxels.length === cubes.length && wrong === 0 && near([vox.size.x, vox.size.y, vox.size.z], size, 0),
        `${name}.vox in VOXLoader: ${vox.voxels.length} voxels of ${cubes.length} cubes in ${vox.size.x} x ${vox.size.y} x ${vox.size.z}, ${wrong} misplaced or miscoloured`);
}
for (const name of ['colours', 'limits', 'full']) {
    const cubes = all[name].filter((c) => !c.cell);
    fs.writeFileSync(path.join(work, `${name}-plain.bvo`), bvoText(cubes));
    const ok = convert(`${name}-plain.bvo`, `${name}-trip.vox`) === 0 && convert(`${name}-trip.vox`, `${name}-trip.bvo`) === 0;
    const relative = (list) => {
        const h = hull(list);
        return new Set(list.map((c) => `${c.x - h.low[0]},${c.y - h.low[1]},${c.z - h.low[2]},${c.colour}`));
    };
    const before = relative(cubes), after = ok ? relative(parseBvo(fs.readFileSync(path.join(work, `${name}-trip.bvo`), 'utf8'))) : new Set();
    check(before.size === after.size && [...before].every((c) => after.has(c)),
        `${name}: .bvo -> .vox -> .bvo keeps all ${before.size} cubes and their ${new Set(cubes.map((c) => c.colour)).size} colours`);
}

// A file without a palette takes MagicaVoxel's default one, as VOXLoader gives it.
{
    const voxels = Buffer.alloc(4 + 255 * 4);
    voxels.writeUInt32LE(255, 0);
    for (let i = 0; i < 255; i++) voxels.set([i % 16, Math.floor(i / 16), 0, i + 1], 4 + 4 * i);
    const chunk = (id, content) => Buffer.concat([Buffer.from(id), Buffer.from(new Uint32Array([content.length, 0]).buffer), content]);
    const children = Buffer.concat([chunk('SIZE', Buffer.from(new Uint32Array([16, 16, 1]).buffer)), chunk('XYZI', voxels)]);
    fs.writeFileSync(path.join(work, 'plain.vox'), Buffer.concat([Buffer.from('VOX '), Buffer.from(new Uint32Array([150]).buffer),
        Buffer.from('MAIN'), Buffer.from(new Uint32Array([0, children.length]).buffer), children]));
    const theirs = readVox('plain.vox');
    const ok = convert('plain.vox', 'plain.bvo') === 0;
    const ours = ok ? parseBvo(fs.readFileSync(path.join(work, 'plain.bvo'), 'utf8')) : [];
    const wrong = theirs.voxels.filter((v, i) => !ours[i] || !near(rgb(ours[i].colour), v.rgb, 0)).length;
    check(ours.length === 255 && wrong === 0, `a .vox without a palette reads with VOXLoader's default palette (${wrong} of 255 differ)`);
}

// A photograph imported as cubes has thousands of colours; its .vox keeps 255. The error against each pixel, and
// against a uniform palette of 6 x 7 x 6 levels for scale.
{
    execFileSync('convert', ['rose:', '-resize', '100x100!', '-type', 'truecolor', 'BMP3:' + path.join(work, 'photo.bmp')]);
    const photo = readBmp(fs.readFileSync(path.join(work, 'photo.bmp')));
    check(convert('photo.bmp', 'photo.vox') === 0, 'photo.bmp -> photo.vox');
    const vox = readVox('photo.vox');
    const distance = (a, b) => Math.hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
    const uniform = (p) => p.map((v, k) => { const n = [5, 6, 5][k]; return Math.round(Math.round((v / 255) * n) * 255 / n); });
    let ours = 0, worst = 0, baseline = 0;
    for (const v of vox.voxels) {
        // The import puts pixel c of row r (from the bottom) at x = 150 - c, y = 50 + r: voxel x = 99 - c, z = r.
        const pixel = photo.pixels[photo.height - 1 - v.at[2]][photo.width - 1 - v.at[0]];
        const e = distance(pixel, v.rgb);
        ours += e;
        worst = Math.max(worst, e);
        baseline += distance(pixel, uniform(pixel));
    }
    const colours = new Set(photo.pixels.flat().map((p) => p.join())).size;
    ours /= vox.voxels.length;
    baseline /= vox.voxels.length;
    console.log(`palette error: ${colours} colours into 255: mean ${ours.toFixed(2)}, worst ${worst.toFixed(1)} (RGB distance, 0-441); uniform 6x7x6 palette: mean ${baseline.toFixed(2)}`);
    check(vox.voxels.length === 10000 && colours > 255 && ours < baseline / 2, 'the fitted palette keeps the photograph\'s error under half a uniform palette\'s');
}

console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
