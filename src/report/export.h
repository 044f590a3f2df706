#pragma once

struct AppContext;

// "Exportovat zaškrtnuté" (ByEmail false) and "Odeslat zaškrtnuté na e-mail" (ByEmail true).
void ExportChecked(AppContext& ctx, bool ByEmail);
