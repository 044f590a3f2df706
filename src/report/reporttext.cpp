#include "reporttext.h"

#include "qsort.h"

#include "mainwindow/cataloguetree.h"

QStringList checkedAlbumEntries(const CatalogueTree& tree) {
    QStringList entries;
    entries.reserve(tree.nodeCount() + 1);
    entries.append(QString());
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (!node->checked || node->image != NodeImage::Mp3 || !node->parent)
            continue;
        entries.append(node->parent->text + QStringLiteral(" - ") + node->text);
    }
    return entries;
}

QString reportText(const CatalogueTree& tree, const QString& ownerPanelText,
                   const QString& contactEmail, const TextCompare& compare) {
    QStringList entries = checkedAlbumEntries(tree);
    SortArray(entries, compare);

    const QLatin1StringView crlf("\r\n");
    QString line2 = ownerPanelText;
    if (!contactEmail.isEmpty())
        line2 += QStringLiteral(" (") + contactEmail + u')';

    qsizetype size = 128 + line2.size();
    for (const QString& e : entries)
        size += e.size() + 2;
    QString text;
    text.reserve(size);
    text += QLatin1StringView("Export z programu MP3 Velbor\r\n");
    text += line2;
    text += crlf;
    text += QString(64, u'=');
    text += crlf;
    for (qsizetype k = 1; k < entries.size(); ++k) {
        text += entries[k];
        text += crlf;
    }
    return text;
}
