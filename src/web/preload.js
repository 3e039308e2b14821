// Runs inside the program's module before it starts: the artwork and the default palette come with the page into
// the program's folder of its file system, the user's own palette and texture files
// kept from earlier visits go into the user's folder, and a file named in the page's address (?open=NAME) stands for
// the command line.
Module['noImageDecoding'] = true;

(() => {
    const artwork = ['panel.bmp', 'panel_en.bmp', 'tex.bmp', 'palette.bvp'];
    const openUrl = new URLSearchParams(location.search).get('open');
    const openName = openUrl ? decodeURIComponent(openUrl.split(/[/\\]/).pop()) : '';
    const openPath = openName ? Blokkenveld.files.userPath(openName) : '';
    if (openName) Module['arguments'] = [openPath];

    // A file of the site into the program's file system. One that is not there is simply missing: the program says
    // what that means, as it would for a missing file beside the exe.
    function fetchInto(url, path, read = Blokkenveld.files.siteFile) {
        const dependency = 'fetch ' + path;
        addRunDependency(dependency);
        read(url)
            .then((bytes) => { if (bytes) FS.writeFile(path, bytes); })
            .catch(() => {})
            .finally(() => removeRunDependency(dependency));
    }

    // A file the page's address names, from wherever that address points.
    const fetchUrl = (url) => fetch(url).then((response) => response.ok ? response.arrayBuffer() : null)
        .then((bytes) => bytes && new Uint8Array(bytes));

    Module['preRun'] = (Module['preRun'] || []).concat([() => {
        FS.mkdir(FileRules.USER_DIR.slice(0, -1));
        for (const file of Blokkenveld.files.keptFiles()) {
            try {
                FS.writeFile(file.path, file.bytes);
            } catch (error) { /* a name the file system cannot hold */ }
        }
        for (const name of artwork) fetchInto('artwork/' + name, '/' + name);
        FS.mkdir('/samples');  // filled when one is chosen
        if (openName) fetchInto(openUrl, openPath, fetchUrl);
        // The glyph atlas is drawn once, so the text font has to be there first.
        addRunDependency('text font');
        document.fonts.load('13px ' + Blokkenveld.textFont, 'キ0').catch(() => {})
            .finally(() => removeRunDependency('text font'));
    }]);

    Module['onRuntimeInitialized'] = () => {
        Blokkenveld.documentModified = () => Module['_WebDocumentModified']() !== 0;
        Blokkenveld.pageLeaving = () => Module['_WebPageLeaving']();
        Blokkenveld.clipboard.copyOf = (cut) => UTF8ToString(Module['_WebClipboardCopy'](cut ? 1 : 0));
        Object.assign(Blokkenveld.touch, {down: Module['_WebTouchDown'], move: Module['_WebTouchMove'],
            up: Module['_WebTouchUp'], cancel: Module['_WebTouchCancel']});
    };

    // What the tests read of the editor.
    Module['editorState'] = () => JSON.parse(UTF8ToString(Module['_WebEditorState']()));
})();
