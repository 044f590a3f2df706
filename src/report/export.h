#pragma once

struct AppContext;

// "Exportovat zaškrtnuté" (ByEmail false): the report of the ticked albums goes to a file chosen
// in the save dialog, in Windows-1250. "Odeslat zaškrtnuté na e-mail" (ByEmail true): it goes to
// the contact e-mail through the user's mail client.
void ExportChecked(AppContext& ctx, bool ByEmail);
