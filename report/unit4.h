#pragma once

#include "platform/db/tdataset.h"
#include "platform/referrer.h"

#include <QObject>
#include <QPointer>

// The staff attendance report over the report query.
class TQuickReport4 : public QObject, public Referrer
{
    Q_OBJECT
    Q_PROPERTY(QString DataSet READ dataSetName)
public:
    TQuickReport4();

    TDataSet *DataSet() const { return m_dataSet; }
    QString dataSetName() const { return QStringLiteral("Data1.Query1"); }

    // Lays the report out and shows it in the preview window.
    void Preview();

    QList<QByteArray> referenceProperties() const override { return {"DataSet"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

private:
    QPointer<TDataSet> m_dataSet;
};

extern TQuickReport4 *QuickReport4;
