#pragma once

struct AppContext;

// "Najít": selects the first node, in the order the nodes were added, whose text holds the typed
// pattern.
void findByName(AppContext& ctx);
