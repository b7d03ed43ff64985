// The window menu's help entries: the help page in the user's browser and the about box.
#pragma once
#include <cstdint>
#include <string>

constexpr int HELP_CONTEXT_TOPICS = 110;

// The help page of a language: HLPFile with the language's abbreviation in place of its "%s".
std::string HelpPageName(const char* hlpFile, const char* abbreviation);
// Copies the page and its sister pages (one per language of the language file) from the data
// (archive or disk) into folder, so that a browser can read them. Returns the page's path on
// disk, or "" when the page cannot be read or written.
std::string CopyHelpPages(const char* hlpFile, const char* abbreviation, const char* languageFile,
                          const std::string& folder);
// The folder the help pages are copied to: $XDG_CACHE_HOME/zrsentry/help, else
// ~/.cache/zrsentry/help, else the system's temporary folder.
std::string HelpCacheFolder();
// "file://" and the path, with the characters a URL cannot hold escaped.
std::string FileUrl(const std::string& path);

// Opens the help page of the current language in the browser; a failure shows "Sorry, an error
// occured while trying to launch your web browser to display the help file: %s". The page is
// never a help-viewer file, so there is no viewer to close at exit. Returns 1 when it opened.
int OpenHelp(int context);

// ISO-8859-1 to UTF-8 (the data's texts as ImGui and SDL take them).
std::string Latin1ToUtf8(const char* text);
// format with its first "%<conversion>" replaced by value and "%%" by "%"; every other "%" is
// kept as it stands, so that a text from the data never reads arguments it was not given.
std::string FillFormat(const char* format, char conversion, const std::string& value);

// The about box's caption and items 101 to 107 (UTF-8), from [Application] Title and Version and
// the language's AboutBox_XX section, the memory counter filled into Memory.
struct AboutTexts {
  std::string caption;
  std::string items[7];
};
AboutTexts ReadAboutTexts(const char* textsFile, const char* abbreviation, int32_t memoryUsed);
// Shows the modal about box (answered at once when headless).
void ShowAboutBox();
