// The texts of the current language: the messages, the menus and the credits, each from the file
// that DATA\TEXTS.TXT names for the language, reloaded when the language changes.
#pragma once

// The current language's abbreviation ("EN" until the language list chooses one). The language
// list replaces these two with its own current language.
const char* CurrentLanguageAbbreviation();
void SetCurrentLanguageAbbreviation(const char* abbreviation);

// Reads "Messages_XX", "Menu_XX" and "Credits_XX" for the current language and loads each file
// that is named: the message table, the seven menus (the current menu shown again as it was) and
// the credits. The language list calls it whenever it sets the current language.
void ReloadTexts();

// The message table of the current language (messageTable): loaded from file, freed, and message
// n drawn into the frame buffer.
void ReloadMessageTable(const char* file);
void FreeMessageTable();
void DrawTextMessage(int n);
