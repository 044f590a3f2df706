#pragma once

#include <QString>

#include <span>

// The mail hand-off: one message with one recipient and no attachment, given to the user's own
// mail client, which shows it filled in for the user to send. The records follow Simple MAPI's
// MapiMessage, MapiRecipDesc and MapiFileDesc, so a Windows backend can pass them on to
// BMAPISendMail as they are.

struct MapiMessage {
    qint32 Reserved = 0;
    QString Subject;
    QString NoteText;
    QString MessageType;
    QString DateReceived;
    QString ConversationID;
    qint32 Flags = 0;
    qint32 RecipCount = 0;
    qint32 FileCount = 0;
};

struct MapiRecip {
    qint32 Reserved = 0;
    qint32 RecipClass = 0;
    QString Name;
    QString Address;
    qint32 EIDSize = 0;
    QString EntryID;
};

struct MapiFile {
    qint32 Reserved = 0;
    qint32 Flags = 0;
    qint32 Position = 0;
    QString PathName;
    QString FileName;
    QString FileType;
};

// Result codes and flags of Simple MAPI.
inline constexpr qint32 SUCCESS_SUCCESS = 0;
inline constexpr qint32 MAPI_USER_ABORT = 1;
inline constexpr qint32 MAPI_E_FAILURE = 2;
inline constexpr qint32 MAPI_E_TEXT_TOO_LARGE = 18;
inline constexpr qint32 MAPI_LOGON_UI = 1;
inline constexpr qint32 MAPI_DIALOG = 8;
inline constexpr qint32 MAPI_TO = 1;

// The platform's mail interface.
class Mailer {
public:
    virtual ~Mailer() = default;
    // Hands message to the mail client: its recipients (message.RecipCount of them) and files
    // (message.FileCount of them, the rest being empty records). session 0 and uiParam 0 ask
    // for no session and no parent window. Returns a Simple MAPI result code.
    virtual qint32 BMAPISendMail(qint32 session, qint32 uiParam, const MapiMessage& message,
                                 std::span<const MapiRecip> recips, std::span<const MapiFile> files,
                                 qint32 flags, qint32 reserved) = 0;
};

// Sends one message to RecipName <RecipAddress> (the address exactly as given) through mailer;
// returns its result code (MAPI_E_FAILURE without a mailer).
qint32 SendReportMail(Mailer* mailer, const QString& RecipName, const QString& RecipAddress,
                      const QString& Subject, const QString& NoteText);
