#pragma once

#include "commands/ports.h"

// Opens targets with the desktop's default programs (xdg-open on Linux).
class DesktopShell : public Shell {
public:
    void open(const QString& url) override;
};
