#pragma once

#include "catalogue/textcompare.h"

#include <QByteArray>
#include <QString>

#include <optional>

class CatalogueTree;

// The report of the ticked albums; every line ends with CR LF:
//   Export z programu MP3 Velbor
//   <owner panel text>[ (<contact e-mail>)]
//   ================================================================
//   "artist - album" for each ticked album, sorted in the program's text order
// The e-mail carries it as text, the file as its Windows-1250 bytes; both hold the same lines.
QString reportText(const CatalogueTree& tree, const QString& ownerPanelText,
                   const QString& contactEmail,
                   const TextCompare& compare = TextCompare::program());

// The report as the bytes of the file. Fails, putting the reason in Czech into problem, when a
// character has no byte in Windows-1250.
std::optional<QByteArray> reportFileBytes(const CatalogueTree& tree, const QString& ownerPanelText,
                                          const QString& contactEmail, QString* problem = nullptr,
                                          const TextCompare& compare = TextCompare::program());
