#include "aboutbox.h"

void showAboutBox(QWidget*, Shell&) {}
