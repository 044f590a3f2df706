#pragma once

#include <QObject>
#include <QString>

class QByteArray;

// Opens links with the desktop's own programs (xdg-open) without waiting for them, and tells when
// the opener fails: xdg-open exits with an error when no program is set for a kind of link.
class DesktopOpener : public QObject {
    Q_OBJECT
public:
    explicit DesktopOpener(QObject* parent = nullptr) : QObject(parent) {}

    // The program that opens links (tests give a stand-in).
    void setProgram(const QString& program) { m_program = program; }

    // Starts the opener on the fully encoded link and returns at once. When the opener cannot be
    // started or ends with an error, failed() is emitted with "<what>: <why>.".
    void open(const QByteArray& link, const QString& what);

Q_SIGNALS:
    void failed(const QString& message);

private:
    QString m_program = QStringLiteral("xdg-open");
};
