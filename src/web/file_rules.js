// The page's decisions about files and storage as plain functions: which file a save goes into, which kept scenes a
// start offers and in which order, which kept palette and texture files go. file_routing.js, kept_scenes.js and
// files.js act on them; the tests call them without a page.
'use strict';

window.FileRules = (() => {
    // The folder of the page's file system that holds the user's files; the program's own artwork lies in the root,
    // so that no file of the user's can take its place.
    const USER_DIR = '/user/';

    const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);
    const isScene = (path) => path.endsWith('.bvo');

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

    // The page id a kept scene's key names: 'RECOVERY/<page id>' (its unsaved scene) or
    // 'RECOVERY/<page id>/offered/<name>' (a scene it handed over as a download, which nothing confirmed).
    const pageOf = (key) => key.split('/')[1];

    // The kept scenes a start offers, newest first: those left by pages that are gone (their lock not held), this
    // page's own from before a reload included.
    function scenesToOffer(records, {pageId, held}) {
        return records.filter((record) => pageOf(record.key) === pageId || !held.has(pageOf(record.key)))
            .sort((a, b) => b.time - a.time);
    }

    // Of the palette and texture files kept in storage, those this page let go: kept by this page, and named by
    // its settings no more. Another page's files stay, whatever this one names.
    function keptFilesToRemove(keptHere, named) {
        return keptHere.filter((name) => !named.includes(name));
    }

    return {USER_DIR, baseName, isScene, routeOf, scenesToOffer, keptFilesToRemove};
})();
