#include "tools/qt/job_runner.h"

CJobRunner::CJobRunner(QObject* parent) : QObject(parent) {
    timer_.setInterval(kPollIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &CJobRunner::Poll);
}

CJobRunner::~CJobRunner() = default;

void CJobRunner::Start(std::unique_ptr<ToolJob> job) {
    job_ = std::move(job);
    timer_.start();
}

void CJobRunner::RequestAbort() {
    if (job_) {
        job_->RequestAbort();
    }
}

void CJobRunner::Poll() {
    if (!job_) {
        return;
    }
    emit Tick(job_->Progress());
    if (!job_->Finished()) {
        return;
    }
    timer_.stop();
    job_->Wait();
    const ToolResult result = job_->Result();
    job_.reset();
    emit Finished(result);
}

void CJobRunner::WaitAndPoll() {
    if (job_) {
        job_->Wait();
    }
    Poll();
}
