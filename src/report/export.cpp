#include "export.h"

void ExportChecked(AppContext&, bool) {}
