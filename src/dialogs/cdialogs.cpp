#include "cdialogs.h"

#include "catalogue/programfolder.h"

#include <algorithm>
#include <limits>

namespace {

constexpr QChar kNul = QChar(u'\0');

} // namespace

CDialogs::CDialogs(FileDialogBackend* backend)
    : m_backend(backend), m_InitialDirectory(programFolder()) {
    setFilter(QStringLiteral("Textové soubory (*.txt)|*.txt"));
}

QString CDialogs::Filter() const {
    QString f = m_Filter;
    f.replace(kNul, u'|');
    for (int k = 0; k < 2 && f.endsWith(u'|'); ++k)
        f.chop(1);
    return f;
}

void CDialogs::setFilter(const QString& v) {
    m_Filter = v;
    m_Filter.replace(u'|', kNul);
    const QString end(2, kNul);
    for (int k = 0; k < 2 && !m_Filter.endsWith(end); ++k)
        m_Filter += kNul;
}

QFont& CDialogs::Font() {
    if (!m_Font)
        m_Font.emplace();
    return *m_Font;
}

void CDialogs::setColorUserDefined(std::span<const qint32> colours) {
    if (colours.size() != m_ColorUserDefined.size())
        return;
    std::copy(colours.begin(), colours.end(), m_ColorUserDefined.begin());
}

bool CDialogs::ShowOpen() {
    return show(Kind::Open);
}
bool CDialogs::ShowSave() {
    return show(Kind::Save);
}
bool CDialogs::ShowMultiOpen() {
    return show(Kind::MultiOpen);
}

bool CDialogs::show(Kind kind) {
    if (!m_backend)
        return false;
    // The dialog gets buffers of MaxFileSize + 1 characters that must hold the proposed name
    // and title: a name that does not fit, or a size that does not fit 32 bits, opens nothing.
    const qint64 room = qint64(m_MaxFileSize) + 1;
    for (const QString* s : {&m_File, &m_FileTitle}) {
        const qint64 fill = room - s->size();
        if (fill < 0 || fill > std::numeric_limits<qint32>::max())
            return false;
    }

    OpenFileName ofn;
    ofn.hwndOwner = m_hwnd;
    ofn.lpstrFilter = m_Filter;
    ofn.nFilterIndex = m_FilterIndex;
    ofn.lpstrFile = m_File;
    ofn.nMaxFile = m_MaxFileSize;
    ofn.lpstrFileTitle = m_FileTitle;
    ofn.nMaxFileTitle = m_MaxFileSize;
    ofn.lpstrInitialDir = m_InitialDirectory;
    ofn.lpstrTitle = m_Title;
    // The show function's own bits, for this call only.
    ofn.Flags = m_Flags;
    if (kind == Kind::Save)
        ofn.Flags |= OFN_OVERWRITEPROMPT;
    else if (kind == Kind::MultiOpen)
        ofn.Flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
    ofn.lpstrDefExt = m_DefaultExtension;
    ofn.lpTemplateName = QStringLiteral("0");

    const bool chosen =
        kind == Kind::Save ? m_backend->getSaveFileName(ofn) : m_backend->getOpenFileName(ofn);
    if (!chosen)
        return false;

    // The answer ends at the first NUL (one file) or at the first pair of NULs (several files
    // chosen); the rest is the buffer's fill.
    QString buffer = ofn.lpstrFile + QString(2, kNul);
    if (kind == Kind::MultiOpen) {
        // Count the NULs up to the first one that follows a NUL: one per name, plus the one
        // after the folder when there are several names.
        qsizetype end = 0;
        int nuls = 0;
        QChar previous = kNul;
        for (; end < buffer.size(); ++end) {
            const QChar c = buffer[end];
            if (c == kNul && previous == kNul)
                break;
            if (c == kNul)
                ++nuls;
            previous = c;
        }
        QStringList files(nuls > 1 ? nuls - 1 : 1);
        qsizetype element = 0;
        previous = kNul;
        for (qsizetype i = std::clamp<qsizetype>(ofn.nFileOffset, 0, buffer.size());
             i < buffer.size(); ++i) {
            const QChar c = buffer[i];
            if (c == kNul && previous == kNul)
                break;
            if (c == kNul)
                ++element;
            else if (element < files.size())
                files[element] += c;
            previous = c;
        }
        m_Files = files;
        m_File = buffer.left(end);
        if (m_File.endsWith(kNul))
            m_File.chop(1);
    } else {
        m_File = buffer.left(buffer.indexOf(kNul));
    }
    m_FileTitle = ofn.lpstrFileTitle.left(ofn.lpstrFileTitle.indexOf(kNul));
    m_InitialDirectory = ofn.lpstrInitialDir;
    m_FileExtensionOffset = ofn.nFileExtension;
    m_FileNameOffset = ofn.nFileOffset;
    m_FilterIndex = ofn.nFilterIndex;
    return true;
}
