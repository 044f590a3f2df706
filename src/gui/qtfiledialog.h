#pragma once

#include "commands/ports.h"

#include <QPointer>

class QWidget;

// The file-save and folder dialogs as Qt's own (non-native) QFileDialog, modal over parent.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> askSavePath(const SaveRequest& request) override;
    std::optional<QString> askFolder(const QString& title, const QString& startFolder) override;

private:
    QPointer<QWidget> m_parent;
};
