// What choosing a language costs the browser version, against a frame: in one run, the time from posting the command
// to the next frame drawn, for the language switched back and forth and for Reset Camera (a command that only moves
// the camera), each repeated and the medians compared.
// Usage: node tools/page_switch_time.mjs [SITE_DIR] [--runs 21]
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {openProgram, startBrowser, startServer} from '../tests/web/browser.mjs';

const repo = path.join(path.dirname(fileURLToPath(import.meta.url)), '..');
const args = process.argv.slice(2);
const at = args.indexOf('--runs');
const runs = at >= 0 ? Number(args.splice(at, 2)[1]) : 21;
const site = path.resolve(args[0] || path.join(repo, 'build', 'web'));
const COMMANDS = {japanese: 40039, english: 40040, resetCamera: 40007};

const server = await startServer(new Map(), site);
const chromium = await startBrowser();
try {
    const program = await openProgram(chromium.browser, server.url);
    // Milliseconds from posting each command to the frame after it, in the page's own clock.
    const timed = (commands) => program.page.evaluate(async (list) => {
        const times = [];
        for (const command of list) {
            await Blokkenveld.nextFrames(2);
            const start = performance.now();
            Blokkenveld.post({command});
            await Blokkenveld.nextFrames(1);
            times.push(performance.now() - start);
        }
        return times;
    }, commands);
    const median = (values) => values.slice().sort((a, b) => a - b)[values.length >> 1];
    const switches = [], resets = [];
    for (let run = 0; run < runs; ++run) {
        switches.push(...await timed([COMMANDS.english, COMMANDS.japanese]));
        resets.push(...await timed([COMMANDS.resetCamera]));
    }
    const switchMs = median(switches), resetMs = median(resets);
    console.log(`language switch to the next frame: median ${switchMs.toFixed(2)} ms of ${switches.length}`);
    console.log(`Reset Camera to the next frame:    median ${resetMs.toFixed(2)} ms of ${resets.length}`);
    console.log(`ratio ${(switchMs / resetMs).toFixed(2)}`);
    await program.close();
} finally {
    await chromium.close();
    server.close();
}
