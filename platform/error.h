#pragma once

#include <QByteArray>
#include <QString>
#include <exception>
#include <utility>

// The one error type of the program. Whatever ends a user action throws it; the guard where the
// toolkit calls into our code catches it and shows the message in the error box.
class Error : public std::exception
{
public:
    explicit Error(QString message, int code = 0)
        : m_message(std::move(message)), m_utf8(m_message.toUtf8()), m_code(code)
    {
    }

    // An error that a component raises about itself: "name: message".
    static Error fromComponent(const QString &componentName, const QString &message)
    {
        return Error(QStringLiteral("%1: %2").arg(componentName, message));
    }

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }
    // The storage's result code when the storage raised it, else 0.
    int code() const noexcept { return m_code; }

private:
    QString m_message;
    QByteArray m_utf8;
    int m_code = 0;
};
