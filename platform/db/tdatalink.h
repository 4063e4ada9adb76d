#pragma once

#include <QPointer>

class TDataSet;
class TDataSource;
class TField;

// What a dataset tells the controls bound to it, and asks of them.
enum class DataEvent {
    ActiveChanged, // opened or closed
    StateChanged,  // browse, edit, insert...
    RecordChanged, // another current record, or the current one read again
    FieldChanged,  // one field of the current record was assigned
    UpdateData,    // write pending text into the fields now (may throw the field's error)
};

// The seam between a dataset and a bound control: the control derives from it and is told of
// every change of the dataset behind its data source.
class TDataLink
{
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink &) = delete;
    TDataLink &operator=(const TDataLink &) = delete;

    void setDataSource(TDataSource *source);
    TDataSource *DataSource() const;
    // The dataset behind the data source, or nullptr.
    TDataSet *DataSet() const;
    bool Active() const;

    // Called by the dataset; `field` is set for FieldChanged only. UpdateData may throw.
    virtual void dataEvent(DataEvent event, TField *field) = 0;

private:
    QPointer<TDataSource> m_source;
};
