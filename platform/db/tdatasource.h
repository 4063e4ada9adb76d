#pragma once

#include "platform/referrer.h"

#include <QObject>
#include <QPointer>

class TDataSet;

// The link through which data-aware controls reach a dataset.
class TDataSource : public QObject, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSet READ dataSetName WRITE setDataSetName)
public:
    explicit TDataSource(QObject *owner);

    TDataSet *DataSet() const { return m_dataSet; }
    void setDataSet(TDataSet *dataSet) { m_dataSet = dataSet; }
    bool Enabled() const { return m_enabled; }
    bool AutoEdit() const { return m_autoEdit; }

    QString dataSetName() const { return m_dataSetName; }
    void setDataSetName(const QString &name) { m_dataSetName = name; }

    QList<QByteArray> referenceProperties() const override { return {"DataSet"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

private:
    QString m_dataSetName;
    QPointer<TDataSet> m_dataSet;
    bool m_enabled = true;
    bool m_autoEdit = true;
};
