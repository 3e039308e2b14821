// The page's plain scripts (src/web/*_rules.js and the modules built on them) loaded into node without a browser:
// each puts what it offers on window, and knows nothing of the page at load.
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import {fileURLToPath} from 'node:url';

const webDir = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'src', 'web');

// The window the scripts leave behind, loaded in order into one: loadRules('file_rules.js').FileRules.
export function loadRules(...names) {
    const context = {window: {}, TextDecoder};
    for (const name of names)
        vm.runInNewContext(fs.readFileSync(path.join(webDir, name), 'utf8'), context, {filename: name});
    return context.window;
}
