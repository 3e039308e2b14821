// The copies of scenes a page keeps in storage for a later start: its unsaved scene, and every scene it handed over
// as a download that nothing confirmed. Storage, the page's id and the clock are passed in: files.js gives it the
// browser's local storage, the tests a map.
'use strict';

window.KeptScenes = (() => {
    const rules = window.FileRules;
    const PREFIX = 'RECOVERY/';
    const OFFERED = '/offered';

    // storage: {get(name), set(name, value) -> false when refused, remove(name), names(prefix)}; pageId() the id of
    // the page now; now() the time in milliseconds.
    function create({storage, pageId, now = Date.now}) {
        const record = (name, objectText) => JSON.stringify({name, time: now(), scene: objectText});

        return {
            // The unsaved scene of this page; false when storage refused it.
            keep(objectText, name) {
                return storage.set(PREFIX + pageId(), record(name, objectText));
            },
            forget() {
                storage.remove(PREFIX + pageId());
            },
            // A scene handed over as a download under path; false when storage refused it. Each file keeps its own
            // copy, so that a download of another scene leaves the earlier one's; a later download of the same file
            // replaces its copy, as the file it stands for is replaced.
            keepOffered(objectText, path) {
                return storage.set(PREFIX + pageId() + OFFERED + '/' + rules.baseName(path), record(path, objectText));
            },
            // The copies a start offers, newest first, given the ids of the pages alive (held): [{key, name, scene,
            // offered}]. A copy that does not read goes.
            found(held) {
                const records = [];
                for (const key of storage.names(PREFIX)) {
                    try {
                        const kept = JSON.parse(storage.get(key));
                        if (typeof kept.scene !== 'string') throw new TypeError('no scene');
                        records.push({key, name: typeof kept.name === 'string' ? kept.name : '', time: kept.time || 0,
                            scene: kept.scene, offered: key.includes(OFFERED, PREFIX.length)});
                    } catch {
                        storage.remove(key);
                    }
                }
                return rules.scenesToOffer(records, {pageId: pageId(), held});
            },
            // After its question a copy goes, taken back or not: a scene taken back is this page's, kept under its
            // own id.
            letGo(found) {
                storage.remove(found.key);
            },
        };
    }

    return {create};
})();
