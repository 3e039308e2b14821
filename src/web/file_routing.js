// Which file each of the program's saves goes into: the files the page knows of (the one being opened, the one the
// save dialog chose, the document's own, the last one the system's picker gave) and how each command moves them on.
// The pickers, the writes, the downloads and the kept copies are passed in: files.js gives it the browser's, the
// tests their own.
'use strict';

window.FileRouting = (() => {
    const rules = window.FileRules;
    const pageRules = window.PageRules;
    const userPath = (name) => rules.USER_DIR + name;
    // What the program counts as saved.
    const HANDED_OVER = ['written', 'offered', 'offeredUnkept'];

    // The page's services:
    //   canPick()                          the browser has the system's save picker;
    //   pickSaveFile(name, kinds, startIn) that picker proposing name: a file handle, or null when it was closed;
    //   saveDialog(kind, proposed)         the page's own save dialog: the name chosen, or null;
    //   kindsOf(kind)                      the kinds ([label, extension]) a save dialog offers;
    //   writeInto(handle, bytes)           true once the bytes are in the file;
    //   download(name, bytes)              offers the bytes as a download;
    //   keepCopy(objectText, path)         keeps a downloaded scene's copy for a later start; false when refused.
    function create({canPick, pickSaveFile, saveDialog, kindsOf, writeInto, download, keepCopy}) {
        // Each is {path, handle} (handle null where the browser gave none) or null.
        // The file being opened, until the command that opens it is over: it becomes the document's file only when
        // the document is named after it, which a file that does not read never is.
        let opening = null;
        // The file the save dialog chose, until the next save dialog: the save writes into it (a screenshot's only at
        // the next frame, after its command), and the document takes it when it is named after it. One the save
        // never reached is forgotten.
        let chosen = null;
        // The scene file the document's Save writes back: the one it was opened from, or saved into through the
        // picker, where the browser gave a handle.
        let documentFile = null;
        // The last file the system's picker gave, where a picker asked for a file beside it starts.
        let lastPicked = null;

        async function pick(name, kinds) {
            const handle = await pickSaveFile(name, kinds, lastPicked);
            if (handle) lastPicked = handle;
            return handle;
        }

        // The file a document named path takes, from candidate: only a scene's, and only with a handle.
        const takenFrom = (candidate, path) => (candidate.handle && candidate.handle.kind === 'file' &&
            rules.isScene(path) ? candidate : null);

        async function handOver(path, bytes, copyRequired) {
            const name = rules.baseName(path);
            let route = rules.routeOf(path, {chosen, document: documentFile, canPick: canPick()});
            if (route === 'chosen') return await writeInto(chosen.handle, bytes) ? 'written' : 'failed';
            if (route === 'document') {
                if (await writeInto(documentFile.handle, bytes)) return 'written';
                // The file refused: the user says where it goes instead.
                route = canPick() ? 'pick' : 'download';
            }
            if (route === 'pick') {
                const extension = pageRules.extensionOf(name);
                const handle = await pick(name, [[`${extension.slice(1).toUpperCase()} (*${extension})`, extension]]);
                if (!handle) return 'cancelled';
                return await writeInto(handle, bytes) ? 'written' : 'failed';
            }
            if (!rules.isScene(path)) {
                download(name, bytes);
                return 'offered';
            }
            // Nothing tells whether a download arrived: the scene's copy stays in storage until a later start has
            // offered it back. It is kept first, so that a save that needs it hands nothing over without it.
            const kept = keepCopy(new TextDecoder().decode(bytes), path);
            if (!kept && copyRequired) return 'copyRefused';
            download(name, bytes);
            return kept ? 'offered' : 'offeredUnkept';
        }

        return {
            // A file picked or dropped is about to be opened under path.
            startOpening(path, handle) {
                opening = {path, handle: handle || null};
            },

            // The document now carries path ('' for none): a file just saved under that name, or read under it. A
            // save names the document before the open that follows its save question does, so the save dialog's
            // file is looked at first; each goes with the one naming it takes and no other.
            documentNamed(path) {
                if (path === '') {
                    documentFile = null;
                } else if (chosen && chosen.path === path) {
                    documentFile = takenFrom(chosen, path);
                    chosen = null;
                } else if (opening && opening.path === path) {
                    documentFile = takenFrom(opening, path);
                    opening = null;
                } else if (documentFile && documentFile.path !== path) {
                    documentFile = null;
                }
            },

            // A command is over, worked or not: a file it was opening goes with nothing any more.
            commandOver() {
                opening = null;
            },

            // The save dialog for kind proposing proposedPath's name: the system's save picker where the browser has
            // one, else the page's own dialog, whose file becomes a download. The path chosen, or null.
            async chooseSaveName(kind, proposedPath) {
                chosen = null;
                const proposed = rules.baseName(proposedPath);
                if (!canPick()) {
                    const name = await saveDialog(kind, proposed);
                    if (name === null) return null;
                    chosen = {path: userPath(name), handle: null};
                    return chosen.path;
                }
                const handle = await pick(proposed, kindsOf(kind));
                if (!handle) return null;
                chosen = {path: userPath(handle.name), handle};
                return chosen.path;
            },

            // Hands a finished file at path over; how it reached the user, by the name the program gives it:
            //   'written'       into a file, and the browser said so;
            //   'offered'       as a download, a scene's copy kept for a later start;
            //   'offeredUnkept' as a download, and storage refused the scene's copy;
            //   'copyRefused'   not at all: the save needed a copy (copyRequired) and storage refused it;
            //   'cancelled'     not at all: the user closed the picker that asked where it goes;
            //   'failed'        not at all: the file refused.
            async deliver(path, bytes, copyRequired = false) {
                const delivered = await handOver(path, bytes, copyRequired);
                // A file chosen for a save that never reached it is not the one a later save of that name goes into.
                if (!HANDED_OVER.includes(delivered) && chosen && chosen.path === path) chosen = null;
                return delivered;
            },
        };
    }

    return {create};
})();
