// The shared state that the table rules read: the open database and connection, and the working
// hours of the installation. Start-up fills it when the database opens.
#pragma once

#include <cstdint>
#include <memory>

namespace odb {
class Connection;
class Database;
}  // namespace odb

// The open database and its connection; both empty while the database is closed.
extern std::shared_ptr<odb::Connection> g_objConnection;
extern std::shared_ptr<odb::Database> g_objDatabase;

// Normal working hours as times of day (OLE dates with no day part).
extern double g_dtmOraPredefinitaEntrataMattino;     // 07:40
extern double g_dtmOraPredefinitaUscitaMattino;      // 13:00
extern double g_dtmOraPredefinitaEntrataPomeriggio;  // 14:00
extern double g_dtmOraPredefinitaUscitaPomeriggio;   // 16:50
extern int16_t g_intMinPausaMattutina;               // minutes of the morning break
extern int16_t g_intMinRitardoAmmessi;               // minutes of lateness tolerated
extern int16_t g_intTotMinGiornataLavorativa;        // minutes of a full working day (490)

// The defaults above, as the parameters read when the database holds none.
double DefaultOraEntrataMattino();
double DefaultOraUscitaMattino();
double DefaultOraEntrataPomeriggio();
double DefaultOraUscitaPomeriggio();
