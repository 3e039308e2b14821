// Processor use and frames of the browser version in headless Chromium, in one run: an empty page (about:blank),
// then the program's page open, focused and untouched, then the same with the Left key held.
// Usage: node tools/page_cpu.mjs [SITE_DIR] [--seconds 20] [--held-seconds 10] [--settle 5]
// SITE_DIR is a built site (build/web by default; tools/build_web.sh makes it). Processor time is the sum of user
// and system time (/proc/PID/stat) of the browser and every process below it, as a share of one core; the page's
// own frame counter gives the frames.
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {openProgram, startBrowser, startServer} from '../tests/web/browser.mjs';

const repo = path.join(path.dirname(fileURLToPath(import.meta.url)), '..');
const args = process.argv.slice(2);
const option = (name, otherwise) => {
    const at = args.indexOf(name);
    return at >= 0 ? Number(args.splice(at, 2)[1]) : otherwise;
};
const seconds = option('--seconds', 20);
const heldSeconds = option('--held-seconds', 10);
const SETTLE_MS = option('--settle', 5) * 1000;  // between a change of phase and its measurement
const site = path.resolve(args[0] || path.join(repo, 'build', 'web'));
const TICKS_PER_SECOND = 100;  // the kernel's clock ticks (USER_HZ) in which /proc gives process times

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Each process's parent and its user plus system time in clock ticks.
function processTable() {
    const table = new Map();
    for (const entry of fs.readdirSync('/proc')) {
        if (!/^\d+$/.test(entry)) continue;
        let stat;
        try {
            stat = fs.readFileSync(`/proc/${entry}/stat`, 'utf8');
        } catch {
            continue;  // gone meanwhile
        }
        // The command name may hold blanks and parentheses: the fields follow its last ')'.
        const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
        table.set(Number(entry), {parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12])});
    }
    return table;
}

// Ticks of root and every process below it, by process.
function treeTicks(root) {
    const table = processTable();
    const ticks = new Map();
    const inTree = (pid) => {
        for (let at = pid; at > 1; at = table.get(at)?.parent ?? 0)
            if (at === root) return true;
        return false;
    };
    for (const [pid, entry] of table)
        if (inTree(pid)) ticks.set(pid, entry.ticks);
    return ticks;
}

// Processor share of one core (in per cent) of the browser's processes and frames drawn over ms milliseconds.
async function measure(root, ms, framesOf = async () => 0) {
    const before = treeTicks(root), framesBefore = await framesOf(), start = performance.now();
    await sleep(ms);
    const after = treeTicks(root), frames = (await framesOf()) - framesBefore;
    const elapsed = (performance.now() - start) / 1000;
    let used = 0;
    for (const [pid, ticks] of after) used += ticks - (before.get(pid) ?? 0);
    return {share: 100 * used / TICKS_PER_SECOND / elapsed, frames, perSecond: frames / elapsed};
}

const server = await startServer(new Map(), site);
const chromium = await startBrowser();
const root = chromium.browser.process().pid;
try {
    const blank = await chromium.browser.newPage();
    await blank.goto('about:blank');
    await blank.bringToFront();
    await sleep(SETTLE_MS);
    const empty = await measure(root, seconds * 1000);
    await blank.close();

    const program = await openProgram(chromium.browser, server.url);
    const frames = () => program.page.evaluate(() => Blokkenveld.frames);
    await sleep(SETTLE_MS);
    const untouched = await measure(root, seconds * 1000, frames);
    await program.page.keyboard.down('ArrowLeft');
    await sleep(SETTLE_MS);
    const held = await measure(root, heldSeconds * 1000, frames);
    await program.page.keyboard.up('ArrowLeft');
    await program.close();

    const line = (name, m) => console.log(`${name.padEnd(26)} ${m.share.toFixed(1).padStart(6)} % of a core` +
        (m.frames === undefined ? '' : `, ${String(m.frames).padStart(5)} frames (${m.perSecond.toFixed(1)}/s)`));
    console.log(`${site}, load average ${fs.readFileSync('/proc/loadavg', 'utf8').split(' ')[0]}`);
    line(`about:blank, ${seconds} s`, {...empty, frames: undefined});
    line(`page untouched, ${seconds} s`, untouched);
    line(`page, Left held ${heldSeconds} s`, held);
    console.log(`untouched page above about:blank: ${(untouched.share - empty.share).toFixed(1)} % of a core`);
} finally {
    await chromium.close();
    server.close();
}
