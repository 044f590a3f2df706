#include "qtports.h"

#include "commands/cataloguetree.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QTreeView>

namespace {

QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void QtPrompts::message(const QString& text, MessageIcon icon, const QString& title) {
    QMessageBox box(toQt(icon), title.isEmpty() ? kApplicationTitle : title, text, QMessageBox::Ok,
                    m_parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

bool QtPrompts::askYesNo(const QString& question) {
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setObjectName(QStringLiteral("questionBox"));
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

QString QtPrompts::input(const QString& prompt, const QString& title, const QString& text) {
    QInputDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(title.isEmpty() ? kApplicationTitle : title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(text);
    dialog.setInputMode(QInputDialog::TextInput);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

TreeNode* QtTreeView::selectedNode() const {
    const QModelIndex current = m_view->currentIndex();
    if (!current.isValid() || !m_view->selectionModel()->isSelected(current))
        return nullptr;
    return CatalogueTree::nodeAt(current);
}

void QtTreeView::selectNode(TreeNode* node) {
    m_view->setCurrentIndex(m_model->indexOf(node));
}

void QtTreeView::expand(TreeNode* node) {
    m_view->expand(m_model->indexOf(node));
}

void QtTreeView::ensureVisible(TreeNode* node) {
    for (TreeNode* p = node->parent; p; p = p->parent)
        m_view->expand(m_model->indexOf(p));
    m_view->scrollTo(m_model->indexOf(node));
}

void QtTreeView::expandAll() {
    // QTreeView::expandAll() lays the view out once per node: far too slow for a large
    // catalogue. The tree has two levels, so expanding the first level is all there is to do.
    m_view->expandToDepth(0);
}

void QtTreeView::setDrawing(bool on) {
    m_view->setUpdatesEnabled(on);
}

QtStatusBar::QtStatusBar(QStatusBar* bar, int designWidth)
    : m_bar(bar), m_designWidth(designWidth) {
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(i == 0 ? QStringLiteral("albumCountPanel")
                                    : QStringLiteral("databaseNamePanel"));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        bar->addWidget(label, i == 0 ? 1 : 0);
        m_panels[i] = label;
    }
}

QLabel* QtStatusBar::panel(StatusPanel panel) const {
    return m_panels[panel == StatusPanel::AlbumCount ? 0 : 1];
}

QString QtStatusBar::text(StatusPanel p) const {
    return panel(p)->text();
}

void QtStatusBar::setText(StatusPanel p, const QString& text) {
    panel(p)->setText(text);
}

int QtStatusBar::width() const {
    // Before the window is first shown the bar has no geometry yet: it will span the window.
    return m_bar->testAttribute(Qt::WA_WState_Visible) ? m_bar->width() : m_designWidth;
}

int QtStatusBar::panelWidth(StatusPanel p) const {
    return panel(p)->maximumWidth();
}

void QtStatusBar::setPanelWidth(StatusPanel p, int width) {
    // A panel keeps its width as the window grows. Where the bar is too narrow for both (the
    // size grip takes a corner of it), the album count gives way and its text is cut, rather
    // than the two panels overlapping.
    QLabel* label = panel(p);
    if (p == StatusPanel::AlbumCount) {
        label->setMinimumWidth(0);
        label->setMaximumWidth(qMax(0, width));
    } else {
        label->setFixedWidth(qMax(0, width));
    }
}
