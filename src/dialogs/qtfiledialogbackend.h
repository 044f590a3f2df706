#pragma once

#include "filedialogbackend.h"

#include <QPointer>
#include <QStringList>

class QFileDialog;
class QWidget;

// The file dialogs as Qt's own (non-native) QFileDialog, modal over parent.
class QtFileDialogBackend : public FileDialogBackend {
public:
    explicit QtFileDialogBackend(QWidget* parent = nullptr) : m_parent(parent) {}
    bool getOpenFileName(OpenFileName& ofn) override;
    bool getSaveFileName(OpenFileName& ofn) override;

    // The Qt name filters for a filter in the platform's form: "Textové soubory (*.txt)" NUL
    // "*.txt" gives "Textové soubory (*.txt)"; a description that does not show its patterns
    // gets them appended in brackets.
    static QStringList nameFilters(const QString& filter);

private:
    bool run(OpenFileName& ofn, bool save);

    QPointer<QWidget> m_parent;
};
