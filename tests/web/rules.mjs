// The page's rule scripts (src/web/*_rules.js) loaded into node without a browser: each is a plain script that
// puts its functions on window, and knows nothing of the page at load.
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import {fileURLToPath} from 'node:url';

const webDir = path.join(path.dirname(fileURLToPath(import.meta.url)), '..', '..', 'src', 'web');

// The window a rule script leaves behind: loadRules('file_rules.js').FileRules.
export function loadRules(...names) {
    const context = {window: {}};
    for (const name of names)
        vm.runInNewContext(fs.readFileSync(path.join(webDir, name), 'utf8'), context, {filename: name});
    return context.window;
}
