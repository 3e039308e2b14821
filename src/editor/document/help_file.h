// Which help a language opens: the compiled help beside the Windows program, what happens when a language's own
// help is missing, and the browser's help pages.
#pragma once

#include "text/texts.h"

struct HelpChoice {
    const char* file;   // the compiled help to open, a name beside the program
    bool tellFallback;  // say that the language's own help is missing and the Japanese one opens instead
};

// The compiled help of a language, a name beside the program: "Help.chm" in Japanese, "Help-en.chm" in English.
const char* CompiledHelpFile(Language language);

// The folder of the browser's help pages for a language: "help/" in Japanese, "help/en/" in English.
const char* HelpSiteFolder(Language language);

// The language's own help when it is there, else the Japanese one. The fallback is told once: fallbackTold then
// keeps it quiet for the rest of the run.
HelpChoice ChooseCompiledHelp(Language language, bool languageHelpPresent, bool& fallbackTold);
