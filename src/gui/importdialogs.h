#pragma once

#include "commands/ports.h"

#include <QPointer>

class QWidget;

// The progress box and the list of albums found of "Přidat alba ze složky...", modal over
// parent.
class QtImportDialogs : public ImportDialogs {
public:
    explicit QtImportDialogs(QWidget* parent = nullptr) : m_parent(parent) {}
    void runWithProgress(const std::function<void(const Progress&)>& work) override;
    std::optional<QList<int>> chooseAlbums(const MusicScan& scan, const QString& summary) override;

private:
    QPointer<QWidget> m_parent;
};
