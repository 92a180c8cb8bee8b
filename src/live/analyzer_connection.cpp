#include "live/analyzer_connection.h"

#include "device/sim/scenarios.h"
#include "device/usb/libusb_transport.h"
#include "device/virtual/virtual_analyzer.h"
#include "device/virtual/virtual_transport.h"

std::unique_ptr<AnalyzerConnection> AnalyzerConnection::Virtual(const std::string& scenario,
                                                                bool paced) {
    if (FindScenario(scenario) == nullptr) {
        return nullptr;
    }
    VirtualAnalyzerOptions options;
    options.stream.scenarios = {scenario};
    options.paced = paced;
    auto analyzer = std::make_unique<VirtualAnalyzer>(options);
    auto transport = std::make_unique<VirtualTransport>(*analyzer);
    return std::unique_ptr<AnalyzerConnection>(
        new AnalyzerConnection(std::move(analyzer), std::move(transport)));
}

std::unique_ptr<AnalyzerConnection> AnalyzerConnection::Usb(const std::vector<UsbDeviceId>& ids) {
    auto connection = std::unique_ptr<AnalyzerConnection>(
        new AnalyzerConnection(nullptr, std::make_unique<LibusbTransport>()));
    DeviceLinkSettings settings = connection->link_->Settings();
    settings.ids = ids;
    connection->link_->SetSettings(settings);
    return connection;
}

AnalyzerConnection::AnalyzerConnection(UsbTransport& transport)
    : link_(std::make_unique<DeviceLink>(transport)) {}

AnalyzerConnection::AnalyzerConnection(std::unique_ptr<VirtualAnalyzer> analyzer,
                                       std::unique_ptr<UsbTransport> transport)
    : analyzer_(std::move(analyzer)),
      ownedTransport_(std::move(transport)),
      link_(std::make_unique<DeviceLink>(*ownedTransport_)) {}

// The link goes first: it releases the transport, which releases the analyzer.
AnalyzerConnection::~AnalyzerConnection() {
    link_->Close();
    link_.reset();
    ownedTransport_.reset();
}

RecorderIdentity AnalyzerConnection::Identity() const {
    return {link_->FirmwareVersion(), link_->SerialBytes()};
}

long AnalyzerConnection::ReadStream(uint8_t* buffer, size_t size, int timeoutMs) {
    TransportResult result = link_->Read({buffer, size}, timeoutMs);
    // Bytes that arrived before a timeout or a failure are kept.
    if (result.bytes > 0 || result.Ok() || result.error == TransportError::kTimeout) {
        return static_cast<long>(result.bytes);
    }
    return -1;
}

void AnalyzerConnection::SetSamplingInterval(int intervalMs) {
    DeviceLinkSettings settings = link_->Settings();
    settings.samplingIntervalMs = intervalMs;
    link_->SetSettings(settings);
}
