// The shared state read by the table rules, with its initial values.
#include "model/ModelState.h"

#include "base/DateUtil.h"

std::shared_ptr<odb::Connection> g_objConnection;
std::shared_ptr<odb::Database> g_objDatabase;

double DefaultOraEntrataMattino() {
    return MakeOleTime(7, 40, 0);
}
double DefaultOraUscitaMattino() {
    return MakeOleTime(13, 0, 0);
}
double DefaultOraEntrataPomeriggio() {
    return MakeOleTime(14, 0, 0);
}
double DefaultOraUscitaPomeriggio() {
    return MakeOleTime(16, 50, 0);
}

double g_dtmOraPredefinitaEntrataMattino = DefaultOraEntrataMattino();
double g_dtmOraPredefinitaUscitaMattino = DefaultOraUscitaMattino();
double g_dtmOraPredefinitaEntrataPomeriggio = DefaultOraEntrataPomeriggio();
double g_dtmOraPredefinitaUscitaPomeriggio = DefaultOraUscitaPomeriggio();
int16_t g_intMinPausaMattutina = 0;
int16_t g_intMinRitardoAmmessi = 0;
int16_t g_intTotMinGiornataLavorativa = 490;
