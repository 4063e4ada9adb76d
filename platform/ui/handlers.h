#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <functional>

// The event handlers a module publishes by name. A stored description names the handler of an
// event ("OnClick" = "Button1Click"); loading binds the event to the handler of that name.
using TNotifyEvent = std::function<void(QObject *Sender)>;
using TCloseQueryEvent = std::function<void(QObject *Sender, bool &CanClose)>;

class HandlerTable
{
public:
    template <class T> void add(const QString &name, T *self, void (T::*method)(QObject *))
    {
        m_notify.insert(name, [self, method](QObject *sender) { (self->*method)(sender); });
    }
    template <class T> void add(const QString &name, T *self, void (T::*method)(QObject *, bool &))
    {
        m_closeQuery.insert(name, [self, method](QObject *sender, bool &canClose) {
            (self->*method)(sender, canClose);
        });
    }

    // The handler of that name; Error when the module publishes none.
    TNotifyEvent notify(const QString &owner, const QString &name) const;
    TCloseQueryEvent closeQuery(const QString &owner, const QString &name) const;

private:
    QHash<QString, TNotifyEvent> m_notify;
    QHash<QString, TCloseQueryEvent> m_closeQuery;
};
