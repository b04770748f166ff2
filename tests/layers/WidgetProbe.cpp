// Built against the domain library alone, as a domain file would be. Without a widget it
// builds (so the probe itself is sound); asking for a widget must fail to compile.
#include "checkin/CheckIn.h"

#ifdef VELMORA_PROBE_WIDGET
#include <QWidget>
#endif

int probe()
{
#ifdef VELMORA_PROBE_WIDGET
    QWidget w;
    return w.width();
#else
    return 0;
#endif
}
