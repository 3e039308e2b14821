// The page's side of the system clipboard: the copy, cut and paste events that Ctrl+C, Ctrl+X and Ctrl+V (and the
// browser's own Edit commands) raise, which carry the clipboard's text without asking; and the browser's
// asynchronous clipboard for the Edit menu, with the copy event as the way round where the browser refuses a write.
'use strict';

(() => {
    const page = window.Blokkenveld;
    // The menu's copy while the copy command it raises runs: {text, taken}.
    let menuCopy = null;

    function copyEvent(event, cut) {
        if (menuCopy) {
            event.clipboardData.setData('text/plain', menuCopy.text);
            menuCopy.taken = true;
            event.preventDefault();
            return;
        }
        // The fields of the page's windows copy and cut their own text.
        if (page.modalOpen || !clipboard.copyOf) return;
        const text = clipboard.copyOf(cut);
        if (text === '') return;  // nothing selected: the browser's own copy, which finds nothing to copy
        event.clipboardData.setData('text/plain', text);
        event.preventDefault();
    }

    document.addEventListener('copy', (event) => copyEvent(event, false));
    document.addEventListener('cut', (event) => copyEvent(event, true));
    document.addEventListener('paste', (event) => {
        if (page.modalOpen) return;
        event.preventDefault();
        page.post({paste: event.clipboardData ? event.clipboardData.getData('text/plain') : null});
    });

    // Whether the browser lets the page read the clipboard: 'granted', 'denied', or 'prompt' (it asks the user, as
    // also where it cannot tell).
    async function readPermission() {
        try {
            return (await navigator.permissions.query({name: 'clipboard-read'})).state;
        } catch {
            return 'prompt';
        }
    }

    const clipboard = {
        // The program's text of the selection for a copy or cut event, '' when nothing is selected; set once the
        // program runs.
        copyOf: null,
        // Text read for the program, until it takes it (null: none could be read).
        taken: null,

        // Puts text on the clipboard for the menu's Cut and Copy; false when the browser refuses both ways.
        async write(text) {
            try {
                await navigator.clipboard.writeText(text);
                return true;
            } catch { /* no asynchronous clipboard here, or not now: the copy command instead */ }
            menuCopy = {text, taken: false};
            try {
                return document.execCommand('copy') && menuCopy.taken;
            } catch {
                return false;
            } finally {
                menuCopy = null;
            }
        },

        // The clipboard's text for the menu's Paste, or null when the browser does not give it. The browser may ask
        // the user first: the page is modal meanwhile, as for a file picker.
        async read() {
            if (!navigator.clipboard || typeof navigator.clipboard.readText !== 'function') return null;
            if (await readPermission() === 'denied') return null;
            return page.modal({
                fill(cover, finish) {
                    navigator.clipboard.readText().then(finish, () => finish(null));
                },
            });
        },
    };
    page.clipboard = clipboard;
})();
