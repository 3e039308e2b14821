#include "editor/document/help_file.h"

const char* CompiledHelpFile(Language language) {
    return language == Language::English ? "Help-en.chm" : "Help.chm";
}

const char* HelpSiteFolder(Language language) {
    return language == Language::English ? "help/en/" : "help/";
}

HelpChoice ChooseCompiledHelp(Language language, bool languageHelpPresent, bool& fallbackTold) {
    if (language == Language::Japanese || languageHelpPresent)
        return {CompiledHelpFile(language), false};
    const bool tell = !fallbackTold;
    fallbackTold = true;
    return {CompiledHelpFile(Language::Japanese), tell};
}
