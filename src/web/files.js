// The page's side of the program's files and storage: the browser's file picker for the open dialogs, files dropped
// on the page, downloads for what the program saves, the settings and the chosen palette and texture files in
// local storage, the copy of an unsaved scene, the help window, and images decoded and encoded by the browser.
'use strict';

(() => {
    const page = window.Blokkenveld;

    // ---- local storage, which a browser may refuse (private windows, a full quota): then nothing is kept

    const storage = {
        get(name) {
            try { return localStorage.getItem(name); } catch { return null; }
        },
        set(name, value) {
            try { localStorage.setItem(name, value); return true; } catch { return false; }
        },
        remove(name) {
            try { localStorage.removeItem(name); } catch { /* nothing kept to remove */ }
        },
        names(prefix) {
            try {
                return Object.keys(localStorage).filter((name) => name.startsWith(prefix));
            } catch {
                return [];
            }
        },
    };

    // ---- the open dialogs: the browser's file picker, filtered as the Windows program's dialogs are

    const ACCEPT = {object: '.bvo,.bmp,.vox', palette: '.bvp', texture: '.bmp'};

    // Resolves with {name, bytes} of the file chosen (bytes null when it cannot be read), or null when the picker was
    // closed without one. The page is modal meanwhile. A picker opens only right after the user's own input; when
    // that has run out, a small window asks for the click that opens it.
    function pick(kind) {
        return page.modal({
            fill(cover, finish) {
                const input = document.createElement('input');
                input.type = 'file';
                input.accept = ACCEPT[kind];
                let answered = false;
                const answer = (value) => {
                    if (!answered) finish(value);
                    answered = true;
                };
                input.addEventListener('change', async () => {
                    const file = input.files && input.files[0];
                    if (!file) {
                        answer(null);
                        return;
                    }
                    let bytes = null;
                    try { bytes = new Uint8Array(await file.arrayBuffer()); } catch { /* gone, or a folder */ }
                    answer({name: file.name, bytes});
                });
                input.addEventListener('cancel', () => answer(null));
                const open = kind === 'object' && window.showOpenFilePicker ? () => openScene(answer)
                    : () => input.click();
                if (navigator.userActivation && !navigator.userActivation.isActive) askForClick(cover, open, answer);
                else open();
            },
        });
    }

    // Where the browser has the system's own picker, a scene is opened through it, so that Save can write the file
    // back in place of a download.
    async function openScene(answer) {
        let handle;
        try {
            [handle] = await window.showOpenFilePicker({types: [{description: 'Blokkenveld',
                accept: {'application/octet-stream': ACCEPT.object.split(',')}}]});
        } catch {
            answer(null);
            return;
        }
        let bytes = null;
        try { bytes = new Uint8Array(await (await handle.getFile()).arrayBuffer()); } catch { /* gone meanwhile */ }
        answer({name: handle.name, bytes, handle});
    }

    // The picker needs a click of the user's: a window whose button opens it.
    function askForClick(cover, open, answer) {
        const frame = document.createElement('div');
        frame.className = 'dialog ask-click';
        frame.innerHTML = '<div class="title"><span class="text">開く</span></div><div class="content">' +
            '<div class="buttons"><button class="default">ファイルを選ぶ...</button><button class="cancel">キャンセル' +
            '</button></div></div>';
        cover.appendChild(frame);
        frame.querySelector('.default').addEventListener('click', () => {
            frame.remove();
            open();
        });
        frame.querySelector('.cancel').addEventListener('click', () => answer(null));
        setTimeout(() => frame.querySelector('.default').focus());
    }

    // ---- files dropped on the page: the first of them, as the Windows program takes a drop

    window.addEventListener('dragover', (event) => {
        if (!event.dataTransfer || !Array.from(event.dataTransfer.types).includes('Files')) return;
        event.preventDefault();
        event.dataTransfer.dropEffect = page.modalOpen ? 'none' : 'copy';
    });
    window.addEventListener('drop', async (event) => {
        if (!event.dataTransfer || !Array.from(event.dataTransfer.types).includes('Files')) return;
        // The browser would otherwise open the file in place of the page.
        event.preventDefault();
        const file = event.dataTransfer.files[0];
        if (!file || page.modalOpen) return;
        // The handle is asked for at once: the drop's data is gone after the first wait.
        const item = event.dataTransfer.items[0];
        const handlePromise = item && item.getAsFileSystemHandle ? item.getAsFileSystemHandle().catch(() => null)
            : Promise.resolve(null);
        let bytes = null;
        try { bytes = new Uint8Array(await file.arrayBuffer()); } catch { /* a folder, or a file gone: unreadable */ }
        page.post({drop: file.name, bytes, handle: await handlePromise});
    });

    // ---- what the program saves: a download under the file's name, or the user's own file written back

    const userFiles = new Set();  // files of the program folder that came from the user, not with the page
    // Object files opened or dropped with a handle the browser lets the page write, by name: saved under that name,
    // the scene goes back into that file. Only object files: a screenshot or a palette never overwrites a file the
    // user opened, and a file taken without a handle lets go of an older one of its name.
    const writable = new Map();

    // The file being opened, until the open is known to have worked: a file that does not read leaves the document,
    // and the file its Save writes, as they were.
    let opening = null;

    function startOpening(name, handle) {
        opening = {name, handle};
    }

    // The document now carries name (a file read, or saved under that name): the file being opened under it becomes
    // the one its Save writes.
    function documentNamed(name) {
        if (opening && opening.name === name) {
            const handle = opening.handle;
            if (handle && handle.kind === 'file' && name.toLowerCase().endsWith('.bvo')) writable.set(name, handle);
            else writable.delete(name);
        }
        opening = null;
    }

    // The command that opened a file is over, worked or not.
    function openingOver() {
        opening = null;
    }

    // True once the bytes are in the file; false (permission refused, the file gone) leaves a download to do.
    async function writeBack(handle, bytes) {
        try {
            if (handle.requestPermission && await handle.requestPermission({mode: 'readwrite'}) !== 'granted')
                return false;
            const stream = await handle.createWritable();
            await stream.write(bytes);
            await stream.close();
            return true;
        } catch {
            return false;
        }
    }

    async function deliver(name, bytes) {
        userFiles.add(name);
        const handle = writable.get(name);
        if (handle && await writeBack(handle, bytes)) return true;
        const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
        const link = document.createElement('a');
        link.href = url;
        link.download = name;
        link.style.display = 'none';
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
        return true;
    }

    // ---- palette and texture files the settings name, kept in storage so that the next start finds them

    const KEPT_FILE = 'FILES/';

    function toBase64(bytes) {
        let text = '';
        for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
        return btoa(text);
    }

    function fromBase64(text) {
        const binary = atob(text);
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
        return bytes;
    }

    // The files kept, for the program folder at start: [{name, bytes}].
    function keptFiles() {
        const files = [];
        for (const key of storage.names(KEPT_FILE)) {
            try {
                files.push({name: key.slice(KEPT_FILE.length), bytes: fromBase64(storage.get(key))});
                userFiles.add(key.slice(KEPT_FILE.length));
            } catch { storage.remove(key); }
        }
        return files;
    }

    // Keeps the user's files among names (read by read(name) -> bytes or null) and lets go of every other kept file.
    function keepFiles(names, read) {
        const wanted = new Set(names.filter((name) => userFiles.has(name)));
        for (const key of storage.names(KEPT_FILE))
            if (!wanted.has(key.slice(KEPT_FILE.length))) storage.remove(key);
        for (const name of wanted) {
            const bytes = read(name);
            if (bytes) storage.set(KEPT_FILE + name, toBase64(bytes));
        }
    }

    // ---- the copy of an unsaved scene, one a page, found again by the next start once its page is gone

    const RECOVERY = 'RECOVERY/';
    const LOCK = 'blokkenveld-page-';
    const previousId = (() => { try { return sessionStorage.getItem('blokkenveld-page'); } catch { return null; } })();
    let pageId = previousId || newId();

    function newId() {
        return Date.now().toString(36) + Math.random().toString(36).slice(2, 10);
    }

    // Each page holds a lock under its id for as long as it lives, so that a copy whose lock nobody holds is known
    // to be left over. A reload keeps the tab's id; a copied tab (which copies the id) takes a new one.
    const holdLock = (id, options) => new Promise((resolve) => {
        navigator.locks.request(LOCK + id, options, (lock) => {
            resolve(lock !== null);
            return lock ? new Promise(() => {}) : null;
        }).catch(() => resolve(false));
    });
    const locked = (async () => {
        if (!navigator.locks) return false;
        // The page this one replaces in the tab may still be letting go of its lock.
        const own = previousId ? await holdLock(pageId, {signal: AbortSignal.timeout(2000)}) : await holdLock(pageId, {});
        if (!own) {
            pageId = newId();
            await holdLock(pageId, {});
        }
        try { sessionStorage.setItem('blokkenveld-page', pageId); } catch { /* the id lives as long as the page */ }
        return true;
    })();

    const recovery = {
        keep(objectText, name) {
            storage.set(RECOVERY + pageId, JSON.stringify({name, time: Date.now(), scene: objectText}));
        },
        forget() {
            storage.remove(RECOVERY + pageId);
        },
        // The newest copy whose page is gone: {key, name, scene}, or null.
        async find() {
            const haveLocks = await locked;
            let held = new Set();
            if (haveLocks) {
                try { held = new Set((await navigator.locks.query()).held.map((lock) => lock.name)); } catch { /* none */ }
            }
            const found = [];
            for (const key of storage.names(RECOVERY)) {
                const id = key.slice(RECOVERY.length);
                if (id !== pageId && held.has(LOCK + id)) continue;
                try {
                    const record = JSON.parse(storage.get(key));
                    if (typeof record.scene === 'string')
                        found.push({key, name: typeof record.name === 'string' ? record.name : '', time: record.time || 0,
                            scene: record.scene});
                } catch { storage.remove(key); }
            }
            found.sort((a, b) => b.time - a.time);
            return found[0] || null;
        },
        // After the question the copy found goes: a scene taken back is this page's, kept under its own id.
        letGo(found) {
            storage.remove(found.key);
        },
    };

    // ---- help: the pages Help.chm is made of, with their contents, in a window of their own

    function openHelp() {
        const help = window.open('help/index.html', 'blokkenveld-help');
        if (help) help.focus();
    }

    // ---- images through the browser

    // An image file's pixels as RGBA rows from the top, exactly as stored (no colour management), or null.
    async function decodeImage(bytes) {
        try {
            const bitmap = await createImageBitmap(new Blob([bytes]),
                {premultiplyAlpha: 'none', colorSpaceConversion: 'none'});
            const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
            const context = canvas.getContext('2d', {willReadFrequently: true});
            context.drawImage(bitmap, 0, 0);
            const data = context.getImageData(0, 0, bitmap.width, bitmap.height).data;
            bitmap.close();
            return {width: canvas.width, height: canvas.height, rgba: data};
        } catch {
            return null;
        }
    }

    // A PNG file of RGBA rows from the top (made opaque), or null.
    async function encodePng(width, height, rgba) {
        try {
            const canvas = new OffscreenCanvas(width, height);
            const context = canvas.getContext('2d', {alpha: false});
            context.putImageData(new ImageData(rgba, width, height), 0, 0);
            const blob = await canvas.convertToBlob({type: 'image/png'});
            return new Uint8Array(await blob.arrayBuffer());
        } catch {
            return null;
        }
    }

    // ---- leaving the page

    // A scene with unsaved changes makes the browser ask before the page is left or reloaded.
    window.addEventListener('beforeunload', (event) => {
        if (page.documentModified && page.documentModified()) {
            event.preventDefault();
            event.returnValue = '';
        }
    });
    // The settings the Windows program writes at exit, and the unsaved scene as it is now.
    const leaving = () => { if (page.pageLeaving) page.pageLeaving(); };
    window.addEventListener('pagehide', leaving);
    document.addEventListener('visibilitychange', () => { if (document.visibilityState === 'hidden') leaving(); });

    page.files = {storage, pick, startOpening, documentNamed, openingOver, deliver, keptFiles, keepFiles, recovery, openHelp, decodeImage, encodePng,
        get userFiles() { return userFiles; }};
})();
