// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Clock.h"

namespace kv {

class SystemClock : public Clock
{
public:
    QDateTime now() const override;
};

} // namespace kv
