// The mailto: link handed to the desktop's opener, read back the way a mail client reads it; the
// opener is a stand-in that keeps the link and exits with the code in FAKE_OPENER_EXIT.
#include "gui/desktopmailer.h"
#include "gui/desktopopener.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

class TestMailto : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    DesktopOpener m_opener;
    QStringList m_failures;

    MailResult send(const QString& name, const QString& address, const QString& body) {
        return DesktopMailer(m_opener).compose(name, address, u"MP3 Velbor"_s, body);
    }

private Q_SLOTS:
    void initTestCase() {
        QFile script(m_dir.filePath(u"opener"_s));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s' \"$1\" >\"$(dirname \"$0\")/link\"\n"
                     "exit \"${FAKE_OPENER_EXIT:-0}\"\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::ExeOwner));
        m_opener.setProgram(script.fileName());
        connect(&m_opener, &DesktopOpener::failed, this,
                [this](const QString& message) { m_failures << message; });
    }
    void init() {
        m_failures.clear();
        QFile::remove(m_dir.filePath(u"link"_s));
    }

    // A failing opener ("exit code, reason") is told after the hand-off returned.
    void link_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("recipient");
        QTest::addColumn<QString>("failure");
        QTest::newRow("no name: the address alone")
            << u""_s << u"a@b.cz"_s << u""_s << u"a@b.cz"_s << u""_s;
        QTest::newRow("Czech letters, spaces, line breaks")
            << u"Moje sbírka"_s << u"já@pošta.cz"_s << u"Žlutý pes\r\nČ\r\n"_s
            << u"Moje sbírka <já@pošta.cz>"_s << u""_s;
        QTest::newRow("query and shell characters in the body")
            << u"X"_s << u"a@b.cz"_s << u"a&b=c?d%e#f+g \t$`;|<>'&body=x"_s << u"X <a@b.cz>"_s
            << u""_s;
        QTest::newRow("specials in the name are quoted")
            << u"Rock & Pop, \"live\" \\ #1?"_s << u"a@b.cz"_s << u"\\n"_s
            << u"\"Rock & Pop, \\\"live\\\" \\\\ #1?\" <a@b.cz>"_s << u""_s;
        QTest::newRow("address as stored, with spaces and no at sign")
            << u"A"_s << u" nikdo nikde%?&"_s << u"x"_s << u"A < nikdo nikde%?&>"_s << u""_s;
        QTest::newRow("no program for mailto links")
            << u"A"_s << u"a@b.cz"_s << u"x"_s << u"A <a@b.cz>"_s
            << u"3 v systému není nastaven žádný program, který by odkaz otevřel"_s;
        QTest::newRow("the opener is missing")
            << u"A"_s << u"a@b.cz"_s << u"x"_s << u"A <a@b.cz>"_s << u"127 nelze spustit"_s;
    }
    void link() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, body);
        QFETCH(QString, recipient);
        QFETCH(QString, failure);
        const QString reason = failure.section(u' ', 1);
        qputenv("FAKE_OPENER_EXIT", failure.section(u' ', 0, 0).toUtf8());
        QCOMPARE(send(name, address, body), MailResult::Handed);
        QVERIFY(QTest::qWaitFor([this] { return m_opener.findChildren<QProcess*>().isEmpty(); }));
        QFile link(m_dir.filePath(u"link"_s)); // what the opener got
        QVERIFY(link.open(QIODevice::ReadOnly));
        const QUrl url = QUrl::fromEncoded(link.readAll(), QUrl::StrictMode);
        QCOMPARE(url.scheme(), u"mailto"_s);
        QCOMPARE(url.path(QUrl::FullyDecoded), recipient);
        QCOMPARE(QUrlQuery(url).queryItems(QUrl::FullyDecoded),
                 (QList<std::pair<QString, QString>>{{u"subject"_s, u"MP3 Velbor"_s},
                                                     {u"body"_s, body}}));
        QTRY_COMPARE_WITH_TIMEOUT(m_failures.size(), reason.isEmpty() ? 0 : 1, 10000);
        if (!reason.isEmpty())
            QVERIFY2(
                m_failures[0].startsWith(u"E-mail se nepodařilo předat poštovnímu programu: "_s) &&
                    m_failures[0].contains(reason),
                qPrintable(m_failures[0]));
    }

    void tooLong() {
        QCOMPARE(send(u"A"_s, u"a@b.cz"_s, QString(DesktopMailer::kMaxUrlBytes, u'x')),
                 MailResult::TooLong);
        QVERIFY(m_opener.findChildren<QProcess*>().isEmpty());
    }
};

QTEST_MAIN(TestMailto)
#include "tst_mailto.moc"
