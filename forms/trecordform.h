#pragma once

#include "platform/db/tdatasource.h"
#include "platform/referrer.h"
#include "platform/ui/tform.h"

#include <QPointer>

class TDataSet;

// The pattern every record form follows: it works on one table of the data module through a
// data source (its "DataSource" property, "Data1.renyuan" say), opens the table when shown,
// appends with its add button, closes with its close button, and asks whether to save a record
// left pending when it closes. The form keeps no data of its own: what it shows lives in the
// table, which stays open with its current and pending record between showings.
class TRecordForm : public TForm, public Referrer
{
    Q_OBJECT
public:
    TRecordForm();

    TDataSource *DataSource() const { return m_source; }
    // The form's table: the dataset behind its data source.
    TDataSet *Table() const;

    void FormShow(QObject *Sender);
    // The add button, Button1 on the staff form and Button2 on the others.
    void Button1Click(QObject *Sender);
    void Button2Click(QObject *Sender);
    void Button3Click(QObject *Sender);
    void FormCloseQuery(QObject *Sender, bool &CanClose);

    QList<QByteArray> referenceProperties() const override { return {"DataSource"}; }
    void resolveReference(const QByteArray &property, QObject *component) override;

private:
    QPointer<TDataSource> m_source;
};
