#pragma once

#include "commands/ports.h"

class DesktopOpener;

// Opens web pages and mailto: links with the desktop's default programs.
class DesktopShell : public Shell {
public:
    explicit DesktopShell(DesktopOpener& opener) : m_opener(opener) {}
    void open(const QString& url) override;

private:
    DesktopOpener& m_opener;
};
