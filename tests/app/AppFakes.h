// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Links.h"
#include "TaskEditor.h"

#include <QStringList>

namespace kv::test {

// Records the links handed to the desktop.
class RecordingLinkOpener : public LinkOpener
{
public:
    void openLink(const QUrl &url) override { opened << url.toString(); }
    QStringList opened;
};

// Records how the main window called the task editor.
class RecordingTaskEditor : public TaskEditor
{
public:
    void editNewTask() override { calls << QStringLiteral("new"); }
    void editTask(int row, bool eventTask) override
    {
        calls << QStringLiteral("edit %1 %2").arg(row).arg(eventTask ? "event" : "file");
    }
    QStringList calls;
};

} // namespace kv::test
