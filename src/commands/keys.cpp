#include "keys.h"

#include "context.h"

KeyCommand windowKeyCommand(const AppContext& ctx, int key, Qt::KeyboardModifiers modifiers) {
    modifiers &= Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key == Qt::Key_F11 && modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return KeyCommand::ShowEditing;
    if (key == Qt::Key_Insert && ctx.editingVisible)
        return modifiers == Qt::ShiftModifier ? KeyCommand::AddArtist : KeyCommand::AddAlbum;
    return KeyCommand::None;
}

TreeKeyAction treeKeyAction(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        return TreeKeyAction::Discard;
    case Qt::Key_Escape:
        return TreeKeyAction::Quit;
    default:
        return TreeKeyAction::Pass;
    }
}
