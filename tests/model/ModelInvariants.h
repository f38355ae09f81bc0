// A walk over a whole database file, outside the library, checking what the table rules keep true
// between job orders, details, stock, purchase orders and loads. Random-sequence tests end with it.
#pragma once

#include <QString>
#include <QStringList>

// One line per row that breaks a rule, naming the rule, the row and the values; empty when the
// file keeps them all. Quantities are taken as whole numbers (halves to even) where the rules
// book whole pieces.
QStringList ModelInvariantViolations(const QString& databasePath);
