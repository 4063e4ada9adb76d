#pragma once

#include "platform/db/tabledef.h"

#include <QList>
#include <QVariant>

// Realistic sample records for trying the program out: the staff of a school in several
// departments, with trips, leave, overtime and clock records. Always the same records.
namespace sampledata {

// The records of a table, each with a value for every declared field that is not AutoInc,
// in declared order.
QList<QList<QVariant>> records(const TableDef &def);

} // namespace sampledata
