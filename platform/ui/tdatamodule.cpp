#include "platform/ui/tdatamodule.h"

#include <QVariant>

TDataModule::TDataModule(QObject *parent) : QObject(parent) {}

TDataModule::~TDataModule()
{
    // Last component first; a dataset closes as it goes, dropping whatever was pending.
    QObjectList owned = children();
    while (!owned.isEmpty())
        delete owned.takeLast();
}

void TDataModule::Loaded()
{
    const QString handler = property("OnCreate").toString();
    if (!handler.isEmpty())
        m_handlers.notify(objectName(), handler)(this);
}
