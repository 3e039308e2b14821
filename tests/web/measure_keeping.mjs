// What keeping an unsaved scene costs the page, with the most cubes a scene holds (not part of the test command):
// node measure_keeping.mjs [ROUNDS]. Prints the milliseconds of leaving the page (the settings written and the scene
// kept as it is) for a saved scene and for an unsaved one whose copy is current (the cost of each of the keeper's
// looks), each the median of ROUNDS, and the frames per second, an arrow key held, while the keeper looks every three
// seconds.
import {openProgram, startBrowser, startServer} from './browser.mjs';

const rounds = Number(process.argv[2] || 15);

// A 100 x 100 bitmap of many colours: 10,000 cubes.
function bitmap() {
    const bytes = Buffer.alloc(54 + 300 * 100);
    bytes.write('BM', 0, 'ascii');
    bytes.writeUInt32LE(bytes.length, 2);
    bytes.writeUInt32LE(54, 10);
    bytes.writeUInt32LE(40, 14);
    bytes.writeInt32LE(100, 18);
    bytes.writeInt32LE(100, 22);
    bytes.writeUInt16LE(1, 26);
    bytes.writeUInt16LE(24, 28);
    for (let i = 54; i < bytes.length; ++i) bytes[i] = (i * 37) & 255;
    return bytes;
}

const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await startServer();
const chromium = await startBrowser();
try {
    const program = await openProgram(chromium.browser, server.url);
    await program.drop([{name: 'many.bmp', bytes: bitmap()}]);
    await program.page.waitForFunction(() => Module.editorState().cubes === 10000, {timeout: 30000});
    const leave = () => program.page.evaluate(async (n) => {
        const times = [];
        for (let i = 0; i < n; ++i) {
            const start = performance.now();
            Module._WebPageLeaving();
            times.push(performance.now() - start);
        }
        return times;
    }, rounds);
    const saved = median(await leave());
    await program.click(400, 300);
    await program.page.waitForFunction(() => Module.editorState().modified, {timeout: 15000});
    const current = median(await leave());
    // A page at rest draws no frames: a held arrow key keeps them coming, the camera turning.
    await program.page.keyboard.down('ArrowLeft');
    const fps = await program.page.evaluate(async () => {
        const frames = Blokkenveld.frames, start = performance.now();
        await new Promise((resolve) => setTimeout(resolve, 6500));
        return (Blokkenveld.frames - frames) / ((performance.now() - start) / 1000);
    });
    await program.page.keyboard.up('ArrowLeft');
    await program.close();
    console.log(`leaving, saved scene:            ${saved.toFixed(2)} ms`);
    console.log(`leaving, unsaved, copy current:  ${current.toFixed(2)} ms`);
    console.log(`frames per second while unsaved: ${fps.toFixed(1)}`);
} finally {
    await chromium.close();
    server.close();
}
