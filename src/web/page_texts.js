// The page's words in the program's language: the program hands over its table of texts (Japanese and English by
// key) as it starts, and tells the page its language then and whenever the user chooses another. The menu bar is
// written in Japanese in index.html, so that it reads as the program's before the program runs; in English it is
// written from the table, and Japanese gives back what index.html had.
'use strict';

(() => {
    const page = window.Blokkenveld;
    const table = {ja: {}, en: {}};
    let language = 'ja';
    const listeners = [];
    let told = null;
    const ready = new Promise((resolve) => { told = resolve; });

    // The language the page's address asks for ("?lang=en" or "?lang=ja"), or "".
    function addressLanguage() {
        const asked = new URLSearchParams(location.search).get('lang');
        return asked === 'en' || asked === 'ja' ? asked : '';
    }

    // A caption as the page shows it: "&N" underlines its letter, a tab parts the caption from its keys.
    const escape = (text) => text.replace(/[&<>"]/g, (c) => ({'&': '&amp;', '<': '&lt;', '>': '&gt;', '"': '&quot;'})[c]);
    function captionHtml(text) {
        const [caption, keys] = text.split('\t');
        const marked = escape(caption.replace(/&(.)/, '\u0001$1')).replace(/\u0001(.)/, '<u>$1</u>');
        return keys === undefined ? marked : `${marked}<span class="keys">${escape(keys)}</span>`;
    }
    // The letter after "&", or nothing.
    const accessOf = (text) => (text.match(/&([^&])/) || ['', ''])[1].toUpperCase();
    // A caption without its marks, as a button or a box shows it: "はい(&Y)" reads "はい(Y)", "&Yes" "Yes".
    const plain = (text) => text.replace(/&(.)/, '$1');

    // What index.html wrote in each labelled element, for the way back to Japanese.
    // A menu's access key is its own, though its caption is the element written.
    const labelled = Array.from(document.querySelectorAll('#menubar [data-text]'));
    const holderOf = (element) => (element.classList.contains('caption') ? element.parentElement : element);
    const written = new Map(labelled.map((element) =>
        [element, {html: element.innerHTML, access: holderOf(element).dataset.access}]));

    // A page that will start in English (kept so, or asked for by a first visit's address) shows no Japanese menu
    // bar meanwhile: the bar is hidden until the program tells its language.
    const menuBar = document.getElementById('menubar');
    const asked = addressLanguage();
    let kept = null;
    try { kept = localStorage.getItem('SYSTEM/LANGUAGE'); } catch { /* no storage: nothing kept */ }
    if (kept === 'en' || (kept === null && asked === 'en')) menuBar.style.visibility = 'hidden';

    function label() {
        menuBar.style.visibility = '';
        document.documentElement.lang = language;
        for (const element of labelled) {
            const text = table[language][element.dataset.text];
            const japanese = language === 'ja' || text === undefined;
            element.innerHTML = japanese ? written.get(element).html : captionHtml(text);
            const access = japanese ? written.get(element).access : accessOf(text);
            if (access) holderOf(element).dataset.access = access;
            else delete holderOf(element).dataset.access;
        }
    }

    page.texts = {
        add(key, japanese, english) {
            table.ja[key] = japanese;
            table.en[key] = english;
        },
        // "ja" or "en": every text from now on, the menu bar at once, and whoever listens.
        setLanguage(chosen) {
            language = chosen === 'en' ? 'en' : 'ja';
            label();
            for (const listener of listeners) listener(language);
            told();
        },
        // Resolves once the program has told its language.
        ready,
        get language() { return language; },
        get addressLanguage() { return addressLanguage(); },
        onLanguage: (listener) => listeners.push(listener),
        // The text of key in the program's language, as written, without its marks, or as HTML with its access key
        // underlined; "%s" takes value.
        text: (key, value = '') => (table[language][key] ?? table.ja[key] ?? key).replace('%s', () => value),
        plain: (key, value) => plain(page.texts.text(key, value)),
        html: (key) => captionHtml(page.texts.text(key)),
        captionHtml,
        accessOf,
    };
})();
