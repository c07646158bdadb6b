#pragma once

// Installs Qt's own Simplified Chinese texts (button texts of message boxes, the text
// boxes' context menus) from Qt's translations folder, whatever the user's locale is:
// every text the program shows is Chinese. Returns false when they are not installed,
// in which case Qt keeps its English texts.
bool InstallQtTranslations();
