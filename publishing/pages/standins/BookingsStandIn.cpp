#include "publishing/pages/standins/BookingsStandIn.h"

#include "base/Log.h"

void MakeWebPages(bool bookings) {
    WriteLog(QStringLiteral("MakeWebPages(") + (bookings ? QStringLiteral("bookings") : QStringLiteral("dances")) +
             QStringLiteral("): not yet built"));
}
