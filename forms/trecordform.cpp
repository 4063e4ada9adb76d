#include "forms/trecordform.h"

#include "platform/db/tdataset.h"
#include "platform/db/tdatasource.h"
#include "platform/error.h"
#include "platform/ui/messagebox.h"

TRecordForm::TRecordForm()
{
    handlers().add(QStringLiteral("FormShow"), this, &TRecordForm::FormShow);
    handlers().add(QStringLiteral("Button1Click"), this, &TRecordForm::Button1Click);
    handlers().add(QStringLiteral("Button2Click"), this, &TRecordForm::Button2Click);
    handlers().add(QStringLiteral("Button3Click"), this, &TRecordForm::Button3Click);
    handlers().add(QStringLiteral("FormCloseQuery"), this, &TRecordForm::FormCloseQuery);
}

TDataSet *TRecordForm::Table() const
{
    TDataSet *table = m_source ? m_source->DataSet() : nullptr;
    if (!table)
        throw Error(QStringLiteral("%1: the form has no table").arg(objectName()));
    return table;
}

void TRecordForm::resolveReference(const QByteArray &property, QObject *component)
{
    m_source = qobject_cast<TDataSource *>(component);
    if (property != "DataSource" || !m_source)
        throw Error(QStringLiteral("%1: DataSource must name a data source").arg(objectName()));
}

void TRecordForm::FormShow(QObject *)
{
    Table()->Open();
}

void TRecordForm::Button1Click(QObject *)
{
    Table()->Append();
}

void TRecordForm::Button2Click(QObject *)
{
    Table()->Append();
}

void TRecordForm::Button3Click(QObject *)
{
    Close();
}

void TRecordForm::FormCloseQuery(QObject *, bool &)
{
    // The question comes whenever a record is pending, changed or not; OK stores it, and a
    // store that fails keeps the form open (the caller shows the error). CanClose stays true.
    const DataSetState state = Table()->State();
    if (state != DataSetState::Edit && state != DataSetState::Insert &&
        state != DataSetState::SetKey)
        return;
    if (showMessageBox({QStringLiteral("数据没有保存,需要保存吗?"), QStringLiteral("提示"),
                        MsgButtons::OKCancel, MsgIcon::None}) == mrOk)
        Table()->Post();
}
