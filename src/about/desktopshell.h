#pragma once

#include "aboutbox.h"

// Opens targets with the desktop's default programs (xdg-open on Linux).
class DesktopShell : public Shell {
public:
    void open(const QString& target) override;
};
