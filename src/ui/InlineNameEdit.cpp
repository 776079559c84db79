#include "ui/InlineNameEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace vantorelle {

InlineNameEdit::InlineNameEdit(QWidget* parent) : QLineEdit(parent)
{
    hide();
    connect(this, &QLineEdit::returnPressed, this, [this] { finish(true); });
}

void InlineNameEdit::begin(const QString& text)
{
    editing_ = true;
    setText(text);
    selectAll();
    show();
    setFocus(Qt::OtherFocusReason);
}

void InlineNameEdit::keyPressEvent(QKeyEvent* event)
{
    if (editing_ && event->key() == Qt::Key_Escape) {
        finish(false);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InlineNameEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    // A click elsewhere keeps what was typed, as in other in-place edits; a popup (the
    // field's own menu) is not leaving it.
    if (event->reason() != Qt::PopupFocusReason) finish(true);
}

void InlineNameEdit::finish(bool keep)
{
    if (!editing_) return;
    editing_ = false;
    hide();
    if (keep) emit kept(text());
    else emit dropped();
}

} // namespace vantorelle
