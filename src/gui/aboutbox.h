#pragma once

#include "commands/ports.h"

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

// The About box: a fixed black dialog with the notice, the maker's logo, the maker's name as a link
// and the buttons "Web" and "OK". The name and "Web" open the maker's web page, the logo a new
// mail to the maker; OK and Esc close the box. Each showing is a new object, so it always opens
// as laid out, with the focus on OK.
class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(Shell& shell, QWidget* parent = nullptr);

    static QString notice();
    // "Katalog: " and the path of the open catalogue file: the tooltip of the box and the notice.
    static QString catalogueNote();
    static QString makerName();
    static QString webPage();
    static QString mailLink();

    // The client area as designed, in pixels (twips / 15).
    static constexpr int kWidth = 2625 / 15;
    static constexpr int kHeight = 2250 / 15;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Shell& m_shell;
    QLabel* m_notice = nullptr;
    QLabel* m_logo = nullptr;
    QLabel* m_maker = nullptr;
    QPushButton* m_web = nullptr;
    QPushButton* m_ok = nullptr;
};

// Shows a new About box modally over parent and returns when it has closed.
void showAboutBox(QWidget* parent, Shell& shell);
