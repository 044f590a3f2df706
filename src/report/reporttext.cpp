#include "reporttext.h"

#include "qsort.h"

#include "mainwindow/cataloguetree.h"

#include <utility>
#include <vector>

QStringList checkedAlbumEntries(const CatalogueTree& tree, QString& storage) {
    auto entry = [](const TreeNode* node) {
        return node->checked && node->image == NodeImage::Mp3 && node->parent;
    };
    qsizetype count = 0, size = 0;
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (entry(node)) {
            ++count;
            size += node->parent->text.size() + 3 + node->text.size();
        }
    }
    storage.clear();
    storage.reserve(size);
    // Where each entry lies in storage; the views are made once storage is complete.
    std::vector<std::pair<qsizetype, qsizetype>> spans;
    spans.reserve(size_t(count));
    for (const TreeNode* node = tree.firstAdded(); node; node = node->nextAdded) {
        if (!entry(node))
            continue;
        const qsizetype start = storage.size();
        storage += node->parent->text;
        storage += QStringView(u" - ");
        storage += node->text;
        spans.emplace_back(start, storage.size() - start);
    }
    QStringList entries;
    entries.reserve(count + 1);
    entries.append(QString());
    for (const auto& [start, length] : spans)
        entries.append(QString::fromRawData(storage.constData() + start, length));
    return entries;
}

QString reportText(const CatalogueTree& tree, const QString& ownerPanelText,
                   const QString& contactEmail, const TextCompare& compare) {
    QString storage;
    QStringList entries = checkedAlbumEntries(tree, storage);
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
