// Runs every end-to-end test of the page, one file after another in this one process, so that no two browsers
// compete for the machine: node run.mjs [FILE...]
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath, pathToFileURL} from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const chosen = process.argv.slice(2);
const files = chosen.length > 0 ? chosen.map((f) => path.resolve(f))
    : fs.readdirSync(here).filter((f) => f.endsWith('.test.mjs')).sort().map((f) => path.join(here, f));
for (const file of files)
    await import(pathToFileURL(file).href);
