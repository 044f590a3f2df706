#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

struct TreeNode;
struct MusicScan;

// What the commands ask of the screen and the desktop. Each port has a Qt implementation in
// src/gui/ and a scripted double in the tests.

enum class MessageIcon { Critical, Question, Exclamation, Information };

// The answer to a Yes/No/Cancel question.
enum class Choice { Yes, No, Cancel };

// The button a question box has ready for Enter.
enum class Answer { Yes, No };

// The program's message and input boxes. Every box is titled "Velbor" unless a title is given.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A box with an OK button.
    virtual void message(const QString& text, MessageIcon icon, const QString& title = {}) = 0;
    // The program's Yes/No question: question icon, Yes the default; true only for Yes.
    virtual bool askYesNo(const QString& question, Answer preset = Answer::Yes) = 0;
    // The Yes/No/Cancel question: question icon, Yes the default, Esc answers Cancel.
    virtual Choice askYesNoCancel(const QString& question) = 0;
    // An input box, its field holding text. Cancel gives the empty text, as OK on an empty field
    // does.
    virtual QString input(const QString& prompt, const QString& title = {},
                          const QString& text = {}) = 0;
};

// What the commands ask of the tree view; the nodes themselves live in CatalogueTree.
class TreeView {
public:
    virtual ~TreeView() = default;
    virtual TreeNode* selectedNode() const = 0;
    virtual void selectNode(TreeNode* node) = 0;
    virtual void expand(TreeNode* node) = 0;
    // Expands every ancestor of node and scrolls it into view.
    virtual void ensureVisible(TreeNode* node) = 0;
    // Expands every node that has children.
    virtual void expandAll() = 0;
    // No drawing between false and true; around bulk work.
    virtual void setDrawing(bool on) = 0;
};

// The status bar's two panels: the album count and the database name. The database-name panel is
// the one holder of the database name.
enum class StatusPanel { AlbumCount, DatabaseName };

class StatusBar {
public:
    virtual ~StatusBar() = default;
    virtual QString text(StatusPanel panel) const = 0;
    virtual void setText(StatusPanel panel, const QString& text) = 0;
    virtual int width() const = 0;
    virtual int panelWidth(StatusPanel panel) const = 0;
    virtual void setPanelWidth(StatusPanel panel, int width) = 0;
};

// A file-save dialog: where to put a file the program writes.
struct SaveRequest {
    QString title;
    QString folder;       // where the dialog opens
    QString proposedName; // the file name filled in
    // Name filters as Qt writes them ("Textové soubory (*.txt)"); the first is selected.
    QStringList filters;
    QString defaultSuffix; // added to a name typed without one
};

class FileDialog {
public:
    virtual ~FileDialog() = default;
    // Modal. The chosen path (an existing file only after the user agreed to replace it), or
    // nothing when the user cancelled.
    virtual std::optional<QString> askSavePath(const SaveRequest& request) = 0;
    // Modal. The folder chosen, starting in startFolder, or nothing when the user cancelled.
    virtual std::optional<QString> askFolder(const QString& title, const QString& startFolder) = 0;
};

// The boxes of "Přidat alba ze složky...".
class ImportDialogs {
public:
    virtual ~ImportDialogs() = default;
    // Called with the number of audio files read so far; false once the user has cancelled.
    using Progress = std::function<bool(int filesRead)>;
    // Runs work on a worker thread while a modal box shows the files read and a "Zrušit" button;
    // returns when work has ended, after the user cancelled too. The window stays responsive.
    virtual void runWithProgress(const std::function<void(const Progress&)>& work) = 0;
    // Lists the albums found with check boxes (the new ones ticked, the unstorable ones not
    // tickable) and the summary line. The positions in scan.albums of the albums ticked when the
    // user pressed OK, or nothing when the user cancelled.
    virtual std::optional<QList<int>> chooseAlbums(const MusicScan& scan,
                                                   const QString& summary) = 0;
};

// Handing a message to the user's own mail program, which shows it filled in for the user to send.
enum class MailResult {
    Handed,        // the mail program has the message
    TooLong,       // the message is longer than the hand-off can carry
    NoMailProgram, // no mail program could be started
};

class Mailer {
public:
    virtual ~Mailer() = default;
    // One message to recipientName <address>.
    virtual MailResult compose(const QString& recipientName, const QString& address,
                               const QString& subject, const QString& body) = 0;
};

// The desktop's clipboard, for text the user pastes elsewhere.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setText(const QString& text) = 0;
};

// Opens web pages and mailto: links with the desktop's own programs.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& url) = 0;
};
