// Watches one writer job for a dialog: a one-second timer reports the progress while the job
// runs and reports the result once it has finished. The job (and with it the worker thread)
// ends with the runner at the latest: destroying it requests the abort and waits.
#pragma once

#include <QObject>
#include <QTimer>
#include <memory>

#include "tools/tool_job.h"

class CJobRunner : public QObject {
    Q_OBJECT

  public:
    static constexpr int kPollIntervalMs = 1000;

    explicit CJobRunner(QObject* parent = nullptr);
    ~CJobRunner() override;

    // Takes the job over and starts the timer.
    void Start(std::unique_ptr<ToolJob> job);
    // A job was started and its end not yet reported.
    bool Busy() const { return job_ != nullptr; }
    // The worker thread still runs.
    bool Running() const { return job_ && !job_->Finished(); }
    void RequestAbort();
    // One timer step now: Tick, then Finished when the job has ended.
    void Poll();
    // Blocks until the worker has returned, then polls (for tests and teardown).
    void WaitAndPoll();

  signals:
    void Tick(int percent);
    void Finished(ToolResult result);

  private:
    std::unique_ptr<ToolJob> job_;
    QTimer timer_;
};
