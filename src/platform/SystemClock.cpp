#include "SystemClock.h"

namespace kv {

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTime();
}

} // namespace kv
