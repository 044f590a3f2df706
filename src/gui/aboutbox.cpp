#include "aboutbox.h"

#include "commands/loadsave.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// A place given in twips; 15 twips are one pixel at 96 dots per inch.
QRect twips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}

const QColor kLinkColour(0, 255, 255);
constexpr qreal kTextPointSize = 8.25;

QLabel* textLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    // Plain text and no buddy: an "&" is shown as it is, never taken for an access key.
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(kTextPointSize);
    label->setFont(font);
    return label;
}

} // namespace

AboutBox::AboutBox(Shell& shell, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_shell(shell) {
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setFixedSize(kWidth, kHeight);

    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    setPalette(colours);
    setAutoFillBackground(true);

    m_notice = textLabel(this, QStringLiteral("notice"), notice());
    m_notice->setGeometry(twips(120, 120, 2415, 255));
    // Which catalogue is open, for whoever wonders where the albums are kept.
    m_notice->setToolTip(catalogueNote());
    setToolTip(catalogueNote());

    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("logo"));
    m_logo->setGeometry(twips(120, 360, 2400, 900));
    m_logo->setPixmap(QIcon(QStringLiteral(":/velbor/icons/logo.png"))
                          .pixmap(m_logo->size(), devicePixelRatioF()));
    m_logo->setToolTip(mailLink());

    m_maker = textLabel(this, QStringLiteral("maker"), makerName());
    m_maker->setGeometry(twips(120, 1320, 2415, 255));
    QFont underlined = m_maker->font();
    underlined.setUnderline(true);
    m_maker->setFont(underlined);
    QPalette link = m_maker->palette();
    link.setColor(QPalette::WindowText, kLinkColour);
    m_maker->setPalette(link);
    m_maker->setToolTip(webPage());

    for (QLabel* clickable : {m_logo, m_maker}) {
        clickable->setCursor(Qt::PointingHandCursor);
        clickable->installEventFilter(this);
    }

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(twips(1440, 1680, 975, 375));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_web = new QPushButton(QStringLiteral("Web"), this);
    m_web->setObjectName(QStringLiteral("webButton"));
    m_web->setGeometry(twips(240, 1680, 975, 375));
    connect(m_web, &QPushButton::clicked, this, [this] { m_shell.open(webPage()); });

    // OK first in the tab order and focused on opening; Esc closes the box from either button
    // (QDialog's own key handling, which sees every key the buttons leave alone).
    setTabOrder(m_ok, m_web);
    m_ok->setFocus();
}

QString AboutBox::notice() {
    return QStringLiteral("MP3 Velbor, verze " VELBOR_VERSION);
}

QString AboutBox::catalogueNote() {
    return QStringLiteral("Katalog: %1").arg(dataFilePath());
}

QString AboutBox::makerName() {
    return QStringLiteral("Lotos & Kvant development");
}

QString AboutBox::webPage() {
    return QStringLiteral("https://velbor.example.org/");
}

QString AboutBox::mailLink() {
    return QStringLiteral("mailto:velbor@example.org");
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    // A click is a left-button release over the label that was pressed.
    if (event->type() == QEvent::MouseButtonRelease && (watched == m_logo || watched == m_maker)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint()))
            m_shell.open(watched == m_logo ? mailLink() : webPage());
    }
    return QDialog::eventFilter(watched, event);
}

void showAboutBox(QWidget* parent, Shell& shell) {
    AboutBox box(shell, parent);
    box.exec();
}
