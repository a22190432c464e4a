// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace kv {

// The default system beep that goes with an input error; tests count it.
class Beeper
{
public:
    virtual ~Beeper() = default;
    virtual void beep() = 0;
};

class SystemBeeper : public Beeper
{
public:
    void beep() override;
};

} // namespace kv
