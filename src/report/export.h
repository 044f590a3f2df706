#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

struct AppContext;

// "Exportovat zaškrtnuté" (ByEmail false): the report of the ticked albums goes to a file chosen
// in the save dialog, in Windows-1250. "Odeslat zaškrtnuté na e-mail" (ByEmail true): it goes to
// the contact e-mail through the user's mail client.
void ExportChecked(AppContext& ctx, bool ByEmail);

// The report as the bytes of the file: Windows-1250, CR LF. Fails, putting the reason in Czech
// into problem, when a character has no byte in Windows-1250.
std::optional<QByteArray> reportFileBytes(const QString& text, QString* problem = nullptr);
