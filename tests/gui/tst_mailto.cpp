// The mailto: link handed to the desktop, read back the way a mail client reads it.
#include "gui/desktopmailer.h"

#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <QUrlQuery>

using namespace Qt::StringLiterals;

class TestMailto : public QObject {
    Q_OBJECT
    QList<QUrl> m_urls; // the links handed to the desktop

    static MailResult send(const QString& name, const QString& address, const QString& body) {
        return DesktopMailer().compose(name, address, u"MP3 Velbor"_s, body);
    }

public Q_SLOTS:
    void open(const QUrl& url) { m_urls.append(url); }

private Q_SLOTS:
    void init() {
        m_urls.clear();
        QDesktopServices::setUrlHandler(u"mailto"_s, this, "open");
    }
    void cleanup() { QDesktopServices::unsetUrlHandler(u"mailto"_s); }

    void link_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("recipient");
        QTest::newRow("no name: the address alone") << u""_s << u"a@b.cz"_s << u""_s << u"a@b.cz"_s;
        QTest::newRow("Czech letters, spaces, line breaks")
            << u"Moje sbírka"_s << u"já@pošta.cz"_s << u"Žlutý pes\r\nČ\r\n"_s
            << u"Moje sbírka <já@pošta.cz>"_s;
        QTest::newRow("query and shell characters in the body")
            << u"X"_s << u"a@b.cz"_s << u"a&b=c?d%e#f+g \t$`;|<>'&body=x"_s << u"X <a@b.cz>"_s;
        QTest::newRow("specials in the name are quoted")
            << u"Rock & Pop, \"live\" \\ #1?"_s << u"a@b.cz"_s << u"\\n"_s
            << u"\"Rock & Pop, \\\"live\\\" \\\\ #1?\" <a@b.cz>"_s;
        QTest::newRow("address as stored, with spaces and no at sign")
            << u"A"_s << u" nikdo nikde%?&"_s << u"x"_s << u"A < nikdo nikde%?&>"_s;
    }
    void link() {
        QFETCH(QString, name);
        QFETCH(QString, address);
        QFETCH(QString, body);
        QFETCH(QString, recipient);
        QCOMPARE(send(name, address, body), MailResult::Handed);
        QCOMPARE(m_urls.size(), 1);
        const QUrl& url = m_urls.front();
        QCOMPARE(url.scheme(), u"mailto"_s);
        QCOMPARE(url.path(QUrl::FullyDecoded), recipient);
        const QUrlQuery query(url);
        QCOMPARE(query.queryItems(QUrl::FullyDecoded),
                 (QList<std::pair<QString, QString>>{{u"subject"_s, u"MP3 Velbor"_s},
                                                     {u"body"_s, body}}));
    }

    void tooLongOrNoMailClient() {
        QCOMPARE(send(u"A"_s, u"a@b.cz"_s, QString(DesktopMailer::kMaxUrlBytes, u'x')),
                 MailResult::TooLong);
        QVERIFY(m_urls.isEmpty());
        // Offscreen there is no desktop to open links: a failure the caller hears of.
        QDesktopServices::unsetUrlHandler(u"mailto"_s);
        QCOMPARE(send(u"A"_s, u"a@b.cz"_s, u"x"_s), MailResult::NoMailProgram);
    }
};

QTEST_MAIN(TestMailto)
#include "tst_mailto.moc"
