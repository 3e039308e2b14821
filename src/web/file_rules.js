// The page's decisions about files and storage as plain functions: which file a save goes into, which kept scene a
// start offers, which kept palette and texture files go. files.js acts on them; the tests call them without a page.
'use strict';

window.FileRules = (() => {
    // The folder of the page's file system that holds the user's files; the program's own artwork lies in the root,
    // so that no file of the user's can take its place.
    const USER_DIR = '/user/';

    const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);
    const stemOf = (path) => {
        const dot = path.lastIndexOf('.');
        return dot > path.lastIndexOf('/') ? path.slice(0, dot) : path;
    };
    const isScene = (path) => path.endsWith('.bvo');

    // The file the document's Save writes back once the document carries path ('' for none): the file being
    // opened under that name, or the one a save dialog chose for it, when the browser gave a handle for it and it is a
    // scene; the document's file as it was when the name did not change; else none. Each candidate is {path, handle}.
    function documentFile(path, {opening = null, chosen = null, current = null} = {}) {
        if (path === '') return null;
        for (const candidate of [opening, chosen]) {
            if (candidate && candidate.path === path)
                return candidate.handle && candidate.handle.kind === 'file' && isScene(path) ? candidate : null;
        }
        return current && current.path === path ? current : null;
    }

    // How a finished file reaches the user:
    //   'chosen'   into the file the save dialog's system picker gave for that very path;
    //   'document' back into the document's own file, for a Save of the document that was opened from it;
    //   'pick'     through the system's save picker, asked now (a file the dialog did not name: an export's
    //              companion, or a Save with no file to write back), where the browser has one;
    //   'download' offered as a download.
    // A path chosen in the page's own dialog is a download, whatever file of that name the document came from.
    function routeOf(path, {chosen = null, document = null, canPick = false} = {}) {
        if (chosen && chosen.path === path) return chosen.handle ? 'chosen' : 'download';
        if (document && document.path === path) return 'document';
        return canPick ? 'pick' : 'download';
    }

    // Whether path is written beside the file chosen for an export (the same name with another extension).
    const isCompanion = (path, chosenPath) => path !== chosenPath && stemOf(path) === stemOf(chosenPath);

    // Kept scenes are stored under 'RECOVERY/<page id>' (the unsaved scene) and 'RECOVERY/<page id>/offered' (the last
    // scene a page handed over as a download, which nothing confirmed). The one a start offers: the newest left by a
    // page that is gone (its lock not held), this page's own from before a reload included; null when none.
    function sceneToOffer(records, {pageId, held}) {
        let best = null;
        for (const record of records) {
            const id = record.key.split('/')[1];
            if (id !== pageId && held.has(id)) continue;
            if (!best || record.time > best.time) best = record;
        }
        return best;
    }

    // Of the palette and texture files kept in storage, those this page let go: kept by this page, and named by
    // its settings no more. Another page's files stay, whatever this one names.
    function keptFilesToRemove(keptHere, named) {
        return keptHere.filter((name) => !named.includes(name));
    }

    return {USER_DIR, baseName, stemOf, isScene, documentFile, routeOf, isCompanion, sceneToOffer, keptFilesToRemove};
})();
