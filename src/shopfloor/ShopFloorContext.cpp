// The context of the shop-floor commands.
#include "shopfloor/ShopFloorContext.h"

#include "model/ModelState.h"
#include "odb/Database.h"
#include "odb/LibraryError.h"
#include "odb/Tables.h"
#include "platform/Clock.h"

ShopFloorContext ShopFloorContext::Current(const QString& worker) {
    if (!g_objDatabase || !g_objConnection) odb::LibraryError::Raise(odb::odbErrNotOpen);
    return ShopFloorContext{g_objDatabase,
                            g_objConnection,
                            [] { return Clock::now(); },
                            worker,
                            {g_dtmOraPredefinitaEntrataMattino, g_dtmOraPredefinitaUscitaMattino,
                             g_dtmOraPredefinitaEntrataPomeriggio, g_dtmOraPredefinitaUscitaPomeriggio},
                            {},
                            nullptr};
}

odb::Table& ShopFloorContext::table(const char* name) const {
    return database->Tables().Item(name);
}

void ShopFloorContext::say(ShopFloorMessage::Icon icon, const QString& text) const {
    if (tell) tell(ShopFloorMessage{icon, text});
}
