#include "importdialogs.h"

#include "commands/cataloguetree.h"
#include "import/musicscan.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>
#include <memory>

namespace {

// Closes only when the work has ended: Esc and the close box cancel, as "Zrušit" does.
class ProgressBox : public QDialog {
public:
    explicit ProgressBox(QWidget* parent) : QDialog(parent) {
        setObjectName(QStringLiteral("importProgress"));
        setWindowTitle(QStringLiteral("Hledání alb"));
        auto* column = new QVBoxLayout(this);
        m_label = new QLabel(this);
        m_label->setMinimumWidth(260);
        column->addWidget(m_label);
        m_cancel = new QPushButton(QStringLiteral("Zrušit"), this);
        m_cancel->setObjectName(QStringLiteral("cancelButton"));
        column->addWidget(m_cancel, 0, Qt::AlignRight);
        connect(m_cancel, &QPushButton::clicked, this, &ProgressBox::reject);
        showCount(0);
    }

    std::atomic<int> filesRead{0};
    std::atomic<bool> cancelled{false};

    // Shows the count, a few times a second rather than for every file.
    void showCount(int files) {
        if (!cancelled)
            m_label->setText(QStringLiteral("Přečteno souborů: %1").arg(files));
    }
    void reject() override {
        cancelled = true;
        m_cancel->setEnabled(false);
        m_label->setText(QStringLiteral("Hledání se ruší…"));
    }
    void finish() { QDialog::done(QDialog::Accepted); }

private:
    QLabel* m_label;
    QPushButton* m_cancel;
};

enum Column { ArtistColumn, AlbumColumn, FilesColumn, NoteColumn };

} // namespace

void QtImportDialogs::runWithProgress(const std::function<void(const Progress&)>& work) {
    ProgressBox box(m_parent);
    const Progress progress = [&box](int files) {
        box.filesRead = files;
        return !box.cancelled;
    };
    std::unique_ptr<QThread> worker(QThread::create([&work, &progress] { work(progress); }));
    QObject::connect(worker.get(), &QThread::finished, &box, [&box] { box.finish(); });
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &box, [&box] { box.showCount(box.filesRead); });
    timer.start(100);
    worker->start();
    box.exec();
    worker->wait(); // ended already: the box closes when it ends
}

std::optional<QList<int>> QtImportDialogs::chooseAlbums(const MusicScan& scan,
                                                        const QString& summary) {
    QDialog dialog(m_parent);
    dialog.setObjectName(QStringLiteral("importChoice"));
    dialog.setWindowTitle(QStringLiteral("Nalezená alba"));
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(
        new QLabel(QStringLiteral("Zaškrtnutá alba budou přidána do katalogu:"), &dialog));

    auto* list = new QTreeWidget(&dialog);
    list->setObjectName(QStringLiteral("albumList"));
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setHeaderLabels({QStringLiteral("Interpret"), QStringLiteral("Album"),
                           QStringLiteral("Soubory"), QStringLiteral("Poznámka")});
    QList<QTreeWidgetItem*> items;
    items.reserve(scan.albums.size());
    for (const FoundAlbum& album : scan.albums) {
        auto* item = new QTreeWidgetItem({shownText(album.artist, CatalogueTree::kShownLength),
                                          shownText(album.title, CatalogueTree::kShownLength),
                                          QString::number(album.fileCount)});
        item->setTextAlignment(FilesColumn, Qt::AlignRight | Qt::AlignVCenter);
        switch (album.status) {
        case FoundAlbum::Status::New:
            item->setCheckState(ArtistColumn, Qt::Checked);
            break;
        case FoundAlbum::Status::InCatalogue:
            item->setCheckState(ArtistColumn, Qt::Unchecked);
            item->setText(NoteColumn, QStringLiteral("už je v katalogu"));
            break;
        case FoundAlbum::Status::Unstorable:
            // Greyed, without a check box the user could tick.
            item->setCheckState(ArtistColumn, Qt::Unchecked);
            item->setFlags(item->flags() & ~(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled));
            item->setText(NoteColumn, album.reason);
            item->setToolTip(NoteColumn, album.reason);
            break;
        }
        items.append(item);
    }
    list->addTopLevelItems(items);
    for (int c : {ArtistColumn, AlbumColumn, FilesColumn})
        list->resizeColumnToContents(c);
    if (!items.isEmpty())
        list->setCurrentItem(items.front());
    column->addWidget(list, 1);

    auto* summaryLabel = new QLabel(summary, &dialog);
    summaryLabel->setObjectName(QStringLiteral("summary"));
    summaryLabel->setWordWrap(true);
    column->addWidget(summaryLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    column->addWidget(buttons);
    dialog.resize(640, 420);
    list->setFocus();

    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    QList<int> ticked;
    for (int i = 0; i < items.size(); ++i)
        if (items[i]->checkState(ArtistColumn) == Qt::Checked)
            ticked.append(i);
    return ticked;
}
