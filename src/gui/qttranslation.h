#pragma once

class QTranslator;

// Loads Qt's own Czech translation (qtbase_cs from Qt's translations folder) into translator and
// installs it, so that the standard buttons read "Ano", "Ne", "Zrušit" and the file dialog speaks
// Czech. The translator must outlive its use. False when the translation is not installed; the
// program then runs with Qt's English texts.
bool installQtCzech(QTranslator& translator);
