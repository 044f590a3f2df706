#pragma once

#include <QString>

class QWidget;

// Opens web pages and mailto: links with the desktop's own programs.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& target) = 0;
};

// The About box, modal over parent.
void showAboutBox(QWidget* parent, Shell& shell);
