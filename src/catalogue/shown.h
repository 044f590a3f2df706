#pragma once

#include <QString>
#include <QStringView>

// How names and characters appear in the window and in messages.

// At most length characters of text, cut with "…" between whole characters. Laying out a name of
// millions of characters would freeze the window; the catalogue keeps it whole.
QString shownText(const QString& text, qsizetype length);

// A character to be quoted in a message: itself where it can be seen, else its code ("U+202E"),
// so that an invisible or direction-changing character can neither hide nor turn the message.
QString shownCharacter(char32_t c);
