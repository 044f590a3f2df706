#include "gui/desktopmailer.h"
#include "gui/desktopopener.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

// The mail hand-off through a stand-in opener that keeps the link it was given and exits with
// the code in FAKE_OPENER_EXIT.
class TestMailto : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DesktopOpener m_opener;
    QStringList m_failures;

    QString linkFile() const { return m_dir.filePath(u"link"_s); }

    MailResult send(const QString& name, const QString& address, const QString& body) {
        DesktopMailer mailer(m_opener);
        return mailer.compose(name, address, u"MP3 Velbor"_s, body);
    }
    // The link the opener got, once it has ended (empty when it never ends).
    QByteArray handedLink() {
        if (!QTest::qWaitFor([this] { return m_opener.findChildren<QProcess*>().isEmpty(); },
                             10000))
            return {};
        QFile file(linkFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase() {
        const QString fake = m_dir.filePath(u"opener"_s);
        QFile script(fake);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" >\"$(dirname \"$0\")/link\"\n"
                     "exit \"${FAKE_OPENER_EXIT:-0}\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        m_opener.setProgram(fake);
        connect(&m_opener, &DesktopOpener::failed, this,
                [this](const QString& message) { m_failures << message; });
    }
    void init() {
        m_failures.clear();
        QFile::remove(linkFile());
        qunsetenv("FAKE_OPENER_EXIT");
    }

    void link_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QString>("recipient"); // as the mail client reads it

        QTest::newRow("no name: the address alone")
            << u""_s << u"a@b.cz"_s << u""_s
            << QByteArray("mailto:a@b.cz?subject=MP3%20Velbor&body=") << u"a@b.cz"_s;
        QTest::newRow("Czech letters, spaces, line breaks")
            << u"Moje sbírka"_s << u"já@pošta.cz"_s << u"Žlutý pes\r\nČ\r\n"_s
            << QByteArray("mailto:Moje%20sb%C3%ADrka%20%3Cj%C3%A1@po%C5%A1ta.cz%3E"
                          "?subject=MP3%20Velbor&body=%C5%BDlut%C3%BD%20pes%0D%0A%C4%8C%0D%0A")
            << u"Moje sbírka <já@pošta.cz>"_s;
        QTest::newRow("query and shell characters in the body")
            << u"X"_s << u"a@b.cz"_s << u"a&b=c?d%e#f+g \t$`;|<>'"_s
            << QByteArray("mailto:X%20%3Ca@b.cz%3E?subject=MP3%20Velbor"
                          "&body=a%26b%3Dc%3Fd%25e%23f%2Bg%20%09%24%60%3B%7C%3C%3E%27")
            << u"X <a@b.cz>"_s;
        QTest::newRow("specials in the name are quoted")
            << u"Rock & Pop, \"live\" \\ #1?"_s << u"a@b.cz"_s << u"\\n"_s
            << QByteArray("mailto:%22Rock%20%26%20Pop%2C%20%5C%22live%5C%22%20%5C%5C%20%231%3F%22"
                          "%20%3Ca@b.cz%3E?subject=MP3%20Velbor&body=%5Cn")
            << u"\"Rock & Pop, \\\"live\\\" \\\\ #1?\" <a@b.cz>"_s;
        QTest::newRow("address as stored, with spaces and no at sign")
            << u"A"_s << u" nikdo nikde%?&"_s << u"x"_s
            << QByteArray("mailto:A%20%3C%20nikdo%20nikde%25%3F%26%3E?subject=MP3%20Velbor&body=x")
            << u"A < nikdo nikde%?&>"_s;
    }

    void link() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, body);
        QFETCH(QByteArray, expected);
        QFETCH(QString, recipient);

        QCOMPARE(send(name, address, body), MailResult::Handed);
        const QUrl url = QUrl::fromEncoded(handedLink(), QUrl::StrictMode);
        QVERIFY(m_failures.isEmpty());
        QCOMPARE(url.toEncoded(), expected);
        // What a mail client takes out of the link.
        QCOMPARE(url.scheme(), u"mailto"_s);
        QCOMPARE(url.path(QUrl::FullyDecoded), recipient);
        const QUrlQuery query(url);
        QCOMPARE(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"MP3 Velbor"_s);
        QCOMPARE(query.queryItemValue(u"body"_s, QUrl::FullyDecoded), body);
    }

    void tooLongForTheDesktop() {
        const QString body(DesktopMailer::kMaxUrlBytes, u'x');
        QCOMPARE(send(u"A"_s, u"a@b.cz"_s, body), MailResult::TooLong);
        QVERIFY(m_opener.findChildren<QProcess*>().isEmpty());
    }

    // The opener's failure is told after the hand-off returned, with its reason.
    void openerFails_data() {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no program for mailto links")
            << QByteArray("3")
            << u"v systému není nastaven žádný program, který by odkaz otevřel"_s;
        QTest::newRow("the opener is missing") << QByteArray("127") << u"nelze spustit"_s;
    }
    void openerFails() {
        QFETCH(QByteArray, exitCode);
        QFETCH(QString, reason);
        qputenv("FAKE_OPENER_EXIT", exitCode);
        QCOMPARE(send(u"A"_s, u"a@b.cz"_s, u"x"_s), MailResult::Handed);
        QTRY_COMPARE_WITH_TIMEOUT(m_failures.size(), 1, 10000);
        QVERIFY2(m_failures[0].startsWith(u"E-mail se nepodařilo předat poštovnímu programu: "_s),
                 qPrintable(m_failures[0]));
        QVERIFY2(m_failures[0].contains(reason), qPrintable(m_failures[0]));
    }
};

QTEST_MAIN(TestMailto)
#include "tst_mailto.moc"
