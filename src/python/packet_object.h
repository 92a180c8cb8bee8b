// One packet of an opened capture as the zoduz module hands it out: it keeps the capture (and
// so its document) alive for as long as Python holds it.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include <pybind11/pybind11.h>

#include "query/opened_capture.h"

struct PacketObject {
    std::shared_ptr<const OpenedCapture> capture;
    size_t row = 0;

    const CCCPacket& Packet() const { return *capture->Doc().Packets()[row]; }
    int32_t Number() const { return static_cast<int32_t>(row); }
};

// The packets of these rows as a Python list of zoduz.Packet.
pybind11::list PacketList(const std::shared_ptr<const OpenedCapture>& capture,
                          const std::vector<size_t>& rows);

// The capture's packets as a zoduz.Packets sequence.
pybind11::object PacketSequenceOf(const std::shared_ptr<const OpenedCapture>& capture);
