#pragma once

#include "platform/ui/tdatamodule.h"

class TDataSource;
class TQuery;
class TTable;

// The data module: the five tables, the report query and their data sources, all working on
// the table files next to the executable.
class TData1 : public TDataModule
{
    Q_OBJECT
public:
    TData1();

    TDataSource *renyuan = nullptr;
    TTable *renyuan1 = nullptr;
    TQuery *Query1 = nullptr;
    TTable *chucai = nullptr;
    TDataSource *chucai1 = nullptr;
    TTable *qinjia = nullptr;
    TDataSource *qinjia1 = nullptr;
    TTable *jiaban = nullptr;
    TDataSource *jiaban1 = nullptr;
    TDataSource *cqjl1 = nullptr;
    TTable *cqjl = nullptr;
    TDataSource *DataSource1 = nullptr;

    // Points every dataset at the folder of the running executable.
    void DataModuleCreate(QObject *Sender);

    // The folder of the running executable, with its trailing separator.
    static QString executableFolder();
};

extern TData1 *Data1;
