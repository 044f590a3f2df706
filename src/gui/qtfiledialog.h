#pragma once

#include "commands/ports.h"

#include <QPointer>

class QWidget;

// The file-save dialog as Qt's own (non-native) QFileDialog, modal over parent.
class QtFileDialog : public FileDialog {
public:
    explicit QtFileDialog(QWidget* parent = nullptr) : m_parent(parent) {}
    std::optional<QString> askSavePath(const SaveRequest& request) override;

private:
    QPointer<QWidget> m_parent;
};
