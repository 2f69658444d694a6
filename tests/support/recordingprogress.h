#pragma once

#include "frame/batchprogress.h"

#include <QStringList>

#include <functional>

// Records what a batch shows; can ask to stop after a given number of steps.
class RecordingProgress : public frame::BatchProgress
{
public:
    QStringList events; // in order: "init <max>", "show", each text, "close"
    QStringList texts;
    int max = -1;
    int steps = 0;
    int stopAfterSteps = -1;
    bool shown = false; // stays true after the close
    int closes = 0;
    std::function<void()> onClose;

    bool closed() const { return closes > 0; }

    void initProgressBar(int n) override
    {
        max = n;
        events.append(QStringLiteral("init %1").arg(n));
    }
    void showProgress() override
    {
        shown = true;
        events.append(QStringLiteral("show"));
    }
    void setProgressText(const QString &text) override
    {
        texts.append(text);
        events.append(text);
    }
    void stepProgress() override { ++steps; }
    bool stopRequested() const override { return stopAfterSteps >= 0 && steps >= stopAfterSteps; }
    void closeProgress() override
    {
        ++closes;
        events.append(QStringLiteral("close"));
        if (onClose)
            onClose();
    }
};
