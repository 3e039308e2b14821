// The page's side of the program's files and storage: the browser's file picker for the open dialogs, files dropped
// on the page, the save picker, writes and downloads that file_routing.js sends what the program saves through, the
// settings and the chosen palette and texture files in local storage, the kept scenes' storage (kept_scenes.js) and
// locks, the help window, and images decoded and encoded by the browser.
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
    function askForClick(cover, open, answer, title = page.texts.text('PickOpenTitle'),
        caption = page.texts.text('PickFile')) {
        const frame = document.createElement('div');
        frame.className = 'dialog ask-click';
        frame.innerHTML = '<div class="title"><span class="text"></span></div><div class="content">' +
            '<div class="buttons"><button class="default"></button><button class="cancel"></button></div></div>';
        frame.querySelector('.cancel').textContent = page.texts.text('CancelButton');
        frame.querySelector('.text').textContent = title;
        frame.querySelector('.default').textContent = caption;
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

    // ---- what the program saves: into a file the browser lets the page write, or a download under the file's name

    const rules = window.FileRules;
    const userPath = (name) => rules.USER_DIR + name;
    const canPick = () => typeof window.showSaveFilePicker === 'function';

    // The kinds a save dialog offers, each [label, extension], as the Windows program's filters.
    const pickerTypes = (kinds, first) => kinds.slice().sort(([, a], [, b]) => (b === first) - (a === first))
        .map(([label, extension]) => ({description: label, accept: {'application/octet-stream': [extension]}}));

    // The system's save picker proposing name, starting beside startIn (a file handle) when given: resolves with the
    // file's handle, or null when it was closed. A picker opens only right after the user's own input; when that has
    // run out, a small window asks for the click.
    function pickSaveFile(name, kinds, startIn) {
        const extension = window.PageRules.extensionOf(name).toLowerCase();
        const options = {types: pickerTypes(kinds, extension), excludeAcceptAllOption: true};
        if (name) options.suggestedName = name;
        if (startIn) options.startIn = startIn;
        return page.modal({
            fill(cover, finish) {
                const open = () => window.showSaveFilePicker(options).then(finish, () => finish(null));
                if (navigator.userActivation && !navigator.userActivation.isActive)
                    askForClick(cover, open, finish, page.texts.text('PickSaveTitle'),
                        name ? page.texts.text('PickSaveNamed', name) : page.texts.text('PickSaveWhere'));
                else open();
            },
        });
    }

    // True once the bytes are in the file; false (permission refused, the file gone, the disk full) when not.
    async function writeInto(handle, bytes) {
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

    function download(name, bytes) {
        const url = URL.createObjectURL(new Blob([bytes], {type: 'application/octet-stream'}));
        const link = document.createElement('a');
        link.href = url;
        link.download = name;
        link.style.display = 'none';
        document.body.appendChild(link);
        link.click();
        link.remove();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
    }

    // ---- palette and texture files the settings name, kept in storage so that the next start finds them

    const KEPT_FILE = 'FILES/';
    // The files this page has kept, by name, for as long as the tab lives (a reload included).
    const KEPT_HERE = 'blokkenveld-kept-files';
    let keptHere = (() => {
        try { return JSON.parse(sessionStorage.getItem(KEPT_HERE)) || []; } catch { return []; }
    })();

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

    // The files kept, for the user's folder at start: [{path, bytes}].
    function keptFiles() {
        const files = [];
        for (const key of storage.names(KEPT_FILE)) {
            try {
                files.push({path: userPath(key.slice(KEPT_FILE.length)), bytes: fromBase64(storage.get(key))});
            } catch { storage.remove(key); }
        }
        return files;
    }

    // Keeps the user's files among paths (read by read(path) -> bytes or null), and lets go of those this page kept
    // and names no more.
    function keepFiles(paths, read) {
        const named = paths.filter((path) => path.startsWith(rules.USER_DIR)).map(rules.baseName);
        for (const name of rules.keptFilesToRemove(keptHere, named)) storage.remove(KEPT_FILE + name);
        keptHere = [];
        for (const name of named) {
            const bytes = read(userPath(name));
            if (bytes && storage.set(KEPT_FILE + name, toBase64(bytes))) keptHere.push(name);
        }
        try { sessionStorage.setItem(KEPT_HERE, JSON.stringify(keptHere)); } catch { /* kept for this page only */ }
    }

    // ---- the copies of scenes, found again by a later start once their page is gone

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

    const keptScenes = window.KeptScenes.create({storage, pageId: () => pageId});
    // The copies this start offers, newest first, found at the first ask; the one offered last.
    let toOffer = null;
    let offered = null;

    const recovery = {
        keep: keptScenes.keep,
        forget: keptScenes.forget,
        // The next copy a start offers: {key, name, scene, offered}, or null when none is left.
        async next() {
            if (toOffer === null) {
                let held = new Set();
                if (await locked) {
                    try {
                        held = new Set((await navigator.locks.query()).held.map((lock) => lock.name.slice(LOCK.length)));
                    } catch { /* none */ }
                }
                toOffer = keptScenes.found(held);
            }
            offered = toOffer.shift() || null;
            return offered;
        },
        // After its question the copy offered last goes.
        letGo() {
            if (offered) keptScenes.letGo(offered);
            offered = null;
        },
    };

    // ---- where the program's saves go

    const routing = window.FileRouting.create({canPick, pickSaveFile, saveDialog: page.dialogs.save,
        kindsOf: page.dialogs.kindsOf, writeInto, download, keepCopy: keptScenes.keepOffered});

    // ---- the files that come with the page: beside it on the server, or inside it when the page is one file

    // window.BlokkenveldEmbedded is there only in the one-file page: {read(address) -> Promise of bytes or null}.
    const embedded = window.BlokkenveldEmbedded || null;

    // A file of the site by its address, as bytes; null when it is not there.
    async function siteFile(address) {
        if (embedded) return embedded.read(address);
        try {
            const response = await fetch(address);
            return response.ok ? new Uint8Array(await response.arrayBuffer()) : null;
        } catch {
            return null;
        }
    }

    // An address the page can show the file at; an embedded file is unpacked once.
    const siteUrls = new Map();
    async function siteUrl(address) {
        if (!embedded) return address;
        if (!siteUrls.has(address)) {
            const bytes = await embedded.read(address);
            siteUrls.set(address, bytes ? URL.createObjectURL(new Blob([bytes])) : '');
        }
        return siteUrls.get(address);
    }

    // ---- help: the pages Help.chm or Help-en.chm is made of, with their contents, in a window of their own

    // The help in a folder of the site, "help/" or "help/en/".
    function openHelp(folder) {
        if (!embedded) {
            const help = window.open(folder + 'index.html', 'blokkenveld-help');
            if (help) help.focus();
            return;
        }
        // The one-file page has no folder of pages: the window is written from the pages it carries, each with its
        // style and pictures inside.
        const help = window.open('', 'blokkenveld-help');
        if (!help) return;
        help.focus();
        (async () => {
            const text = async (address) => new TextDecoder().decode(await embedded.read(address));
            const dataUrl = async (address) => 'data:image/png;base64,' + toBase64(await embedded.read(address));
            const style = await text(folder + 'style.css');
            // A page's pictures may lie in another folder of the help ("../images/..."): their address in the site.
            const inSite = (address) => new URL(address, 'https://site/' + folder).pathname.slice(1);
            const pages = {};
            for (const address of embedded.names().filter((name) => name.startsWith(folder) &&
                                                           /^[^/]+\.htm$/.test(name.slice(folder.length)))) {
                let page = (await text(address)).replace(/<link rel="stylesheet"[^>]*>/i, () => `<style>${style}</style>`);
                for (const image of new Set(page.match(/(\.\.\/)*images\/[\w.-]+\.png/g) || []))
                    page = page.split(`"${image}"`).join(`"${await dataUrl(inSite(image))}"`);
                pages[address.slice(folder.length)] = page;
            }
            help.helpPages = pages;
            help.document.open();
            help.document.write(await text(folder + 'index.html'));
            help.document.close();
        })();
    }

    // ---- the site as an app: its files kept by the service worker, and files the system opens with it

    if ('serviceWorker' in navigator && location.protocol.startsWith('http'))
        window.addEventListener('load', () => navigator.serviceWorker.register('sw.js').catch(() => {}));
    // A .bvo or .vox file opened with the installed app comes in as a drop does, once no window of the page is open.
    if (window.launchQueue) {
        window.launchQueue.setConsumer(async ({files}) => {
            const handle = files && files[0];
            if (!handle || handle.kind !== 'file') return;
            let bytes = null;
            try { bytes = new Uint8Array(await (await handle.getFile()).arrayBuffer()); } catch { /* unreadable */ }
            while (page.modalOpen) await new Promise((resolve) => setTimeout(resolve, 100));
            page.post({drop: handle.name, bytes, handle});
        });
    }

    // Opened from disk, a page may be refused its storage: it says so in a line, in the program's language once the
    // program has told it, and works on without.
    if (location.protocol === 'file:' && !storage.set('blokkenveld-storage-check', '1')) {
        page.texts.ready.then(() => page.notice(page.texts.text('StorageRefused')));
    }
    storage.remove('blokkenveld-storage-check');

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

    page.files = {storage, pick, userPath, routing, keptFiles, keepFiles, recovery, siteFile, siteUrl, openHelp, decodeImage,
        encodePng};
})();
