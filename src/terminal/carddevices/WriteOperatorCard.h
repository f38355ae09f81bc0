// Writing a worker's card from a row of the workers' table.
#pragma once

class QWidget;

namespace odb {
class DataSet;
}

// Writes the card prefix (of the job-order type 9) and the worker's code on a card, after asking
// for confirmation unless `noMessages`; True when the device confirmed the write. Needs access
// level 1.
bool WriteOperatorCard(odb::DataSet& workers, QWidget* parent, bool noMessages);
