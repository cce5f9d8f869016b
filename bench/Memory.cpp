#include "Memory.h"

#include <QFile>

#include <malloc.h>

namespace velmora::bench {

namespace {

// A line of /proc/self/status such as "VmHWM:  123456 kB", in MiB.
double statusMiB(const char* key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key)) {
            return line.mid(qsizetype(qstrlen(key))).trimmed().split(' ').value(0).toDouble() /
                   1024.0;
        }
    }
    return -1;
}

} // namespace

void startPhase() {
    // Without this, pages freed by the phase before still count as held.
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) {
        clear.write("5");
    }
}

double phasePeakMiB() {
    return statusMiB("VmHWM:");
}

double residentMiB() {
    return statusMiB("VmRSS:");
}

} // namespace velmora::bench
