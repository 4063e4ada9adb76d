#include "platform/ui/messagebox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

MessageBoxHandler &handler()
{
    static MessageBoxHandler h;
    return h;
}

int showReal(const MessageBoxRequest &r)
{
    QMessageBox box(r.centredOnScreen ? nullptr : QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(r.caption);
    box.setText(r.text);
    switch (r.icon) {
    case MsgIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgIcon::Warning:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case MsgIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgIcon::None:
        break;
    }
    QPushButton *ok = box.addButton(QMessageBox::Ok);
    if (r.buttons == MsgButtons::OKCancel)
        box.setEscapeButton(box.addButton(QMessageBox::Cancel));
    else
        box.setEscapeButton(ok);
    box.setDefaultButton(ok);
    box.exec();
    return box.clickedButton() == ok ? mrOk : mrCancel;
}

} // namespace

int showMessageBox(const MessageBoxRequest &request)
{
    return handler() ? handler()(request) : showReal(request);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler h)
{
    MessageBoxHandler old = std::move(handler());
    handler() = std::move(h);
    return old;
}
