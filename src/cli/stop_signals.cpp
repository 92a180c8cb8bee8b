#include "cli/stop_signals.h"

#include <signal.h>

namespace {

volatile sig_atomic_t stopSignal = 0;

void OnStopSignal(int) {
    stopSignal = 1;
}

}  // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGXFSZ, SIG_IGN);
}

bool StopSignalled() {
    return stopSignal != 0;
}
