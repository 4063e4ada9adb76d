#include "platform/ui/handlers.h"

#include "platform/error.h"

namespace {

template <class F>
F lookUp(const QHash<QString, F> &table, const QString &owner, const QString &name)
{
    const auto it = table.find(name);
    if (it == table.end())
        throw Error(QStringLiteral("%1: method '%2' not found").arg(owner, name));
    return *it;
}

} // namespace

TNotifyEvent HandlerTable::notify(const QString &owner, const QString &name) const
{
    return lookUp(m_notify, owner, name);
}

TCloseQueryEvent HandlerTable::closeQuery(const QString &owner, const QString &name) const
{
    return lookUp(m_closeQuery, owner, name);
}
