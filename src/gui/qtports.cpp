#include "qtports.h"

#include "cataloguetreeview.h"

#include "commands/cataloguetree.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
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

// How much of a message, and of an input box's prompt, a box shows.
constexpr qsizetype kShownMessage = 4000;
constexpr qsizetype kShownPrompt = 300;

} // namespace

void QtPrompts::message(const QString& text, MessageIcon icon, const QString& title) {
    QMessageBox box(toQt(icon), title.isEmpty() ? kApplicationTitle : title,
                    shownText(text, kShownMessage), QMessageBox::Ok, m_parent);
    box.setObjectName(QStringLiteral("messageBox"));
    box.exec();
}

bool QtPrompts::askYesNo(const QString& question, Answer preset) {
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question,
                    QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setObjectName(QStringLiteral("questionBox"));
    box.setDefaultButton(preset == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Choice QtPrompts::askYesNoCancel(const QString& question) {
    QMessageBox box(QMessageBox::Question, kApplicationTitle, question,
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setObjectName(QStringLiteral("questionBox"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Choice::Yes;
    case QMessageBox::No:
        return Choice::No;
    default:
        return Choice::Cancel;
    }
}

QString QtPrompts::input(const QString& prompt, const QString& title, const QString& text) {
    QInputDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("inputBox"));
    dialog.setWindowTitle(title.isEmpty() ? kApplicationTitle : title);
    // A prompt that quotes a very long name is cut, so the box keeps a size that fits a screen.
    dialog.setLabelText(shownText(prompt, kShownPrompt));
    if (auto* label = dialog.findChild<QLabel*>())
        label->setWordWrap(true);
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
    // The tree has two levels, so expanding the first level is all there is to do, in one
    // layout of the view (see CatalogueTreeView).
    if (auto* view = qobject_cast<CatalogueTreeView*>(m_view))
        view->expandTopLevel();
    else
        m_view->expandToDepth(0);
}

void QtTreeView::setDrawing(bool on) {
    m_view->setUpdatesEnabled(on);
}

QtStatusBar::QtStatusBar(QWidget* bar, int designWidth) : m_bar(bar), m_designWidth(designWidth) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(bar);
        label->setObjectName(i == 0 ? QStringLiteral("albumCountPanel")
                                    : QStringLiteral("databaseNamePanel"));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        m_panels[i] = label;
    }
    // The album count takes the width it is given, whatever its text (which a tooltip shows
    // whole); a window widened after start-up leaves the rest of the bar empty.
    m_panels[0]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_panels[0], 1);
    row->addWidget(m_panels[1]);
    row->addStretch(0);
}

QLabel* QtStatusBar::panel(StatusPanel panel) const {
    return m_panels[panel == StatusPanel::AlbumCount ? 0 : 1];
}

QString QtStatusBar::text(StatusPanel p) const {
    return m_texts[p == StatusPanel::AlbumCount ? 0 : 1];
}

void QtStatusBar::setText(StatusPanel p, const QString& text) {
    m_texts[p == StatusPanel::AlbumCount ? 0 : 1] = text;
    // A text longer than its panel is cut off there; the tooltip shows it whole, up to a length
    // that can be laid out at once.
    panel(p)->setText(shownText(text, CatalogueTree::kShownLength));
    panel(p)->setToolTip(shownText(text, CatalogueTree::kToolTipLength));
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
    // window made narrower), the album count gives way and its text is cut, rather than the two
    // panels overlapping.
    QLabel* label = panel(p);
    if (p == StatusPanel::AlbumCount) {
        label->setMinimumWidth(0);
        label->setMaximumWidth(qMax(0, width));
    } else {
        label->setFixedWidth(qMax(0, width));
    }
}

void QtClipboard::setText(const QString& text) {
    QGuiApplication::clipboard()->setText(text);
}
