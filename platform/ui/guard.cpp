#include "platform/ui/guard.h"

#include "platform/error.h"
#include "platform/ui/messagebox.h"
#include "platform/ui/tapplication.h"

#include <exception>
#include <new>

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void showErrorBox(const QString &message)
{
    showMessageBox({withFullStop(message), TApplication::title(), MsgButtons::OK, MsgIcon::Error});
}

bool guarded(const std::function<void()> &action)
{
    QString message;
    try {
        action();
        return true;
    } catch (const Error &e) {
        message = e.message();
    } catch (const std::bad_alloc &) {
        message = QStringLiteral("Out of memory");
    } catch (const std::exception &e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unexpected error");
    }
    showErrorBox(message);
    return false;
}
