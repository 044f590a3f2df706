#pragma once

// Scripted stand-ins for the file dialog and the mail interface. Header only; the screen's
// stand-ins are in doubles.h.

#include "dialogs/filedialogbackend.h"
#include "report/mapivb32.h"

#include <QList>
#include <QString>

#include <functional>
#include <vector>

// A file dialog that records what it was asked and answers with a script: answer() fills in the
// chosen file, or returns false for Cancel.
class FakeFileDialogs : public FileDialogBackend {
public:
    QList<OpenFileName> opened; // the records of every call
    QList<bool> saves;          // which call was the save dialog
    std::function<bool(OpenFileName&)> answer = [](OpenFileName&) { return false; };

    bool getOpenFileName(OpenFileName& ofn) override { return record(ofn, false); }
    bool getSaveFileName(OpenFileName& ofn) override { return record(ofn, true); }

    // An answer choosing path, as a platform dialog gives it.
    static std::function<bool(OpenFileName&)> choose(const QString& path) {
        return [path](OpenFileName& ofn) {
            ofn.lpstrFile = path;
            const qsizetype slash = path.lastIndexOf(u'/');
            ofn.nFileOffset = qint32(slash + 1);
            ofn.lpstrFileTitle = path.mid(slash + 1);
            const qsizetype dot = path.lastIndexOf(u'.');
            ofn.nFileExtension = qint32(dot > slash ? dot + 1 : path.size());
            return true;
        };
    }

private:
    bool record(OpenFileName& ofn, bool save) {
        opened.append(ofn);
        saves.append(save);
        return answer(ofn);
    }
};

// A mail interface that keeps what it was handed and answers with result.
class RecordingMailer : public Mailer {
public:
    int calls = 0;
    qint32 flags = -1;
    MapiMessage message;
    std::vector<MapiRecip> recips;
    qint32 result = SUCCESS_SUCCESS;

    qint32 BMAPISendMail(qint32, qint32, const MapiMessage& m, std::span<const MapiRecip> r,
                         std::span<const MapiFile>, qint32 fl, qint32) override {
        ++calls;
        message = m;
        recips.assign(r.begin(), r.end());
        flags = fl;
        return result;
    }
};
