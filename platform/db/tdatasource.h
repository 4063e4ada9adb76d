#pragma once

#include "platform/db/tdatalink.h"
#include "platform/referrer.h"

#include <QList>
#include <QObject>
#include <QPointer>

class TDataSet;
class TField;

// The link through which data-aware controls reach a dataset: the dataset tells its data
// sources of every change, and each passes it on to the controls linked to it.
class TDataSource : public QObject, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSet READ dataSetName WRITE setDataSetName)
public:
    explicit TDataSource(QObject *owner);
    ~TDataSource() override;

    TDataSet *DataSet() const;
    void setDataSet(TDataSet *dataSet);
    bool Enabled() const { return m_enabled; }
    // Whether a control that starts a change in browse state puts the dataset into edit.
    bool AutoEdit() const { return m_autoEdit; }

    QString dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString &name) { m_dataSetName = name; }

    QList<QByteArray> referenceProperties() const override { return {"DataSet"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

    // Passes a dataset's event to every linked control. UpdateData errors go to the caller.
    void notify(DataEvent event, TField *field);

private:
    friend class TDataLink;
    void addLink(TDataLink *link) { m_links.append(link); }
    void removeLink(TDataLink *link) { m_links.removeAll(link); }

    QString m_dataSetName;
    QPointer<TDataSet> m_dataSet;
    QList<TDataLink *> m_links;
    bool m_enabled = true;
    bool m_autoEdit = true;
};
