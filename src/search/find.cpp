#include "find.h"

void findByName(AppContext&) {}
