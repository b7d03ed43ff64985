// The menu bar's texts, one row per label and one column per language (numbers 1 to 6:
// English, French, Spanish, German, Italian, Portuguese), ISO-8859-1 like the game's files.
#pragma once

constexpr int ZR_MENU_LANGUAGES = 6;

enum ZR_MENU_LABEL {
  ZR_LABEL_GAME,
  ZR_LABEL_LANGUAGE,
  ZR_LABEL_BACK,
  ZR_LABEL_EXIT,
  ZR_LABEL_DISPLAY,
  ZR_LABEL_LOWRES,
  ZR_LABEL_HIGHRES,
  ZR_LABEL_COLOURS,
  ZR_LABEL_DEFSIZE,
  ZR_LABEL_INTEGER,
  ZR_LABEL_RESOLUTION,
  ZR_LABEL_SOUND,
  ZR_LABEL_MUSIC,
  ZR_LABEL_EFFECTS,
  ZR_LABEL_QUALITY,
  ZR_LABEL_QLOW,
  ZR_LABEL_QMEDIUM,
  ZR_LABEL_QHIGH,
  ZR_LABEL_HELP,
  ZR_LABEL_TOPICS,
  ZR_LABEL_ABOUT,
  ZR_LABEL_COUNT
};

constexpr const char* ZR_MENU_TEXTS[ZR_LABEL_COUNT][ZR_MENU_LANGUAGES] = {
    {"&Game", "&Jeu", "&Juego", "&Spiel", "&Gioco", "&Jogo"},
    {"&Language", "&Langue", "&Idioma", "&Sprache", "&Lingua", "&Idioma"},
    {"&Back to Game", "&Retour au jeu", "&Volver al juego", "&Zur\xFC""ck zum Spiel", "&Torna al gioco", "&Voltar ao jogo"},
    {"E&xit\tAlt+F4", "&Quitter\tAlt+F4", "&Salir\tAlt+F4", "&Beenden\tAlt+F4", "&Esci\tAlt+F4", "&Sair\tAlt+F4"},
    {"&Display", "&Affichage", "&Pantalla", "&Anzeige", "&Schermo", "&Ecr\xE3"""},
    {"&Low-res Fullscreen", "Plein \xE9""cran &basse r\xE9""solution", "Pantalla completa de &baja resoluci\xF3""n", "Vollbild mit &niedriger Aufl\xF6""sung", "Schermo intero a &bassa risoluzione", "Ecr\xE3"" inteiro de &baixa resolu\xE7""\xE3""o"},
    {"&High-res Fullscreen", "Plein \xE9""cran &haute r\xE9""solution", "Pantalla completa de &alta resoluci\xF3""n", "Vollbild mit &hoher Aufl\xF6""sung", "Schermo intero ad &alta risoluzione", "Ecr\xE3"" inteiro de &alta resolu\xE7""\xE3""o"},
    {"256 &Colors (Faster)", "256 &couleurs (plus rapide)", "256 &colores (m\xE1""s r\xE1""pido)", "256 &Farben (schneller)", "256 &colori (pi\xF9"" veloce)", "256 &cores (mais r\xE1""pido)"},
    {"Default &Size", "&Taille par d\xE9""faut", "&Tama\xF1""o predeterminado", "&Standardgr\xF6""\xDF""e", "Dimensione &predefinita", "&Tamanho predefinido"},
    {"&Integer Scaling Only", "Agrandissement &entier seulement", "Solo escalado &entero", "Nur &ganzzahlig skalieren", "Solo scala &intera", "Apenas escala &inteira"},
    {"Change &Resolution", "Changer la &r\xE9""solution", "Cambiar la &resoluci\xF3""n", "&Aufl\xF6""sung \xE4""ndern", "Cambia &risoluzione", "Alterar a &resolu\xE7""\xE3""o"},
    {"&Sound", "&Son", "&Sonido", "&Ton", "&Suono", "&Som"},
    {"Digital &Music\tF2", "&Musique\tF2", "&M\xFA""sica\tF2", "&Musik\tF2", "&Musica\tF2", "&M\xFA""sica\tF2"},
    {"Sound &Effects\tF3", "&Effets sonores\tF3", "&Efectos de sonido\tF3", "&Soundeffekte\tF3", "&Effetti sonori\tF3", "&Efeitos sonoros\tF3"},
    {"Music &Quality", "&Qualit\xE9"" de la musique", "&Calidad de la m\xFA""sica", "Musik&qualit\xE4""t", "&Qualit\xE0"" della musica", "&Qualidade da m\xFA""sica"},
    {"&Low (faster)", "&Basse (plus rapide)", "&Baja (m\xE1""s r\xE1""pida)", "&Niedrig (schneller)", "&Bassa (pi\xF9"" veloce)", "&Baixa (mais r\xE1""pida)"},
    {"&Medium", "&Moyenne", "&Media", "&Mittel", "&Media", "&M\xE9""dia"},
    {"&High (slower)", "&Haute (plus lente)", "&Alta (m\xE1""s lenta)", "&Hoch (langsamer)", "&Alta (pi\xF9"" lenta)", "&Alta (mais lenta)"},
    {"&Help", "&Aide", "A&yuda", "&Hilfe", "&Aiuto", "A&juda"},
    {"&Help Topics\tF1", "&Rubriques d'aide\tF1", "&Temas de ayuda\tF1", "&Hilfethemen\tF1", "&Argomenti della guida\tF1", "&T\xF3""picos de ajuda\tF1"},
    {"&About", "&\xC0"" propos", "&Acerca de", "\xDC""&ber", "&Informazioni", "&Acerca de"},
};
