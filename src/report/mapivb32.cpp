#include "mapivb32.h"

qint32 SendReportMail(Mailer* mailer, const QString& RecipName, const QString& RecipAddress,
                      const QString& Subject, const QString& NoteText) {
    MapiMessage message;
    MapiRecip recips[1];
    MapiFile files[1];
    message.RecipCount = 1;
    message.FileCount = 0;
    message.Subject = Subject;
    message.NoteText = NoteText;
    recips[0].Address = RecipAddress;
    recips[0].Name = RecipName;
    recips[0].RecipClass = MAPI_TO;
    if (!mailer)
        return MAPI_E_FAILURE;
    return mailer->BMAPISendMail(0, 0, message, recips, files, MAPI_LOGON_UI | MAPI_DIALOG, 0);
}
