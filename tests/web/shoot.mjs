// Saves a picture of the page once it has drawn, as a user would see it: the whole page, or the canvas alone.
//   node shoot.mjs URL OUT.png [--canvas] [--size 800x600] [--click X,Y]... [--frames N]
// URL is the site's address (ending in /), optionally followed by ?query for the page. Clicks are in canvas pixels,
// each held for a few frames; the picture is taken once the frames after the last of them are drawn.
import fs from 'node:fs';
import {MENU_BAR, openProgram, startBrowser} from './browser.mjs';

const args = process.argv.slice(2);
const [address, out] = args;
if (!address || !out) {
    console.error('usage: node shoot.mjs URL OUT.png [--canvas] [--size WxH] [--click X,Y]... [--frames N]');
    process.exit(2);
}
const option = (name) => { const i = args.indexOf(name); return i >= 0 ? args[i + 1] : undefined; };
const [width, height] = (option('--size') || '800x600').split('x').map(Number);
const clicks = args.flatMap((a, i) => a === '--click' ? [args[i + 1].split(',').map(Number)] : []);
const [base, query = ''] = address.split('?');

const chromium = await startBrowser();
try {
    const program = await openProgram(chromium.browser, base.replace(/index\.html$/, ''), {width, height, query});
    for (const [x, y] of clicks) await program.click(x, y);
    await program.frames(Number(option('--frames') || 10));
    if (args.includes('--canvas')) {
        const box = await program.canvasBox();
        fs.writeFileSync(out, await program.page.screenshot({clip: box, type: 'png'}));
    } else {
        fs.writeFileSync(out, await program.page.screenshot({type: 'png'}));
    }
    const state = await program.state();
    console.log(JSON.stringify({out, cubes: state.cubes, client: state.client, menuBar: MENU_BAR,
        firstFrameMs: await program.page.evaluate(() => Blokkenveld.firstFrameTime), errors: program.errors}));
    await program.close();
} finally {
    await chromium.close();
}
