#pragma once

#include "platform/ui/handlers.h"

#include <QObject>

// A data module: a non-visual container of components (datasets, data sources, field objects),
// which it owns in the order of its description and destroys in the reverse order.
class TDataModule : public QObject
{
    Q_OBJECT
public:
    explicit TDataModule(QObject *parent = nullptr);
    ~TDataModule() override;

    // Runs the creation handler named by the "OnCreate" property, once the module's
    // description has been read and the references to it are resolved.
    virtual void Loaded();

    // The components in the order of the description.
    QObjectList Components() const { return children(); }

protected:
    HandlerTable &handlers() { return m_handlers; }

private:
    HandlerTable m_handlers;
};
