#pragma once

struct AppContext;

// "Exportovat zaškrtnuté": the report of the ticked albums goes to a file chosen in the save
// dialog, in Windows-1250.
void exportToFile(AppContext& ctx);
// "Odeslat zaškrtnuté na e-mail": the same report goes to the contact e-mail through the user's
// mail program.
void sendByMail(AppContext& ctx);
