#include "shown.h"

QString shownText(const QString& text, qsizetype length) {
    if (text.size() <= length)
        return text;
    const qsizetype cut = text[length - 1].isHighSurrogate() ? length - 1 : length;
    return text.left(cut) + u'…';
}

QString shownCharacter(char32_t c) {
    switch (QChar::category(c)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Separator_Space:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Other_PrivateUse:
    case QChar::Other_NotAssigned:
        return QStringLiteral("U+%1").arg(uint(c), 4, 16, QChar(u'0')).toUpper();
    default:
        return QString::fromUcs4(&c, 1);
    }
}
