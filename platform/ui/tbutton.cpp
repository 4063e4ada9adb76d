#include "platform/ui/tbutton.h"

#include <QKeyEvent>

TButton::TButton(QWidget *parent) : QPushButton(parent)
{
    setAutoDefault(false);
    setDefault(false);
}

void TButton::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        event->modifiers() == Qt::NoModifier) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}
