// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrayBackend.h"

#include <QList>
#include <QMenu>
#include <QPointer>
#include <utility>

namespace kv {

// Records every call instead of reaching a notification area. Tests play the
// host by emitting mouseMessage() and hostReturned(), and by setHostPresent().
class RecordingTrayBackend : public TrayBackend
{
public:
    enum Operation
    {
        Add,
        Modify,
        Remove
    };
    struct Call
    {
        Operation operation;
        TrayNotifyData data;
    };

    using TrayBackend::TrayBackend;

    bool add(const TrayNotifyData &data) override { return record(Add, data); }
    bool modify(const TrayNotifyData &data) override { return record(Modify, data); }
    bool remove(const TrayNotifyData &data) override { return record(Remove, data); }
    bool hostPresent() const override { return m_hostPresent; }
    void setHostPresent(bool present)
    {
        if (present != std::exchange(m_hostPresent, present))
            emit hostPresentChanged(present);
    }
    bool showMessage(const QString &title, const QString &text) override
    {
        messages << title + u'\n' + text;
        return accepts;
    }

    void setMenu(QMenu *menu) override { this->menu = menu; }

    QList<Call> calls;
    QPointer<QMenu> menu; // as handed to the host
    QStringList messages; // title and text on a line each
    bool accepts = true;

private:
    bool m_hostPresent = true;
    bool record(Operation operation, const TrayNotifyData &data)
    {
        calls.append({operation, data});
        return accepts;
    }
};

} // namespace kv
